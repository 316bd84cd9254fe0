#include "script/avm1_engine.h"

#include <vector>

#include "flash/avm1/convert.h"
#include "flash/avm1/object.h"
#include "script/script_classes.h"

namespace flash {

Avm1Engine::Avm1Engine(avm1::Host& host, const avm1::Limits& limits) : vm_(host, limits) {
    InstallScriptClasses(vm_);
}

void Avm1Engine::RunCode(const avm1::ActionBytes& code, avm1::Clip& target, int version) {
    vm_.Run(code, &target, version);
}

void Avm1Engine::CallHandler(avm1::Clip& target, avm1::StringView name,
                             std::span<const avm1::Value> args, int version) {
    vm_.CallMethod(vm_.ObjectOf(target), name, args, version);
}

void Avm1Engine::Broadcast(avm1::StringView broadcaster, avm1::StringView event,
                           std::span<const avm1::Value> args, int version) {
    avm1::Value object = vm_.Get(vm_.Global(), broadcaster, version);
    avm1::Object* o = object.AsObject();
    if (o == nullptr) {
        return;
    }
    std::vector<avm1::Value> message;
    message.reserve(args.size() + 1);
    message.push_back(avm1::Value::Str(avm1::String(event)));
    message.insert(message.end(), args.begin(), args.end());
    vm_.CallMethod(o, u"broadcastMessage", message, version);
}

bool Avm1Engine::HandlesEnterFrame(avm1::Clip& clip) {
    return HasHandler(clip, u"onEnterFrame");
}

bool Avm1Engine::HasHandler(avm1::Clip& clip, avm1::StringView name) {
    // Anywhere on the clip or its prototypes, whatever its value or case; a chain too long to
    // follow counts as having one.
    const avm1::Object* object = vm_.ObjectOf(clip);
    int hops = 0;
    for (; object != nullptr && hops < 256; object = object->Proto(), ++hops) {
        if (object->Members().Find(name, false) != nullptr) {
            return true;
        }
    }
    return object != nullptr;
}

bool Avm1Engine::ShowMenu(int version) {
    avm1::Object* stage = vm_.Get(vm_.Global(), u"Stage", version).AsObject();
    if (stage == nullptr) {
        return true;
    }
    avm1::Value show = vm_.Get(stage, u"showMenu", version);
    return show.IsUndefined() || avm1::ToBoolean(show, version);
}

}  // namespace flash
