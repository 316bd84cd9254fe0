#pragma once

#include <wx/docview.h>

#include <functional>
#include <memory>

#include "list_commands.h"
#include "lists/media_lists.h"
#include "make_exe_progress.h"
#include "platform/messages.h"
#include "playing_state.h"
#include "ribbon_layout.h"
#include "ribbon_model.h"
#include "visual_styles.h"

class CMakeExeStatu;
struct PlayerContext;
class RibbonStatusBar;
namespace ribbon {
class RibbonWindow;
}

// The main window: a document frame whose caption area is the ribbon, with a two-pane status
// bar below the view. It applies and stores the visual style, keeps the handles of the ribbon
// elements other parts change, handles its own commands, and receives the standalone
// builder's WM_MAKEEXE_NOTIFY.
class CMainFrame : public wxDocParentFrame, public ListMenus, private MakeExeProgressView {
  public:
    // Reads the visual style from "ApplicationLook"; the window comes with Create. The lists,
    // settings, prompts and images of `context` are the ones its menus and commands use.
    explicit CMainFrame(PlayerContext& context);
    ~CMainFrame() override;

    // The creation hook, in order: the base window, the visual style, the ribbon bar and its
    // layout, the status bar with panes 120 and 121, and the progress window object.
    bool Create(wxDocManager* manager, const wxString& title,
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(800, 600));

    // The system volume reader the ribbon build uses (0..65535 into the value it is given,
    // which starts at 32767); without one the volume slider starts at 32767.
    static void SetSystemVolumeReader(std::function<void(int&)> reader);

    ribbon::Ribbon& GetRibbon() { return ribbon_; }
    const ribbon::Handles& GetHandles() const { return handles_; }
    ribbon::RibbonWindow* GetRibbonBar() const { return m_wndRibbonBar; }
    RibbonStatusBar* GetRibbonStatusBar() const { return m_wndStatusBar; }
    CMakeExeStatu* GetMakeExeStatu() const { return m_pMakeExeStatu; }

    // Shows or hides the ribbon bar and lays the window out again.
    void ShowRibbonBar(bool show);
    bool IsRibbonBarVisible() const;
    void ShowStatusBar(bool show);

    // The volume slider's position, 0..65535.
    int GetVolumePosition() const;
    bool IsMuted() const { return m_bMuted; }
    void SetMuted(bool muted) { m_bMuted = muted; }

    // The current visual style (210..218, or any other value read from the profile).
    int GetApplicationLook() const { return m_nAppLook; }
    void ApplyVisualStyle(int id);

    // Where the standalone builder sends WM_MAKEEXE_NOTIFY (stu_MakeExeParam::pNotifyWnd).
    platform::MessageWindow* GetNotifyWindow();
    platform::LRESULT OnMakeExeNotify(platform::WPARAM code, platform::LPARAM arg);

    // The status update of pane 120, as run when the program is idle.
    void UpdateStatusPane();

    // The list menus of the application menu (ListMenus), rebuilt from the program's lists.
    void RebuildHistoryMenu() override;
    void RebuildRelatedMenu() override;
    void RebuildPlaylistMenu() override;
    void ShowPlaylistCapacity(int capacity, const wxString& label) override;
    // Puts the stored capacities into the ribbon and rebuilds the three list menus; run once
    // the settings and lists are loaded.
    void RefreshCapacityControls();

    bool Layout() override;

  private:
    class NotifyWindow;

    void OnApplicationLook(wxCommandEvent& event);
    void OnUpdateApplicationLook(wxUpdateUIEvent& event);
    void OnViewStatusBar(wxCommandEvent& event);
    void OnUpdateViewStatusBar(wxUpdateUIEvent& event);
    void OnUpdateStatusPane(wxUpdateUIEvent& event);
    void OnIdle(wxIdleEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnToggleExtendedMenu(wxCommandEvent& event);
    void OnUpdateExtendedMenu(wxUpdateUIEvent& event);
    void OnPlayMode(wxCommandEvent& event);
    void OnUpdatePlayMode(wxUpdateUIEvent& event);
    void OnCapacityMoved(wxCommandEvent& event);
    void OnClearList(wxCommandEvent& event);
    void OnUpdateClearList(wxUpdateUIEvent& event);
    void OnToggleLargeIcons(wxCommandEvent& event);
    void OnUpdateLargeIcons(wxUpdateUIEvent& event);
    void OnListInformation(wxCommandEvent& event);

    // MakeExeProgressView.
    bool WindowExists() const override;
    bool CreateWindow() override;
    void ShowWindow(bool show) override;
    void SetProgress(int position) override;
    void SetStatusText(const wchar_t* text) override;
    void ShowResult(const wchar_t* text) override;

    PlayerContext& context_;
    ribbon::Ribbon ribbon_;
    ribbon::RibbonWindow* m_wndRibbonBar = nullptr;
    wxBitmap m_PanelImages16;
    RibbonStatusBar* m_wndStatusBar = nullptr;
    wxBitmap m_PanelImages32;
    wxBitmap m_TabImages16;
    CMakeExeStatu* m_pMakeExeStatu = nullptr;
    ribbon::Handles handles_;
    bool m_bMuted = false;

    int m_nAppLook;
    looks::Scheme m_scheme = looks::Scheme::Blue;
    MakeExeProgress progress_{*this};
    std::unique_ptr<ListCommands> lists_;
    std::unique_ptr<NotifyWindow> notify_;
    wxLongLong lastStatusUpdate_ = 0;

    wxDECLARE_EVENT_TABLE();
};
