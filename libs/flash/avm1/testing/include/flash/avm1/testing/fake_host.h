#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "flash/avm1/host.h"

namespace flash::avm1::testing {

// A display object for tests: a timeline with labels, stored properties and named
// children, recording what scripts did to it.
class FakeClip : public Clip {
  public:
    FakeClip(String name, FakeClip* parent, int version = 7, int totalFrames = 10);

    FakeClip& AddChild(const String& name, int totalFrames = 10);
    void AddLabel(const String& label, int frame) { labels_[label] = frame; }
    void SetFrameScript(int frame, ActionBytes code) { scripts_[frame].push_back(code); }
    void set_level(int level) { level_ = level; }
    void set_kind(ClipKind kind) { kind_ = kind; }

    bool playing() const { return playing_; }
    int current_frame() const { return frame_; }

    ClipKind Kind() const override { return kind_; }
    int SwfVersion() const override { return version_; }
    Clip* Parent() override { return parent_; }
    int LevelNumber() const override { return level_; }
    String Name() const override { return name_; }
    Clip* ChildByName(StringView name, bool caseSensitive) override;
    std::vector<Clip*> Children() override;
    void Play() override { playing_ = true; }
    void Stop() override { playing_ = false; }
    void GotoFrame(int frame, bool play) override;
    bool GotoLabel(StringView label, bool play) override;
    int CurrentFrame() const override { return frame_; }
    int TotalFrames() const override { return total_; }
    int FramesLoaded() const override { return loaded_ < 0 ? total_ : loaded_; }
    void SetFramesLoaded(int loaded) { loaded_ = loaded; }
    std::optional<int> FrameOfLabel(StringView label) const override;
    std::vector<ActionBytes> FrameScripts(int frame) override;
    Value GetProperty(Property property) override;
    void SetProperty(Property property, const Value& value) override;
    void SetName(const String& name) override { name_ = name; }

  private:
    String name_;
    FakeClip* parent_;
    int version_;
    int total_;
    int loaded_ = -1;  // all of them
    int frame_ = 0;
    int level_ = -1;
    bool playing_ = true;
    ClipKind kind_ = ClipKind::MovieClip;
    std::map<String, int> labels_;
    std::map<int, std::vector<ActionBytes>> scripts_;
    std::array<Value, kPropertyCount> props_;
    std::vector<std::unique_ptr<FakeClip>> children_;
};

// The environment for tests: _level0 is a FakeClip, trace lines are collected as UTF-8,
// time and random numbers are set by the test.
class FakeHost : public Host {
  public:
    explicit FakeHost(int version = 7);

    FakeClip& root() { return *root_; }
    std::vector<std::string> traces;
    std::vector<UrlRequest> requests;
    std::vector<std::string> errors;
    std::vector<std::string> events;  // other calls, as readable text
    double time = 0;
    double random = 0.5;

    Clip* Level(int level) override { return level == 0 ? root_.get() : nullptr; }
    void Trace(const String& text) override;
    double TimeMs() override { return time; }
    double Random() override { return random; }
    void GetUrl(const UrlRequest& request) override { requests.push_back(request); }
    void ToggleQuality() override { events.push_back("toggleQuality"); }
    void StopSounds() override { events.push_back("stopSounds"); }
    void StartDrag(Clip& clip, bool lockCenter, std::optional<DragRect> rect) override;
    void StopDrag() override { events.push_back("stopDrag"); }
    void CloneSprite(Clip& source, const String& name, int depth) override;
    void RemoveSprite(Clip& clip) override;
    void ScriptError(const String& text) override;

  private:
    std::unique_ptr<FakeClip> root_;
};

}  // namespace flash::avm1::testing
