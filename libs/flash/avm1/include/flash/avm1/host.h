#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "flash/avm1/value.h"

namespace flash::avm1 {

// Action bytes shared by the code that runs them and the functions defined in them, so a
// function outlives the movie frame that defined it.
using ActionBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// Display-object properties in the order of the GetProperty/SetProperty index.
enum class Property : std::uint8_t {
    X = 0,
    Y,
    XScale,
    YScale,
    CurrentFrame,
    TotalFrames,
    Alpha,
    Visible,
    Width,
    Height,
    Rotation,
    Target,
    FramesLoaded,
    Name,
    DropTarget,
    Url,
    HighQuality,
    FocusRect,
    SoundBufTime,
    Quality,
    XMouse,
    YMouse,
};
inline constexpr int kPropertyCount = 22;

// "_x" for Property::X and so on.
StringView PropertyName(Property property);
// The property of a name such as "_x" (any case), or nothing.
std::optional<Property> PropertyByName(StringView name);
// The property of a GetProperty/SetProperty index (0..21; fractions are cut), or nothing.
std::optional<Property> PropertyByIndex(double index);

enum class ClipKind : std::uint8_t { MovieClip, Button, TextField };

// A display object as scripts see it: a level's root timeline, a movie clip, a button or a
// text field. The runtime implements it; the interpreter never owns one. When the display
// object goes away, the runtime calls Vm::ClipRemoved before destroying it.
class Clip {
  public:
    virtual ~Clip() = default;

    virtual ClipKind Kind() const { return ClipKind::MovieClip; }
    // SWF version of the movie this clip comes from (its root's movie).
    virtual int SwfVersion() const = 0;

    // The display tree. A level's root has no parent and a level number >= 0.
    virtual Clip* Parent() = 0;
    virtual int LevelNumber() const { return -1; }
    // _lockroot: _root of the code inside stops at this clip.
    virtual bool LocksRoot() const { return false; }
    // The instance name ("instance1" and so on when the movie gave none).
    virtual String Name() const = 0;
    // A child by instance name; names compare by case before SWF 7 only when
    // `caseSensitive` is false.
    virtual Clip* ChildByName(StringView name, bool caseSensitive) = 0;
    // Children in depth order, for enumeration (for..in lists them as members).
    virtual std::vector<Clip*> Children() { return {}; }

    // Timeline; frames are 0-based. A frame beyond the last goes to the last.
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void GotoFrame(int frame, bool play) = 0;
    // False when the timeline has no such label.
    virtual bool GotoLabel(StringView label, bool play) = 0;
    virtual int CurrentFrame() const = 0;
    virtual int TotalFrames() const = 0;
    virtual int FramesLoaded() const { return TotalFrames(); }
    // Bytes of the clip's movie file loaded so far and in all (getBytesLoaded, getProgress).
    virtual double BytesLoaded() const { return BytesTotal(); }
    virtual double BytesTotal() const { return 0; }
    // The frame of a label, or nothing.
    virtual std::optional<int> FrameOfLabel(StringView label) const = 0;
    // The DoAction blocks of a frame, for the Call action (call("frame")).
    virtual std::vector<ActionBytes> FrameScripts(int /*frame*/) { return {}; }

    // Properties by index. The interpreter answers _target, _name, _currentframe,
    // _totalframes and _framesloaded itself from the calls above; all others come here.
    // SetProperty receives a number for numeric properties (NaN included: Flash ignores
    // it), a string for _name and _quality, a boolean for _visible and _highquality, a
    // boolean or undefined (unset) for _focusrect.
    virtual Value GetProperty(Property property) = 0;
    virtual void SetProperty(Property property, const Value& value) = 0;
    // Renaming through _name; the default ignores it.
    virtual void SetName(const String&) {}

    // Further native members by name (a text field's "text", a clip's "enabled", ...).
    // GetMember gives nothing when the clip has no such member; SetMember returns false
    // when it does not take it, so the value is stored as an ordinary variable.
    virtual std::optional<Value> GetMember(StringView) { return std::nullopt; }
    virtual bool SetMember(StringView, const Value&) { return false; }
};

// A request of GetURL/GetURL2 and the global functions built on them (getURL, loadMovie,
// loadVariables, fscommand, unloadMovie). FSCommand arrives with the url
// "FSCommand:command" and the argument as target.
class Object;

struct UrlRequest {
    enum class Method : std::uint8_t { None, Get, Post };
    String url;
    String target;  // as given: a window name, "_levelN" or a clip path
    Method method = Method::None;
    bool loadTarget = false;         // the target names a clip or level to load a movie into
    bool loadVariables = false;      // load variables instead of a movie or page
    Clip* source = nullptr;          // the clip whose variables are sent with Get/Post
    Clip* targetClip = nullptr;      // the target resolved to a clip, when it is one
    std::optional<int> targetLevel;  // "_levelN" targets
    Object* loader = nullptr;        // a MovieClipLoader to tell of the load's progress
};

// The bytes of a load under way, kept by LoadVars and XML objects for getBytesLoaded and
// getBytesTotal (their _bytesLoaded and _bytesTotal are copies scripts may change).
class LoadProgress {
  public:
    virtual ~LoadProgress() = default;
    std::optional<double> bytesLoaded;
    std::optional<double> bytesTotal;
};

// A text load of LoadVars or XML (load, sendAndLoad). The host fetches `url` and on a later
// tick sets the target's _bytesLoaded and _bytesTotal and calls its onData with the text, or
// with undefined when the load failed.
struct DataRequest {
    String url;
    UrlRequest::Method method = UrlRequest::Method::Get;
    String body;  // the POST body, or the query a GET adds to the address
    String contentType;
    std::vector<std::pair<String, String>> headers;
    Object* target = nullptr;
    int version = 0;  // of the code that asked, for the callbacks
};

struct DragRect {
    double left = 0, top = 0, right = 0, bottom = 0;  // in the parent's pixels
};

// The environment the runtime provides to the interpreter. Operations that have nothing to
// do in a given host have empty defaults.
class Host {
  public:
    virtual ~Host() = default;

    // The root clip of _levelN, or null.
    virtual Clip* Level(int level) = 0;
    // One trace() line.
    virtual void Trace(const String& text) = 0;
    // Milliseconds since the movie started (GetTime, getTimer).
    virtual double TimeMs() = 0;
    // A uniform random number in [0, 1) (RandomNumber, Math.random).
    virtual double Random() = 0;

    virtual void GetUrl(const UrlRequest&) {}
    virtual void LoadData(const DataRequest&) {}
    virtual void ToggleQuality() {}
    virtual void StopSounds() {}
    virtual void StartDrag(Clip&, bool /*lockCenter*/, std::optional<DragRect>) {}
    virtual void StopDrag() {}
    // duplicateMovieClip; the new clip is a sibling of `source`.
    virtual void CloneSprite(Clip& /*source*/, const String& /*name*/, int /*depth*/) {}
    // removeMovieClip.
    virtual void RemoveSprite(Clip&) {}
    // Scripts that broke a limit (instruction budget, recursion) or threw uncaught; for the
    // host's log. Flash shows no message for these in release players.
    virtual void ScriptError(const String&) {}
    // A steady clock in milliseconds, for the script time limit.
    virtual double ClockMs();
    // A run has gone on past the time limit: true stops it, false gives it another period.
    virtual bool StopSlowScript() { return true; }
};

}  // namespace flash::avm1
