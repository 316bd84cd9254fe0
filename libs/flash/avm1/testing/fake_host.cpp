#include "flash/avm1/testing/fake_host.h"

#include <algorithm>

#include "flash/avm1/convert.h"

namespace flash::avm1::testing {

FakeClip::FakeClip(String name, FakeClip* parent, int version, int totalFrames)
    : name_(std::move(name)), parent_(parent), version_(version), total_(totalFrames) {
    props_[static_cast<int>(Property::XScale)] = Value::Number(100);
    props_[static_cast<int>(Property::YScale)] = Value::Number(100);
    props_[static_cast<int>(Property::Alpha)] = Value::Number(100);
    props_[static_cast<int>(Property::Visible)] = Value::Bool(true);
    props_[static_cast<int>(Property::Quality)] = Value::Str(u"HIGH");
    for (auto p : {Property::X, Property::Y, Property::Width, Property::Height, Property::Rotation,
                   Property::XMouse, Property::YMouse, Property::SoundBufTime}) {
        props_[static_cast<int>(p)] = Value::Number(0);
    }
}

FakeClip& FakeClip::AddChild(const String& name, int totalFrames) {
    children_.push_back(std::make_unique<FakeClip>(name, this, version_, totalFrames));
    return *children_.back();
}

Clip* FakeClip::ChildByName(StringView name, bool caseSensitive) {
    for (auto& child : children_) {
        if (NamesEqual(child->name_, name, caseSensitive ? 7 : 6)) {
            return child.get();
        }
    }
    return nullptr;
}

std::vector<Clip*> FakeClip::Children() {
    std::vector<Clip*> out;
    for (auto& child : children_) {
        out.push_back(child.get());
    }
    return out;
}

void FakeClip::GotoFrame(int frame, bool play) {
    frame_ = std::clamp(frame, 0, total_ - 1);
    playing_ = play;
}

bool FakeClip::GotoLabel(StringView label, bool play) {
    auto frame = FrameOfLabel(label);
    if (!frame) {
        return false;
    }
    GotoFrame(*frame, play);
    return true;
}

std::optional<int> FakeClip::FrameOfLabel(StringView label) const {
    for (const auto& [name, frame] : labels_) {
        if (NamesEqual(name, label, 6)) {
            return frame;
        }
    }
    return std::nullopt;
}

std::vector<ActionBytes> FakeClip::FrameScripts(int frame) {
    auto it = scripts_.find(frame);
    return it == scripts_.end() ? std::vector<ActionBytes>{} : it->second;
}

Value FakeClip::GetProperty(Property property) {
    return props_[static_cast<int>(property)];
}

void FakeClip::SetProperty(Property property, const Value& value) {
    props_[static_cast<int>(property)] = value;
}

FakeHost::FakeHost(int version) : root_(std::make_unique<FakeClip>(u"", nullptr, version)) {
    root_->set_level(0);
}

void FakeHost::Trace(const String& text) {
    traces.push_back(ToUtf8(text));
}

void FakeHost::StartDrag(Clip& clip, bool lockCenter, std::optional<DragRect> rect) {
    std::string text = "startDrag " + ToUtf8(clip.Name()) + (lockCenter ? " lock" : "");
    if (rect) {
        text += " " + ToUtf8(NumberToString(rect->left)) + "," + ToUtf8(NumberToString(rect->top)) +
                "," + ToUtf8(NumberToString(rect->right)) + "," +
                ToUtf8(NumberToString(rect->bottom));
    }
    events.push_back(text);
}

void FakeHost::CloneSprite(Clip& source, const String& name, int depth) {
    events.push_back("clone " + ToUtf8(source.Name()) + " " + ToUtf8(name) + " " +
                     std::to_string(depth));
}

void FakeHost::RemoveSprite(Clip& clip) {
    events.push_back("remove " + ToUtf8(clip.Name()));
}

void FakeHost::ScriptError(const String& text) {
    errors.push_back(ToUtf8(text));
}

}  // namespace flash::avm1::testing
