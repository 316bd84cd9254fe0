#pragma once

#include <memory>
#include <optional>

#include "display/display_object.h"
#include "flash/avm1/host.h"

namespace flash {

// A display object that scripts see as an object without a timeline (a button, a text field):
// timeline operations do nothing; name, parent and display properties are its own.
class TimelessClip : public DisplayObject, public avm1::Clip {
  public:
    using DisplayObject::DisplayObject;

    avm1::Clip* ScriptClip() override { return this; }

    // avm1::Clip
    int SwfVersion() const override;
    avm1::Clip* Parent() override;
    avm1::String Name() const override { return InstanceName(); }
    avm1::Clip* ChildByName(avm1::StringView, bool) override { return nullptr; }
    void Play() override {}
    void Stop() override {}
    void GotoFrame(int, bool) override {}
    bool GotoLabel(avm1::StringView, bool) override { return false; }
    int CurrentFrame() const override { return 0; }
    int TotalFrames() const override { return 0; }
    std::optional<int> FrameOfLabel(avm1::StringView) const override { return std::nullopt; }
    avm1::Value GetProperty(avm1::Property property) override;
    void SetProperty(avm1::Property property, const avm1::Value& value) override;
    void SetName(const avm1::String& name) override { SetInstanceName(name); }
};

}  // namespace flash
