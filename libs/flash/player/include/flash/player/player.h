#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "flash/player/export.h"
#include "flash/player/flash_error.h"
#include "flash/player/image.h"

namespace flash {

enum class Quality : std::uint8_t { Low, Medium, High };

enum class MouseButton : std::uint8_t { Left, Middle, Right };

// Editing commands for the text field that has the focus, as the host maps its keys to them.
enum class TextCommand : std::uint8_t {
    MoveLeft,
    MoveRight,
    MoveUp,
    MoveDown,
    MoveLineStart,  // Home
    MoveLineEnd,    // End
    MoveTextStart,
    MoveTextEnd,
    SelectLeft,  // the same with Shift: the selection follows the caret
    SelectRight,
    SelectUp,
    SelectDown,
    SelectLineStart,
    SelectLineEnd,
    SelectAll,
    Backspace,
    Delete,
    Enter,
    Copy,
    Cut,
    Paste,
};

// The clipboard that copy, cut and paste in text fields use. The host gives the desktop's;
// until it does, a player keeps a clipboard of its own.
class FLASH_API Clipboard {
  public:
    virtual ~Clipboard();
    virtual std::wstring Text() = 0;
    virtual void SetText(const std::wstring& text) = 0;
};

// The pointer the movie wants over the view: the hand over an active button, none after
// Mouse.hide().
enum class Cursor : std::uint8_t { Arrow, Hand, None };

// The entries of the control's own menu. Texts and order are the menu's; an entry that does
// not apply to the movie shown is left out.
enum class MenuCommand : std::uint8_t {
    ZoomIn,
    ZoomOut,
    ShowAll,
    QualityLow,
    QualityMedium,
    QualityHigh,
    Play,
    Loop,
    Rewind,
    Forward,
    Back,
    About,
};

struct MenuEntry {
    MenuCommand command = MenuCommand::About;
    std::wstring text;
    bool enabled = true;
    bool checked = false;
    bool separatorBefore = false;
    std::vector<MenuEntry> submenu;  // the entry opens these instead of running a command
};

struct LoadRequest {
    std::string url;
    std::string method;  // "GET" or "POST"
    std::string contentType;
    std::vector<std::uint8_t> body;
};

// What a movie asks of whoever hosts the player. The core never acts on these itself: it
// never opens a page or starts a program. The defaults ignore everything.
class FLASH_API PlayerListener {
  public:
    virtual ~PlayerListener();
    // One trace() line, UTF-8.
    virtual void OnTrace(const std::string& line);
    // An http or https page the movie asks to open (getURL), with the window name it gave.
    // Only in answer to the user's click or key press, one for each (Flash's rule).
    virtual void OnOpenPage(const std::string& url, const std::string& window);
    // The first page of a movie refused by that rule; the rest are refused silently.
    virtual void OnPageRefused(const std::string& url, const std::string& window);
    // FSCommand("command", "args").
    virtual void OnFsCommand(const std::string& command, const std::string& args);
    // getURL with any other scheme (mailto:, javascript:, file:, ...): reported, not acted on.
    virtual void OnOtherUrl(const std::string& url, const std::string& window);
    // A script stopped by a limit, or an error that escaped a script.
    virtual void OnScriptError(const std::string& message);
    // A load a movie asked for (variables, XML, remoting), with the address as the movie gave
    // it, before the sandbox rules decide whether it is fetched. For logs.
    virtual void OnLoadRequest(const LoadRequest& request);
    // A script has run past the movie's time limit (15 s unless the movie sets one): true
    // stops it, false lets it run for another period. The default stops it.
    virtual bool OnSlowScript();
};

// Limits that keep a bad movie from hanging the player or exhausting memory.
struct PlayerLimits {
    std::size_t maxMovieBytes = 512u << 20;   // a movie file larger than this is refused
    int maxLevels = 64;                       // _level0 .. _level63
    std::size_t maxDisplayObjects = 200'000;  // live display objects of one player
    int maxNestingDepth = 64;                 // clips inside clips
    // Script actions of one frame: none by default (scripts stop by their time limit); a
    // safety net for tests and fuzzing.
    std::uint64_t actionsPerFrame = UINT64_MAX;
    int maxGotoPerFrame = 10'000;  // timeline jumps of one frame
};

// A rectangle of view pixels.
struct ViewArea {
    int x = 0, y = 0, width = 0, height = 0;
};

class PlayerImpl;

// The headless player core: the operations of the Shockwave Flash control, the frame clock
// and rendering into an Image. Needs no window and no display. Frame numbers are 0-based.
//
// LoadMovie on layer 0 leaves the movie paused, so the host decides when it plays (Play);
// movies loaded into higher layers, by the host or by a script, play at once. A loaded movie
// enters its first frame (and runs that frame's actions) with the next Advance(), so what the
// host does right after loading comes first; GotoFrame enters the frame it names at once.
// Advance() runs one tick of the frame clock for every level.
//
// Calls without a movie behave as the control does: frame counts are 0, IsPlaying is false,
// GetVariable gives an empty text and the playback calls do nothing. Failing calls throw
// FlashError.
class FLASH_API Player {
  public:
    explicit Player(PlayerLimits limits = {});
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Where trace lines, pages and commands go; null for nowhere. Not owned.
    void SetListener(PlayerListener* listener);

    // The control's operations.
    void LoadMovie(int layer, const std::wstring& pathOrUrl);
    // The same with a UTF-8 path or URL.
    void LoadMovie(int layer, const std::string& pathOrUrl);
    std::int32_t TotalFrames() const;
    std::int32_t FrameNum() const;
    std::int32_t CurrentFrame() const;
    void Play();
    void Stop();
    void Rewind();
    void StopPlay();
    void GotoFrame(std::int32_t frame);
    bool IsPlaying() const;
    // 0 show all, 1 no border, 2 exact fit, 3 no scale; other values are kept and show all.
    std::int32_t ScaleMode() const;
    void SetScaleMode(std::int32_t mode);
    // "low", "medium" or "high"; setting accepts any case (and Flash's "best", "autolow",
    // "autohigh"); other words throw FlashError.
    std::wstring Quality2() const;
    void SetQuality2(const std::wstring& quality);
    // Variables by path ("_level0.strPath", "/clip:var"), values as Flash's text form.
    void SetVariable(const std::wstring& name, const std::wstring& value);
    std::wstring GetVariable(const std::wstring& name) const;

    // Loads a movie from memory; `url` names it for _url and for relative loads.
    void LoadMovieBytes(int layer, std::vector<std::uint8_t> bytes, const std::string& url);
    // Removes the movie of a layer (layer 0 removes all).
    void UnloadMovie(int layer);
    bool HasMovie() const;

    // One tick of the frame clock: every timeline that plays moves on, scripts run.
    void Advance();
    // Stops the scripts of every player at their next action and runs none from then on, for
    // a program that is ending (a close request, a signal): it never waits for a script. Safe
    // in a signal handler. ResumeScripts undoes it.
    static void InterruptScripts();
    static void ResumeScripts();
    // Whether Advance() could change anything now. False only when every timeline stands
    // still and nothing else waits: no enterFrame handler, interval, timeout, sound, load,
    // drag or queued script. Only input and the control's operations can change that.
    bool CanChange() const;
    // Moves the script clock on by `frames` frames, as that many Advance() calls would while
    // CanChange() is false, without running them.
    void PassIdleFrames(std::int64_t frames);
    // Frames per second of _level0 (12 without a movie); never 0.
    double FrameRate() const;
    // Stage size of _level0 in pixels (0 x 0 without a movie).
    int StageWidth() const;
    int StageHeight() const;
    // Background colour of the stage as opaque ARGB (white without a movie).
    std::uint32_t BackgroundColor() const;
    // The SWF version of _level0 (0 without a movie).
    int SwfVersion() const;
    Quality RenderQuality() const;
    // Script clock in milliseconds: starts at 0 with LoadMovie and moves one frame period
    // per Advance, so runs are repeatable.
    double TimeMs() const;
    // Seed of Math.random and RandomNumber, for repeatable runs.
    void SetRandomSeed(std::uint32_t seed);

    // Sound. By default a player is silent: its sound is decoded and mixed against a clock that
    // moves one frame's time per Advance, so runs repeat exactly. With the device, sound plays
    // through the process's audio output at the wave-out volume (silently when the machine has
    // no device) and stream sound paces the timeline (see FramesToRun). Choose before loading:
    // switching stops what plays.
    void UseSoundDevice(bool on);
    bool UsesSoundDevice() const;
    // How many frames to run when the frame clock finds `due` frames due: `due`, or while
    // stream sound plays on _level0 with the device, what keeps the timeline with its sound:
    // 0 waits for the sound, more than 1 skips frames to catch up with it.
    int FramesToRun(int due) const;
    // The volume of this player's sound, 0 (silent) to 1.
    void SetSoundVolume(double volume);
    double SoundVolume() const;

    // Draws the current frame into `target` at its size, with the scale mode and quality.
    void Render(Image& target) const;
    // The same, drawing only what changed since the last RenderChanges: `target` must still
    // hold that frame (a new size is noticed and drawn whole; after drawing anything else
    // into it, call ForgetRenderedFrame first). Returns the areas drawn, empty when the
    // picture is as it was. The way a window draws: cost follows what changed.
    std::vector<ViewArea> RenderChanges(Image& target) const;
    void ForgetRenderedFrame() const;

    // Input. Positions are pixels of the view the movie is shown in: they go through the
    // same stage transform as Render into an image of the view's size, so a click lands on
    // what was drawn there. Until SetViewSize, the view is the stage at its own size. Each
    // call runs the scripts it sets off before it returns. Only the left button acts on the
    // movie.
    void SetViewSize(int width, int height);
    // The screen the view is on, in pixels and dots per inch, for System.capabilities
    // (1920 x 1080 at 72 until told).
    void SetScreen(int width, int height, double dpi);
    void MouseMove(double x, double y);
    void MouseDown(double x, double y, MouseButton button = MouseButton::Left);
    void MouseUp(double x, double y, MouseButton button = MouseButton::Left);
    // The pointer left the view.
    void MouseLeave();
    // Keys by Flash's key codes (Key.LEFT is 37, letters their capitals, Key.ENTER 13), with
    // the character the key gives on the keyboard layout (0 for none).
    void KeyDown(int keyCode, char32_t character = 0);
    void KeyUp(int keyCode, char32_t character = 0);
    // Text typed into the text field that has the focus: the characters keys give, or what
    // an input method committed, after their KeyDown. Control characters are left out.
    void TextInput(const std::wstring& text);
    // An editing command for the text field that has the focus.
    void TextControl(TextCommand command);
    // Where copy, cut and paste go; null for the player's own. Not owned.
    void SetClipboard(Clipboard* clipboard);
    // The wheel turned by `delta` lines (positive away from the user) where the pointer is:
    // Mouse listeners hear onMouseWheel.
    void MouseWheel(int delta);
    // The window showing the movie got or lost the keyboard focus: losing it takes the focus
    // from the object that has it.
    void WindowFocus(bool focused);
    Cursor WantedCursor() const;
    // A view pixel in stage pixels, for the same mapping outside the player.
    std::pair<double, double> ViewToStage(double x, double y) const;

    // The control's own menu for a right click at a view point, and running one of its
    // commands (zoom commands zoom around that point).
    std::vector<MenuEntry> ContextMenu() const;
    void RunMenuCommand(MenuCommand command, double x = 0, double y = 0);
    // Whether the root timeline starts again after its last frame (the menu's "loop").
    bool Looping() const;
    void SetLooping(bool loop);
    double Zoom() const;

  private:
    std::unique_ptr<PlayerImpl> impl_;
};

}  // namespace flash
