// The Stage object's properties: width and height, scaleMode, align, showMenu and
// displayState, on the Stage broadcaster. Scale mode and size are the view's: setting noScale
// tells listeners of the new size at once (onResize), entering or leaving full screen tells
// them through onFullScreen.
#include <cctype>

#include "flash/avm1/native_member.h"
#include "flash/avm1/vm.h"
#include "runtime/runtime.h"
#include "script/script_classes.h"

namespace flash {

using avm1::CallContext;
using avm1::Value;

namespace {

constexpr int kNoScale = 3;
constexpr const char16_t* kScaleModes[] = {u"showAll", u"noBorder", u"exactFit", u"noScale"};
// Align letters in the order Flash writes them.
constexpr char16_t kAlignLetters[] = {u'L', u'T', u'R', u'B'};

bool SameNoCase(avm1::StringView a, avm1::StringView b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char16_t c) { return c < 128 ? std::tolower(c) : c; };
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

void Broadcast(avm1::Vm& vm, avm1::Object* stage, avm1::StringView event, std::vector<Value> args,
               int version) {
    args.insert(args.begin(), Value::Str(avm1::String(event)));
    vm.CallMethod(stage, u"broadcastMessage", args, version);
}

std::pair<int, int> Size(Runtime& runtime) {
    StageView& view = runtime.View();
    return view.ScaleMode() == kNoScale ? view.ViewSize() : view.StageSize();
}

Value Width(CallContext& c) {
    return Value::Number(Size(RuntimeOf(c)).first);
}

Value Height(CallContext& c) {
    return Value::Number(Size(RuntimeOf(c)).second);
}

Value ScaleMode(CallContext& c) {
    int mode = RuntimeOf(c).View().ScaleMode();
    return Value::Str(kScaleModes[mode >= 0 && mode < 4 ? mode : 0]);
}

Value SetScaleMode(CallContext& c) {
    Runtime& runtime = RuntimeOf(c);
    avm1::String name = c.vm.ToString(c.Arg(0), c.version);
    int mode = 0;
    for (int i = 0; i < 4; ++i) {
        if (SameNoCase(name, kScaleModes[i])) {
            mode = i;
        }
    }
    std::pair<int, int> before = Size(runtime);
    runtime.View().SetScaleMode(mode);
    if (Size(runtime) != before && c.This() != nullptr) {
        Broadcast(c.vm, c.This(), u"onResize", {}, c.version);
    }
    return Value();
}

Value Align(CallContext& c) {
    std::uint8_t flags = RuntimeOf(c).View().Align();
    avm1::String out;
    for (int i = 0; i < 4; ++i) {
        if ((flags & (1 << i)) != 0) {
            out.push_back(kAlignLetters[i]);
        }
    }
    return Value::Str(out);
}

Value SetAlign(CallContext& c) {
    std::uint8_t flags = 0;
    for (char16_t ch : c.vm.ToString(c.Arg(0), c.version)) {
        for (int i = 0; i < 4; ++i) {
            if (ch == kAlignLetters[i] || ch == kAlignLetters[i] + 32) {
                flags |= static_cast<std::uint8_t>(1 << i);
            }
        }
    }
    RuntimeOf(c).View().SetAlign(flags);
    return Value();
}

Value DisplayState(CallContext& c) {
    return Value::Str(RuntimeOf(c).View().FullScreen() ? u"fullScreen" : u"normal");
}

Value SetDisplayState(CallContext& c) {
    avm1::String name = c.vm.ToString(c.Arg(0), c.version);
    bool full = SameNoCase(name, u"fullScreen");
    if (!full && !SameNoCase(name, u"normal")) {
        return Value();
    }
    StageView& view = RuntimeOf(c).View();
    if (view.FullScreen() != full) {
        view.SetFullScreen(full);
        if (c.This() != nullptr) {
            Broadcast(c.vm, c.This(), u"onFullScreen", {Value::Bool(full)}, c.version);
        }
    }
    return Value();
}

constexpr std::uint16_t kHidden = avm1::kDontEnum | avm1::kDontDelete;

constexpr avm1::NativeMember kMembers[] = {
    avm1::Accessor(u"width", Width, nullptr, kHidden),
    avm1::Accessor(u"height", Height, nullptr, kHidden),
    avm1::Accessor(u"scaleMode", ScaleMode, SetScaleMode, kHidden),
    avm1::Accessor(u"align", Align, SetAlign, kHidden),
    avm1::Accessor(u"displayState", DisplayState, SetDisplayState, kHidden),
};

}  // namespace

void InstallStage(avm1::Vm& vm) {
    avm1::DefineMembers(vm, GlobalObject(vm, u"Stage"), kMembers);
}

}  // namespace flash
