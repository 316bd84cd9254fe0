#pragma once

// UI: the main player's full-screen window with its auto-hiding toolbar.
//
// A caller fills a stu_FullScreenParam, constructs CFullScreen with it and runs it modally
// (ShowModal, which always ends with wxID_CANCEL), then reads bPlaying and nFrame back.
//
//     stu_FullScreenParam param{view, new CShockwaveFlash, path, playing, frame};
//     {
//         CFullScreen window(&param);
//         window.ShowModal();
//     }
//     delete param.pFlash;
//
// The control the full-screen window creates in the wrapper is one of its child windows, and a
// window takes its children with it: when the control was created, the wrapper is destroyed
// with the CFullScreen object and pFlash is set to null. A wrapper whose control could not be
// created stays the caller's.

#include <wx/dialog.h>
#include <wx/string.h>
#include <wx/timer.h>

#include <cstdint>

#include "ui/export.h"

class CShockwaveFlash;
class CFullSCToop;

// What the view hands to the full-screen window and reads back.
struct stu_FullScreenParam {
    wxWindow* pParentWnd = nullptr;     // parent of the full-screen window (the caller's view)
    CShockwaveFlash* pFlash = nullptr;  // a wrapper without a window; the control is made in it
    wxString strMoviePath;              // the movie
    std::int32_t bPlaying = 0;  // in: the caller's movie played; out: played at the last tick
    std::int32_t nFrame = 0;    // in: frame to start at; out: last frame seen while playing
};

// The toolbar's message to its owner; the event's id is the id of the control that sent it.
inline constexpr int WM_TOOLBAR_COMMAND = 0x0400 + 105;
UI_API wxDECLARE_EVENT(wxEVT_TOOLBAR_COMMAND, wxCommandEvent);

inline constexpr int IDD_FULLSCREEN = 3000;
inline constexpr int IDD_PLAYCONTROL = 3001;
inline constexpr int IDC_FLASH = 10415;
inline constexpr int IDT_FULLSCREEN_POLL = 123369;
inline constexpr int kFullScreenPollMs = 20;
// Toolbar controls.
inline constexpr int IDC_FULLSCREEN_EXIT = 4000;
inline constexpr int IDC_FULLSCREEN_HINT = 4001;
inline constexpr int IDC_FULLSCREEN_PIN = 4002;

inline constexpr const wchar_t* kFullScreenFailedText = L"抱歉， 全屏播放失败";

// The full-screen window: covers the monitor its parent is on, plays the movie in a control of
// its own and writes the playing state and frame back into the record every 20 ms.
class UI_API CFullScreen : public wxDialog {
  public:
    explicit CFullScreen(stu_FullScreenParam* param);
    ~CFullScreen() override;

    // The window only runs modally.
    bool Create() { return false; }
    // Makes the control and the toolbar, then runs; a failure shows the message and returns
    // wxID_CANCEL at once.
    int ShowModal() override;
    void EndModal(int returnCode) override;
    bool Show(bool show = true) override;

    // One tick of the poll: the state write-back and the toolbar's movement.
    void Poll();
    // Enter does nothing; Esc and the exit button end full screen (cancel).
    void OnOK() {}
    void OnCancel();
    // Shows the failure message and ends full screen.
    void DoFailed();

    CFullSCToop* GetToolbar() const { return m_pToolbar; }
    std::uint32_t GetTickCount() const { return m_nTicks; }

  private:
    bool OnInitDialog();
    void OnTimer(wxTimerEvent& event);
    void OnToopCommand(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnClose(wxCloseEvent& event);
    bool StartMovie(const wxSize& size);
    wxPoint CursorInWindow() const;

    stu_FullScreenParam* m_pParam;
    CFullSCToop* m_pToolbar = nullptr;
    std::uint32_t m_nTicks = 0;
    wxTimer m_timer;
    wxRect m_rcMonitor;
    bool m_bFailed = false;
};

// An empty dialog (template 3001) that the library offers and nothing uses.
class UI_API CPlayControl : public wxDialog {
  public:
    CPlayControl();
    explicit CPlayControl(wxWindow* parent);
    ~CPlayControl() override;
};
