// System.capabilities: what the player and this machine offer, with the screen the view is
// on (the host tells the player of it) and the language of the user's locale.
#include <cstdlib>
#include <string>

#include "flash/avm1/native_member.h"
#include "flash/avm1/vm.h"
#include "runtime/runtime.h"
#include "script/script_classes.h"

namespace flash {

using avm1::CallContext;
using avm1::Value;

namespace {

std::string Locale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "en";
}

// Flash's language codes: two letters, and the region only for Chinese.
avm1::String Language() {
    std::string locale = Locale();
    std::string lang = locale.substr(0, locale.find_first_of("_.@"));
    if (lang == "zh") {
        std::string region = locale.size() > 3 ? locale.substr(3, 2) : "CN";
        return avm1::FromUtf8(region == "TW" || region == "HK" ? "zh-TW" : "zh-CN");
    }
    if (lang.size() != 2) {
        return u"en";
    }
    return avm1::FromUtf8(lang);
}

Value ScreenX(CallContext& c) {
    return Value::Number(RuntimeOf(c).View().Screen().width);
}

Value ScreenY(CallContext& c) {
    return Value::Number(RuntimeOf(c).View().Screen().height);
}

Value ScreenDpi(CallContext& c) {
    return Value::Number(RuntimeOf(c).View().Screen().dpi);
}

Value Language(CallContext&) {
    return Value::Str(Language());
}

constexpr std::uint16_t kFixed = avm1::kDontDelete | avm1::kReadOnly;

constexpr avm1::NativeMember kMembers[] = {
    avm1::Accessor(u"screenResolutionX", ScreenX, nullptr, kFixed),
    avm1::Accessor(u"screenResolutionY", ScreenY, nullptr, kFixed),
    avm1::Accessor(u"screenDPI", ScreenDpi, nullptr, kFixed),
    avm1::Accessor(u"language", Language, nullptr, kFixed),
};

}  // namespace

void InstallSystemCapabilities(avm1::Vm& vm) {
    avm1::Object* system = vm.Get(vm.Global(), u"System", 8).AsObject();
    if (system == nullptr) {
        return;
    }
    avm1::Object* caps = vm.NewObject();
    vm.Define(system, u"capabilities", Value::Obj(caps), avm1::kDontEnum);
    const std::pair<const char16_t*, Value> fixed[] = {
        {u"avHardwareDisable", Value::Bool(false)},
        {u"hasAccessibility", Value::Bool(false)},
        {u"hasAudio", Value::Bool(true)},
        {u"hasAudioEncoder", Value::Bool(false)},
        {u"hasEmbeddedVideo", Value::Bool(true)},
        {u"hasIME", Value::Bool(true)},
        {u"hasMP3", Value::Bool(true)},
        {u"hasPrinting", Value::Bool(false)},
        {u"hasScreenBroadcast", Value::Bool(false)},
        {u"hasScreenPlayback", Value::Bool(false)},
        {u"hasStreamingAudio", Value::Bool(true)},
        {u"hasStreamingVideo", Value::Bool(true)},
        {u"hasVideoEncoder", Value::Bool(false)},
        {u"isDebugger", Value::Bool(false)},
        {u"localFileReadDisable", Value::Bool(false)},
        {u"manufacturer", Value::Str(u"Adobe Linux")},
        {u"os", Value::Str(u"Linux")},
        {u"pixelAspectRatio", Value::Number(1)},
        {u"playerType", Value::Str(u"StandAlone")},
        {u"screenColor", Value::Str(u"color")},
        {u"version", Value::Str(u"LNX 9,0,280,0")},
    };
    for (const auto& [name, value] : fixed) {
        vm.Define(caps, name, value, kFixed);
    }
    avm1::DefineMembers(vm, caps, kMembers);
}

}  // namespace flash
