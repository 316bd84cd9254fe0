#pragma once

#include <wx/menu.h>
#include <wx/timer.h>
#include <wx/window.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "flash/player/export.h"
#include "flash/player/player.h"

// The Flash control as the programs host it: a child window over the player core with the
// control's operations. It advances the movie on a timer at the movie's frame rate (only
// looking in now and then while nothing in the movie can move), paints
// the current frame double-buffered, and follows its parent's size while it covers the
// parent's whole client area. Several instances may live at once.
//
// Mouse and keyboard over the window reach the movie through the stage transform of the
// current scale mode; the pointer becomes a hand over active buttons. Typed characters and
// the text an input method commits go into the focused text field, editing keys edit it, and
// copy and paste use the desktop's clipboard. A right-button press
// opens the control's own menu at the press.
//
// A request to end the program (SIGTERM, SIGINT) stops the movies' scripts at once before the
// program's own handler for it runs (flash::Player::InterruptScripts), so closing never waits
// for a script.
//
// It can be constructed without a window and created later (Create), as the full-screen
// window does with the wrapper the view hands it. The operations work with or without a
// window; failing ones throw flash::FlashError.
class FLASH_API CShockwaveFlash : public wxWindow {
  public:
    CShockwaveFlash();
    ~CShockwaveFlash() override;

    // Creates the control's window as a child of `parent` with the window text and the
    // control id the host gives (ids beyond what wxWidgets accepts are kept as the control's
    // id while the window takes one of its own). Returns false when the window cannot be made.
    bool Create(const wxString& windowText, long style, const wxRect& rect, wxWindow* parent,
                long controlId);
    bool HasWindow() const { return GetHandle() != nullptr; }
    long GetControlId() const { return controlId_; }
    wxString GetWindowText() const { return GetLabel(); }

    // The control's operations.
    long TotalFrames() const;
    long FrameNum() const;
    long CurrentFrame() const;
    void Play();
    void Stop();
    void Rewind();
    void StopPlay();
    void GotoFrame(long frame);
    bool IsPlaying() const;
    long GetScaleMode() const;
    void SetScaleMode(long mode);
    wxString GetQuality2() const;
    void SetQuality2(const wxString& quality);
    void LoadMovie(long layer, const wxString& pathOrUrl);
    void SetVariable(const wxString& name, const wxString& value);
    wxString GetVariable(const wxString& name) const;
    // Whether the movie last loaded on layer 0 from a file declares ActionScript 3 (its
    // FileAttributes): its timeline plays, its scripts do not run.
    bool UsesActionScript3() const { return actionScript3_; }

    flash::Player& GetPlayer() { return *player_; }
    // Whether the timer only looks in now and then because nothing in the movie can change
    // (see flash::Player::CanChange); operations and input wake it at once.
    bool Idle() const { return idle_; }
    // Where http and https pages that a movie asks for go; the default opens them in the
    // browser through the shell. Other schemes and FSCommand are ignored.
    void SetPageOpener(std::function<void(const std::wstring& url)> opener);

    // Asks whether to stop a script that has run past the movie's time limit; true stops it.
    // The default asks the user in a Yes/No message box over the control.
    using SlowScriptAsker = std::function<bool(const wxString& question)>;
    void SetSlowScriptAsker(SlowScriptAsker asker);
    // The question the asker gets.
    static wxString SlowScriptQuestion();

    // Shows the control's menu at a point of this window and gives the id of the entry
    // chosen, or wxID_NONE. The default pops it up for the user; tests choose themselves.
    using MenuChooser = std::function<int(wxMenu& menu, const wxPoint& at)>;
    void SetMenuChooser(MenuChooser chooser);
    // Opens the control's menu at a point of this window, as a right-button press does.
    void ShowContextMenu(const wxPoint& at);
    // The id an entry of the control's menu has while the menu is open.
    static int MenuId(flash::MenuCommand command);

  private:
    class Listener;

    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void TellScreen();
    void OnTimer(wxTimerEvent& event);
    void OnParentSize(wxSizeEvent& event);
    void OnMouse(wxMouseEvent& event);
    void OnKey(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnWheel(wxMouseEvent& event);
    void OnFocus(wxFocusEvent& event);
    void UpdateCursor();
    void Changed();
    void FrameMoved();
    void RestartClock();
    void ScheduleTick();
    void Tick();
    void SettleIdle();
    void Rearm();

    std::unique_ptr<flash::Player> player_;
    std::unique_ptr<Listener> listener_;
    std::unique_ptr<flash::Clipboard> clipboard_;
    long controlId_ = 0;
    wxTimer timer_;
    flash::Image frame_;
    bool frameStale_ = true;
    wxWindow* boundParent_ = nullptr;
    wxSize parentClientSize_;
    std::chrono::steady_clock::time_point clockStart_;
    std::int64_t framesRun_ = 0;
    bool idle_ = false;  // the timer waits long: nothing in the movie could change
    bool actionScript3_ = false;
    std::function<void(const std::wstring&)> pageOpener_;
    MenuChooser menuChooser_;
    SlowScriptAsker slowScriptAsker_;
    flash::Cursor cursor_ = flash::Cursor::Arrow;
};
