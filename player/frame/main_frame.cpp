#include "main_frame.h"

#include <wx/busyinfo.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/time.h>
#include <wx/utils.h>

#include "common/player_context.h"
#include "host/prompts.h"
#include "image_strips.h"
#include "make_exe_statu.h"
#include "resource_ids.h"
#include "ribbon_status_bar.h"
#include "ribbon_window.h"
#include "tovi.h"

namespace {

std::function<void(int&)>& VolumeReader() {
    static std::function<void(int&)> reader;
    return reader;
}

constexpr int kStatusIntervalMs = 100;

}  // namespace

// Receives the standalone builder's messages on the user-interface thread.
class CMainFrame::NotifyWindow : public platform::MessageWindow {
  public:
    explicit NotifyWindow(CMainFrame& frame) : frame_(frame) {}
    platform::LRESULT HandleMessage(platform::UINT message, platform::WPARAM wParam,
                                    platform::LPARAM lParam) override {
        return message == WM_MAKEEXE_NOTIFY ? frame_.OnMakeExeNotify(wParam, lParam) : 0;
    }

  private:
    CMainFrame& frame_;
};

// clang-format off
wxBEGIN_EVENT_TABLE(CMainFrame, wxDocParentFrame)
    EVT_MENU_RANGE(ID_STYLE_FIRST, ID_STYLE_LAST, CMainFrame::OnApplicationLook)
    EVT_UPDATE_UI_RANGE(ID_STYLE_FIRST, ID_STYLE_LAST, CMainFrame::OnUpdateApplicationLook)
    EVT_MENU(ID_VIEW_STATUS_BAR, CMainFrame::OnViewStatusBar)
    EVT_UPDATE_UI(ID_VIEW_STATUS_BAR, CMainFrame::OnUpdateViewStatusBar)
    EVT_UPDATE_UI(ID_STATUSBAR_PANE1, CMainFrame::OnUpdateStatusPane)
    EVT_IDLE(CMainFrame::OnIdle)
    EVT_CHAR_HOOK(CMainFrame::OnCharHook)
    EVT_MENU_RANGE(ID_HISTORY_EXTMENU_ITEM, ID_PLAYLIST_EXTMENU, CMainFrame::OnToggleExtendedMenu)
    EVT_UPDATE_UI_RANGE(ID_HISTORY_EXTMENU, ID_PLAYLIST_EXTMENU, CMainFrame::OnUpdateExtendedMenu)
    EVT_MENU_RANGE(ID_PLAYMODE_FIRST, ID_PLAYMODE_LAST, CMainFrame::OnPlayMode)
    EVT_UPDATE_UI_RANGE(ID_PLAYMODE_FIRST, ID_PLAYMODE_LAST, CMainFrame::OnUpdatePlayMode)
    EVT_MENU_RANGE(ID_HISTORY_CAPACITY, ID_PLAYLIST_CAPACITY, CMainFrame::OnCapacityMoved)
    EVT_MENU_RANGE(ID_CLEAR_HISTORY, ID_CLEAR_PLAYLIST, CMainFrame::OnClearList)
    EVT_UPDATE_UI_RANGE(ID_CLEAR_HISTORY, ID_CLEAR_PLAYLIST, CMainFrame::OnUpdateClearList)
    EVT_MENU_RANGE(ID_HISTORY_LARGE_ICONS, ID_PLAYLIST_LARGE_ICONS, CMainFrame::OnToggleLargeIcons)
    EVT_UPDATE_UI_RANGE(ID_HISTORY_LARGE_ICONS, ID_PLAYLIST_LARGE_ICONS,
                        CMainFrame::OnUpdateLargeIcons)
    EVT_MENU_RANGE(ID_HISTORY_INFO, ID_PLAYLIST_INFO, CMainFrame::OnListInformation)
wxEND_EVENT_TABLE()
    // clang-format on

    CMainFrame::CMainFrame(PlayerContext& context)
    : context_(context), m_nAppLook(looks::ReadApplicationLook()) {}

CMainFrame::~CMainFrame() {
    if (m_wndRibbonBar) {
        m_wndRibbonBar->model().SetListener(nullptr);
    }
    // A progress window that was never created is no child of ours yet.
    if (m_pMakeExeStatu && !m_pMakeExeStatu->WindowCreated()) {
        delete m_pMakeExeStatu;
    }
}

void CMainFrame::SetSystemVolumeReader(std::function<void(int&)> reader) {
    VolumeReader() = std::move(reader);
}

bool CMainFrame::Create(wxDocManager* manager, const wxString& title, const wxPoint& pos,
                        const wxSize& size) {
    if (!wxDocParentFrame::Create(manager, nullptr, wxID_ANY, title, pos, size)) {
        return false;
    }
    // Menu help would overwrite pane 120.
    SetStatusBarPane(-1);

    // The ribbon window exists before the style is applied, so the style reaches it.
    m_wndRibbonBar = new ribbon::RibbonWindow(this, ribbon_, this, context_.images);
    ApplyVisualStyle(m_nAppLook);

    // The ribbon: the frame's strips, then the layout.
    m_PanelImages16 = context_.images.Strip(IDB_NOW_PLAYING_16);
    m_PanelImages32 = context_.images.Strip(IDB_RIBBON_32);
    m_TabImages16 = context_.images.Strip(IDB_RIBBON_16);
    ribbon::LayoutInputs inputs;
    inputs.readVolume = VolumeReader();
    ribbon::BuildLayout(ribbon_, handles_, inputs);
    m_wndRibbonBar->Realize();
    m_wndRibbonBar->Bind(wxEVT_SHOW, [this](wxShowEvent& event) {
        event.Skip();
        CallAfter([this] { Layout(); });
    });

    m_wndStatusBar = new RibbonStatusBar(this);
    SetStatusBar(m_wndStatusBar);
    m_wndStatusBar->AddPane(ID_STATUSBAR_PANE1, L"准备就绪", false);
    m_wndStatusBar->AddPane(ID_STATUSBAR_PANE2, L"Tovi软件", true);
    m_wndStatusBar->SetTheme(looks::ThemeFor(m_nAppLook, m_scheme));
    m_wndStatusBar->Show();

    m_pMakeExeStatu = new CMakeExeStatu();
    notify_ = std::make_unique<NotifyWindow>(*this);
    lists_ = std::make_unique<ListCommands>(ribbon_, handles_, context_.settings, context_.lists,
                                            context_.prompts);

    Layout();
    return true;
}

bool CMainFrame::Layout() {
    wxSize client = GetClientSize();
    int top = 0;
    if (m_wndRibbonBar && m_wndRibbonBar->IsShown()) {
        top = m_wndRibbonBar->GetBestSize().y;
        m_wndRibbonBar->SetSize(0, 0, client.x, top);
    }
    // Everything else (the view) takes the rest.
    for (wxWindow* child : GetChildren()) {
        if (child == m_wndRibbonBar || child == GetStatusBar() || child->IsTopLevel() ||
            !child->IsShown()) {
            continue;
        }
        child->SetSize(0, top, client.x, std::max(0, client.y - top));
    }
    return true;
}

void CMainFrame::ShowRibbonBar(bool show) {
    if (m_wndRibbonBar) {
        m_wndRibbonBar->Show(show);
        Layout();
    }
}

bool CMainFrame::IsRibbonBarVisible() const {
    return m_wndRibbonBar && m_wndRibbonBar->IsShown();
}

void CMainFrame::ShowStatusBar(bool show) {
    if (m_wndStatusBar) {
        m_wndStatusBar->Show(show);
        SendSizeEvent();
        Layout();
    }
}

int CMainFrame::GetVolumePosition() const {
    const ribbon::Element* slider = ribbon_.FindById(ID_VOLUME);
    return slider ? slider->pos() : 0;
}

void CMainFrame::ApplyVisualStyle(int id) {
    wxBusyCursor wait;
    m_nAppLook = id;
    if (const looks::VisualStyle* style = looks::FindStyle(id); style && style->setsScheme) {
        m_scheme = style->scheme;
    }
    looks::Theme theme = looks::ThemeFor(id, m_scheme);
    if (m_wndRibbonBar) {
        m_wndRibbonBar->ApplyTheme(theme);
    }
    if (m_wndStatusBar) {
        m_wndStatusBar->SetTheme(theme);
    }
    Layout();
    Refresh(true);
    Update();
    looks::WriteApplicationLook(id);
}

void CMainFrame::OnApplicationLook(wxCommandEvent& event) {
    ApplyVisualStyle(event.GetId());
}

void CMainFrame::OnUpdateApplicationLook(wxUpdateUIEvent& event) {
    event.Check(event.GetId() == m_nAppLook);
}

void CMainFrame::OnViewStatusBar(wxCommandEvent&) {
    ShowStatusBar(!(m_wndStatusBar && m_wndStatusBar->IsShown()));
}

void CMainFrame::OnUpdateViewStatusBar(wxUpdateUIEvent& event) {
    event.Check(m_wndStatusBar && m_wndStatusBar->IsShown());
}

void CMainFrame::UpdateStatusPane() {
    lastStatusUpdate_ = wxGetLocalTimeMillis();
    wxDocManager* manager = GetDocumentManager();
    auto* view = manager ? dynamic_cast<PlayingStateSource*>(manager->GetCurrentView()) : nullptr;
    if (m_wndStatusBar == nullptr || m_wndStatusBar->FindPane(ID_STATUSBAR_PANE1) < 0 ||
        view == nullptr) {
        return;
    }
    const wchar_t* text = L"准备就绪";
    if (view->IsMovieLoaded()) {
        try {
            text = view->IsControlPlaying() ? L"正在播放" : L"暂停播放";
        } catch (...) {
            return;
        }
    }
    m_wndStatusBar->SetPaneText(ID_STATUSBAR_PANE1, text);
}

void CMainFrame::OnUpdateStatusPane(wxUpdateUIEvent&) {
    UpdateStatusPane();
}

void CMainFrame::OnIdle(wxIdleEvent& event) {
    event.Skip();
    if (wxGetLocalTimeMillis() - lastStatusUpdate_ >= kStatusIntervalMs) {
        UpdateStatusPane();
    }
}

// The key tips of the application button ("\nf") and of the about button ("\na"): Alt with
// the key opens the menu or runs the command.
void CMainFrame::OnCharHook(wxKeyEvent& event) {
    if (event.GetModifiers() == wxMOD_ALT && m_wndRibbonBar && m_wndRibbonBar->IsShown()) {
        int key = wxToupper(event.GetKeyCode());
        const std::wstring& text = ribbon_.applicationButton().text;
        std::wstring appTip = text.substr(std::min(text.size(), text.find(L'\n') + 1));
        if (appTip.size() == 1 && key == wxToupper(appTip[0])) {
            m_wndRibbonBar->ShowApplicationMenu();
            return;
        }
        for (const auto& e : ribbon_.tabElements()) {
            std::wstring tip = e->KeyTip();
            if (tip.size() == 1 && key == wxToupper(tip[0])) {
                m_wndRibbonBar->PostCommand(e->id());
                return;
            }
        }
    }
    event.Skip();
}

platform::LRESULT CMainFrame::OnMakeExeNotify(platform::WPARAM code, platform::LPARAM arg) {
    return progress_.Handle(code, arg);
}

bool CMainFrame::WindowExists() const {
    return m_pMakeExeStatu && m_pMakeExeStatu->WindowCreated();
}

bool CMainFrame::CreateWindow() {
    return m_pMakeExeStatu && m_pMakeExeStatu->Create(this);
}

void CMainFrame::ShowWindow(bool show) {
    m_pMakeExeStatu->Show(show);
}

void CMainFrame::SetProgress(int position) {
    m_pMakeExeStatu->progressBar()->SetValue(position);
}

void CMainFrame::SetStatusText(const wchar_t* text) {
    m_pMakeExeStatu->statusText()->SetLabel(text);
}

void CMainFrame::ShowResult(const wchar_t* text) {
    context_.prompts.Tell(text);
}

platform::MessageWindow* CMainFrame::GetNotifyWindow() {
    return notify_.get();
}

void CMainFrame::RebuildHistoryMenu() {
    lists_->RebuildHistoryMenu();
}

void CMainFrame::RebuildRelatedMenu() {
    lists_->RebuildRelatedMenu();
}

void CMainFrame::RebuildPlaylistMenu() {
    lists_->RebuildPlaylistMenu();
}

void CMainFrame::ShowPlaylistCapacity(int capacity, const wxString& label) {
    lists_->ShowPlaylistCapacity(capacity, label);
}

void CMainFrame::RefreshCapacityControls() {
    lists_->RefreshCapacityControls();
}

void CMainFrame::OnToggleExtendedMenu(wxCommandEvent& event) {
    lists_->ToggleExtendedMenu(event.GetId());
}

void CMainFrame::OnUpdateExtendedMenu(wxUpdateUIEvent& event) {
    event.Check(lists_->ExtendedMenuChecked(event.GetId()));
}

void CMainFrame::OnPlayMode(wxCommandEvent& event) {
    lists_->SetPlayMode(event.GetId());
}

void CMainFrame::OnUpdatePlayMode(wxUpdateUIEvent& event) {
    event.Check(lists_->PlayModeChecked(event.GetId()));
}

void CMainFrame::OnCapacityMoved(wxCommandEvent& event) {
    lists_->CapacityMoved(event.GetId());
}

void CMainFrame::OnClearList(wxCommandEvent& event) {
    lists_->Clear(event.GetId());
}

void CMainFrame::OnUpdateClearList(wxUpdateUIEvent& event) {
    lists_->UpdateClearImage(event.GetId());
}

void CMainFrame::OnToggleLargeIcons(wxCommandEvent& event) {
    lists_->ToggleLargeIcons(event.GetId());
}

void CMainFrame::OnUpdateLargeIcons(wxUpdateUIEvent& event) {
    event.Check(lists_->LargeIconsChecked(event.GetId()));
}

void CMainFrame::OnListInformation(wxCommandEvent& event) {
    lists_->ShowInformation(event.GetId());
}
