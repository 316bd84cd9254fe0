#pragma once

#include "flash/avm1/vm.h"
#include "runtime/script_engine.h"

namespace flash {

// The ActionScript 1/2 machine: the interpreter with its built-in classes and the runtime's
// script classes (script_classes.h), running against the runtime as its host.
class Avm1Engine final : public ScriptEngine {
  public:
    Avm1Engine(avm1::Host& host, const avm1::Limits& limits);

    // For the script classes and the display objects' script views.
    avm1::Vm& Vm() { return vm_; }

    void RunCode(const avm1::ActionBytes& code, avm1::Clip& target, int version) override;
    void CallHandler(avm1::Clip& target, avm1::StringView name, std::span<const avm1::Value> args,
                     int version) override;
    void Broadcast(avm1::StringView broadcaster, avm1::StringView event,
                   std::span<const avm1::Value> args, int version) override;
    void RunTimers() override { vm_.RunTimers(); }
    bool HasTimers() const override { return vm_.HasTimers(); }
    std::uint64_t WorkDone() const override { return vm_.ActionsExecuted(); }
    bool HandlesEnterFrame(avm1::Clip& clip) override;
    bool HasHandler(avm1::Clip& clip, avm1::StringView name) override;
    void ObjectRemoved(avm1::Clip& clip) override { vm_.ClipRemoved(clip); }
    bool ShowMenu(int version) override;

  private:
    avm1::Vm vm_;
};

}  // namespace flash
