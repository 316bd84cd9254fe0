#include "playback/toviflash_view.h"

#include <wx/accel.h>
#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/utils.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "common/player_context.h"
#include "common/player_settings.h"
#include "flash/control/shockwave_flash.h"
#include "get_sous.h"
#include "host/prompts.h"
#include "lists/media_lists.h"
#include "menus.h"
#include "playback/context_menu.h"
#include "playback/frame_link.h"
#include "playback/navigation.h"
#include "playback/system_volume.h"
#include "playback/toviflash_doc.h"
#include "res/resource_ids.h"
#include "tovi.h"
#include "ui/UI.h"
#include "ui/full_screen_environment.h"

// The window of the view: the Flash control covers it. The right-button filter withholds the
// right button's press from the control; its release, posted here, opens the context menu,
// and a left press posted here may drag the main window.
class PlayArea : public wxWindow {
  public:
    PlayArea(CToviFlashView* view, wxWindow* parent) : wxWindow(parent, wxID_ANY), view_(view) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_SIZE, &PlayArea::OnSize, this);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) { wxPaintDC dc(this); });
        Bind(wxEVT_MOTION, &PlayArea::OnDragMotion, this);
        Bind(wxEVT_LEFT_UP, &PlayArea::OnDragEnd, this);
        Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) { dragging_ = false; });
    }

    void Host(wxWindow* control) {
        control_ = control;
        // The filter withholds right presses from the control and posts its left presses and
        // right releases here as well, in the control's client coordinates.
        FiterRbutton(this, control);
        Bind(wxEVT_LEFT_DOWN, &PlayArea::OnControlLeftDown, this);
        Bind(wxEVT_RIGHT_UP, &PlayArea::OnControlRightUp, this);
        FitControl();
    }

    void ShowContextMenu(const wxPoint& at) {
        ContextMenu menu([this](int command) {
            return ViewCommandState(command, view_->CurrentFacts(), view_->Context().settings)
                .checked.has_value();
        });
        menu.PopupAndRun(this, at, wxGetTopLevelParent(this));
    }

  private:
    void FitControl() {
        if (control_) {
            const wxSize size = GetClientSize();
            control_->SetSize(0, 0, size.x, size.y);
        }
    }

    void OnSize(wxSizeEvent& event) {
        FitControl();
        event.Skip();
    }

    bool DragMovesWindow() const {
        const int mode = view_->Context().settings.OtherSeting;
        FrameLink* frame = view_->Context().frame;
        return mode == kDragAlways ||
               (mode == kDragWithoutRibbon && frame && !frame->IsRibbonVisible());
    }

    void OnControlLeftDown(wxMouseEvent& event) {
        FrameLink* frame = view_->Context().frame;
        // The press arrives posted: the button may be up again by now.
        if (!DragMovesWindow() || !frame || HasCapture() || !wxGetMouseState().LeftIsDown()) {
            event.Skip();
            return;
        }
        // The window follows the mouse from here until the button is let go.
        dragging_ = true;
        dragStart_ = wxGetMousePosition();
        frameStart_ = frame->Window()->GetPosition();
        CaptureMouse();
    }

    void OnDragMotion(wxMouseEvent& event) {
        FrameLink* frame = view_->Context().frame;
        if (dragging_ && frame && event.LeftIsDown()) {
            frame->Window()->Move(frameStart_ + (wxGetMousePosition() - dragStart_));
        }
        event.Skip();
    }

    void OnDragEnd(wxMouseEvent& event) {
        if (dragging_) {
            dragging_ = false;
            if (HasCapture()) {
                ReleaseMouse();
            }
        }
        event.Skip();
    }

    void OnControlRightUp(wxMouseEvent& event) {
        ShowContextMenu(ScreenToClient(control_->ClientToScreen(event.GetPosition())));
        event.Skip();
    }

    CToviFlashView* view_;
    wxWindow* control_ = nullptr;
    bool dragging_ = false;
    wxPoint dragStart_;
    wxPoint frameStart_;
};

wxIMPLEMENT_CLASS(CToviFlashView, wxView);

wxBEGIN_EVENT_TABLE(CToviFlashView, wxView) EVT_MENU_RANGE(ID_VOLUME, ID_PROGRESS,
                                                           CToviFlashView::OnPlaybackCommand)
    EVT_UPDATE_UI_RANGE(ID_VOLUME, ID_PROGRESS, CToviFlashView::OnUpdatePlaybackCommand)
        EVT_MENU(ID_FLASH_MENU, CToviFlashView::OnFlashMenu)
            EVT_MENU_RANGE(ID_SCALE_FIRST, ID_SCALE_LAST, CToviFlashView::OnScaleMode)
                EVT_UPDATE_UI_RANGE(ID_SCALE_FIRST, ID_SCALE_LAST,
                                    CToviFlashView::OnUpdateViewCommand)
                    EVT_MENU(ID_RIBBON_DISABLE, CToviFlashView::OnRibbon)
                        EVT_MENU(ID_RIBBON_TOGGLE, CToviFlashView::OnRibbon)
                            EVT_UPDATE_UI(ID_RIBBON_TOGGLE, CToviFlashView::OnUpdateViewCommand)
                                EVT_MENU_RANGE(ID_QUALITY_HIGH, ID_QUALITY_LOW,
                                               CToviFlashView::OnQuality)
                                    EVT_UPDATE_UI_RANGE(ID_QUALITY_HIGH, ID_QUALITY_LOW,
                                                        CToviFlashView::OnUpdateViewCommand)
                                        EVT_MENU(ID_REFRESH_LIST, CToviFlashView::OnRefreshList)
                                            EVT_MENU(ID_APP_EXIT, CToviFlashView::OnExit)
                                                EVT_TIMER(ID_END_TIMER, CToviFlashView::OnEndTimer)
                                                    wxEND_EVENT_TABLE()

                                                        namespace {
    wxAcceleratorTable AcceleratorTable128() {
        std::vector<wxAcceleratorEntry> entries;
        for (const res::Accelerator& a : res::MainAccelerators()) {
            int flags = (a.ctrl ? wxACCEL_CTRL : 0) | (a.alt ? wxACCEL_ALT : 0);
            int key = a.key == res::kVkReturn  ? WXK_RETURN
                      : a.key == res::kVkLeft  ? WXK_LEFT
                      : a.key == res::kVkRight ? WXK_RIGHT
                                               : a.key;
            entries.emplace_back(flags, key, a.command);
        }
        return wxAcceleratorTable(static_cast<int>(entries.size()), entries.data());
    }

}  // namespace

CToviFlashView::CToviFlashView(PlayerContext& context) : context_(context) {
    endTimer_.SetOwner(this, ID_END_TIMER);
    Bind(wxEVT_MENU, &CToviFlashView::OnSourceTerms, this, ID_SOURCE_TERMS);
}

CToviFlashView::~CToviFlashView() {
    endTimer_.Stop();
}

CToviFlashDoc* CToviFlashView::GetDocument() const {
    return wxStaticCast(wxView::GetDocument(), CToviFlashDoc);
}

wxWindow* CToviFlashView::GetPlayArea() const {
    return area_;
}

host::PlayerControl* CToviFlashView::Control() const {
    return flash_.get();
}

bool CToviFlashView::OnCreate(wxDocument* doc, long flags) {
    if (!wxView::OnCreate(doc, flags)) {
        return false;
    }
    FrameLink* frame = context_.frame;
    if (!frame) {
        return false;
    }
    SetFrame(frame->Window());
    area_ = new PlayArea(this, frame->Window());
    flash_ = MakeFlashWindow(area_);
    if (!flash_) {
        area_->Destroy();
        area_ = nullptr;
        return false;
    }
    area_->Host(flash_->Window());
    frame->Window()->SetAcceleratorTable(AcceleratorTable128());
    playback_ = std::make_unique<Playback>(*flash_, context_.settings);
    playback_->SetDataMovies(GetSetingFilePathName(L"Tools\\start.swf"),
                             GetSetingFilePathName(L"Tools\\FLVPlayer.swf"));
    try {
        flash_->StopPlay();
    } catch (const std::exception&) {
    }
    if (std::getenv("TOVI_REPORT_FIRST_PAINT")) {
        // For the start-up benchmark: one line once the control has painted for the first time.
        flash_->Window()->Bind(wxEVT_PAINT, [](wxPaintEvent& event) {
            event.Skip();
            static bool reported = false;
            if (!reported) {
                reported = true;
                wxTheApp->CallAfter([] {
                    std::fputs("ToviFlash: first frame painted\n", stderr);
                    std::fflush(stderr);
                });
            }
        });
    }
    frame->Window()->Layout();
    Activate(true);
    endTimer_.Start(kIdleCheckMs);
    return true;
}

bool CToviFlashView::OnClose(bool deleteWindow) {
    if (!wxView::OnClose(deleteWindow)) {
        return false;
    }
    endTimer_.Stop();
    Activate(false);
    playback_.reset();
    flash_.reset();
    if (deleteWindow && area_) {
        area_->Destroy();
        area_ = nullptr;
    }
    return true;
}

void CToviFlashView::OnChangeFilename() {
    if (wxWindow* frame = GetFrame()) {
        const wxString path = GetDocument()->GetPathName();
        const wxString title = wxS("ToviFlash播放器");
        frame->SetLabel(path.empty() ? title : GetNameFromPath(path.wc_str()) + wxS(" - ") + title);
    }
}

void CToviFlashView::OnUpdate(wxView*, wxObject*) {
    if (!playback_) {
        return;
    }
    CToviFlashDoc* doc = GetDocument();
    const wxString path = doc->GetPathName();
    FrameLink* frame = context_.frame;
    endCheckHeld_ = false;
    Playback::LoadResult result = playback_->Load(path, [&](long frames) {
        if (frame) {
            frame->SetProgressRange(static_cast<int>(frames));
        }
        MediaLists& lists = context_.lists;
        lists.AddToHistory(path);
        lists.ScanRelated(GetLastDirectoryFromPath(path.wc_str()),
                          GetLastDirectoryFromPath(doc->GetPreviousPath().wc_str()));
        RebuildPrevNextMenus();
    });
    if (!result.ok && !result.error.empty()) {
        context_.prompts.Tell(result.error, host::PromptIcon::Error);
    } else if (result.ok && result.actionScript3) {
        context_.prompts.Tell(kActionScript3Notice);
    }
    PaceEndCheck();
}

void CToviFlashView::PaceEndCheck() {
    int interval = kIdleCheckMs;
    try {
        if (playback_ && playback_->IsLoaded() && !playback_->IsFlv() && flash_->IsPlaying()) {
            interval = EndCheckIntervalMs(flash_->FrameRate());
        }
    } catch (const std::exception&) {
    }
    if (!endTimer_.IsRunning() || endTimer_.GetInterval() != interval) {
        endTimer_.Start(interval);
    }
}

bool CToviFlashView::IsControlPlaying() {
    return flash_ && flash_->IsPlaying();
}

template <typename Fn>
void CToviFlashView::Guarded(Fn&& fn) {
    try {
        fn();
    } catch (const std::exception& e) {
        context_.prompts.Tell(wxString::FromUTF8(e.what()), host::PromptIcon::Error);
    }
}

void CToviFlashView::RunKeyword(const wxString& keyword) {
    if (playback_) {
        playback_->RunKeyword(keyword, [this](bool forward) { Navigate(forward); });
    }
}

void CToviFlashView::Navigate(bool forward) {
    const PlayerSettings& settings = context_.settings;
    MediaLists& lists = context_.lists;
    const MediaList& source = settings.isPlayingList ? lists.playlist : lists.related;
    CToviFlashDoc* doc = GetDocument();
    NavigationStep step = ::Navigate(source, doc->GetPathName(), forward, settings.PlayMode);
    if (step.kind == NavigationStep::Stop) {
        playback_->RunKeyword(wxS("stop"), {});
    } else if (step.kind == NavigationStep::Open && step.path.length() > 4) {
        if (!doc->Open(step.path) && inEndCheck_) {
            // The movie stays where it ended; going on is not tried again and again.
            endCheckHeld_ = true;
        }
    }
}

void CToviFlashView::CheckEndOfMovie() {
    if (!playback_ || !playback_->IsLoaded() || playback_->IsFlv() || inEndCheck_ ||
        endCheckHeld_) {
        return;
    }
    inEndCheck_ = true;
    try {
        host::PlayerControl& control = *flash_;
        const long f = control.FrameNum();
        const long n = control.TotalFrames();
        const PlayerSettings& s = context_.settings;
        if (std::optional<wxString> keyword = EndOfMovieKeyword(f, n, s.EndMargin, s.PlayMode)) {
            RunKeyword(*keyword);
        }
    } catch (const std::exception&) {
        // A control that fails here would fail at every tick: wait for the next load.
        endCheckHeld_ = true;
    }
    inEndCheck_ = false;
}

void CToviFlashView::OnEndTimer(wxTimerEvent&) {
    CheckEndOfMovie();
    PaceEndCheck();
}

void CToviFlashView::RebuildPrevNextMenus() {
    FrameLink* frame = context_.frame;
    if (!frame) {
        return;
    }
    const PlayerSettings& settings = context_.settings;
    MediaLists& lists = context_.lists;
    PrevNextMenus menus =
        BuildPrevNextMenus(settings.isPlayingList ? lists.playlist : lists.related,
                           GetDocument()->GetPathName(), settings.isPlayingList);
    frame->SetPrevNextMenus(menus);
}

ViewFacts CToviFlashView::CurrentFacts() {
    ViewFacts f;
    CToviFlashDoc* doc = GetDocument();
    FrameLink* frame = context_.frame;
    f.loaded = IsMovieLoaded();
    f.flv = playback_ && playback_->IsFlv();
    f.making = g_blIsMaking != 0;
    f.muted = frame && frame->IsMuted();
    f.ribbonVisible = frame && frame->IsRibbonVisible();
    f.swfWidth = doc->GetSwfInfo().nWidth;
    f.swfHeight = doc->GetSwfInfo().nHeight;
    f.documentPathLength = doc->GetPathName().length();
    f.relatedCount = context_.lists.related.GetCount();
    f.totalFrames = [this]() -> long {
        try {
            return flash_ ? flash_->TotalFrames() : 0;
        } catch (const std::exception&) {
            return 0;
        }
    };
    f.quality = context_.settings.PlayHuazhi;
    return f;
}

bool CToviFlashView::IsEnabled(int id) {
    return ViewCommandState(id, CurrentFacts(), context_.settings).enabled;
}

void CToviFlashView::OnPlaybackCommand(wxCommandEvent& event) {
    // Keys reach here as well as the ribbon and the menus: a command its rule disables
    // does not run, whatever route it came by.
    if (!playback_ || !IsEnabled(event.GetId())) {
        return;
    }
    PlayerSettings& settings = context_.settings;
    FrameLink* frame = context_.frame;
    CToviFlashDoc* doc = GetDocument();
    switch (event.GetId()) {
        case ID_VOLUME:
            if (frame) {
                SetSystemVolume(static_cast<unsigned>(frame->VolumePosition()));
                frame->SetMuted(false);
            }
            break;
        case ID_MUTE:
            if (frame) {
                const int volume = frame->IsMuted() ? frame->VolumePosition() : 0;
                frame->SetMuted(!frame->IsMuted());
                SetSystemVolume(static_cast<unsigned>(volume));
            }
            break;
        case ID_PLAY:
            endCheckHeld_ = false;
            Guarded([this] { playback_->PlayPause(); });
            PaceEndCheck();
            break;
        case ID_STOP:
            Guarded([this] { playback_->StopMovie(); });
            break;
        case ID_PREVIOUS:
            Guarded([this] { RunKeyword(wxS("last")); });
            break;
        case ID_NEXT:
            Guarded([this] { RunKeyword(wxS("next")); });
            break;
        case ID_BEST_SIZE:
            BestSize();
            break;
        case ID_ADD_TO_PLAYLIST:
            context_.lists.AddToPlaylist(doc->GetPathName());
            break;
        case ID_ADD_ALL_TO_PLAYLIST:
            context_.lists.AddAllRelatedToPlaylist(context_.prompts);
            break;
        case ID_ADD_TO_TAIL:
            settings.isAddHead = false;
            break;
        case ID_ADD_TO_HEAD:
            settings.isAddHead = true;
            break;
        case ID_LIST_SOURCE:
            settings.isPlayingList = !settings.isPlayingList;
            RebuildPrevNextMenus();
            break;
        case ID_MAKE_EXE:
            doc->MakePlayer(frame ? frame->NotifyWindow() : nullptr);
            break;
        case ID_SAVE_AS:
            SaveCopy();
            break;
        case ID_DRAG_NEVER:
        case ID_DRAG_ALWAYS:
        case ID_DRAG_AUTO:
            settings.OtherSeting = event.GetId() - ID_DRAG_NEVER;
            break;
        case ID_PROGRESS:
            if (frame) {
                const long frameNumber = frame->Progress();
                endCheckHeld_ = false;
                Guarded([&] { playback_->Seek(frameNumber); });
                PaceEndCheck();
            }
            break;
        case ID_FULL_SCREEN:
            FullScreen();
            break;
        default:
            event.Skip();
            break;
    }
}

void CToviFlashView::OnUpdatePlaybackCommand(wxUpdateUIEvent& event) {
    if (!playback_) {
        return;
    }
    CommandState state = ViewCommandState(event.GetId(), CurrentFacts(), context_.settings);
    event.Enable(state.enabled);
    if (state.checked) {
        event.Check(*state.checked);
    }
    if (event.GetId() == ID_PLAY) {
        UpdatePlayButton();
    } else if (event.GetId() == ID_PROGRESS && state.enabled) {
        UpdateProgress(event);
    }
}

void CToviFlashView::OnUpdateViewCommand(wxUpdateUIEvent& event) {
    if (!playback_) {
        return;
    }
    if (event.GetId() >= ID_QUALITY_HIGH && event.GetId() <= ID_QUALITY_LOW) {
        try {
            playback_->SyncQuality();
        } catch (const std::exception&) {
        }
    }
    CommandState state = ViewCommandState(event.GetId(), CurrentFacts(), context_.settings);
    event.Enable(state.enabled);
    if (state.checked) {
        event.Check(*state.checked);
    }
}

void CToviFlashView::UpdatePlayButton() {
    FrameLink* frame = context_.frame;
    if (!frame) {
        return;
    }
    bool playing = false;
    try {
        playing = IsMovieLoaded() && playback_->IsPlaying();
    } catch (const std::exception&) {
        return;
    }
    frame->SetPlayButton(PlayButtonFor(playing));
}

void CToviFlashView::UpdateProgress(wxUpdateUIEvent&) {
    FrameLink* frame = context_.frame;
    if (!frame || frame->IsProgressHeld()) {
        return;
    }
    try {
        frame->SetProgress(static_cast<int>(flash_->CurrentFrame()));
    } catch (const std::exception&) {
    }
}

void CToviFlashView::OnFlashMenu(wxCommandEvent&) {
    PopUpFlashMenu();
}

void CToviFlashView::OnScaleMode(wxCommandEvent& event) {
    if (!playback_ || !IsEnabled(event.GetId())) {
        return;
    }
    Guarded([&] { playback_->SetScaleMode(event.GetId() - ID_SCALE_FIRST); });
}

void CToviFlashView::OnQuality(wxCommandEvent& event) {
    if (!playback_ || !IsEnabled(event.GetId())) {
        return;
    }
    const wxString word = event.GetId() == ID_QUALITY_HIGH     ? wxS("high")
                          : event.GetId() == ID_QUALITY_MEDIUM ? wxS("medium")
                                                               : wxS("low");
    Guarded([&] { playback_->SetQuality(word); });
}

void CToviFlashView::OnRibbon(wxCommandEvent&) {
    if (FrameLink* frame = context_.frame) {
        frame->ShowRibbon(!frame->IsRibbonVisible());
        frame->Window()->Refresh();
    }
}

void CToviFlashView::OnRefreshList(wxCommandEvent&) {
    RebuildPrevNextMenus();
}

void CToviFlashView::OnExit(wxCommandEvent&) {
    if (FrameLink* frame = context_.frame) {
        frame->Window()->Close();
    }
}

void CToviFlashView::BestSize() {
    FrameLink* frame = context_.frame;
    if (!frame || !IsMovieLoaded()) {
        return;
    }
    try {
        const wxSize movie = playback_->MovieSize(GetDocument()->GetSwfInfo());
        wxFrame* window = frame->Window();
        window->SetSize(BestWindowSize(window->GetSize(), flash_->Window()->GetSize(), movie));
    } catch (const std::exception&) {
    }
}

// Plays the movie full screen from where it is, then goes on from where full screen ended.
void CToviFlashView::FullScreen() {
    if (!IsEnabled(ID_FULL_SCREEN)) {
        return;
    }
    host::PlayerControl& control = *flash_;
    stu_FullScreenParam param;
    try {
        param.nFrame = static_cast<std::int32_t>(control.FrameNum());
        param.bPlaying = control.IsPlaying() ? 1 : 0;
    } catch (const std::exception&) {
        return;
    }
    FrameLink* frame = context_.frame;
    wxWindow* main = frame ? frame->Window() : wxGetTopLevelParent(area_);
    const bool shown = main->IsShown();
    main->Hide();
    param.pParentWnd = area_;
    param.pFlash = new CShockwaveFlash;
    param.strMoviePath = GetDocument()->GetPathName();
    ui::FullScreenEnvironment environment = ui::GetFullScreenEnvironment();
    const ui::FullScreenEnvironment previous = environment;
    environment.showMessage = [this](const wxString& text) { context_.prompts.Tell(text); };
    ui::SetFullScreenEnvironment(environment);
    // The view's movie waits, and its end is not looked for, while full screen plays.
    endTimer_.Stop();
    try {
        control.Stop();
    } catch (const std::exception&) {
    }
    {
        CFullScreen window(&param);
        window.ShowModal();
    }
    ui::SetFullScreenEnvironment(previous);
    delete param.pFlash;
    if (shown) {
        main->Show();
    }
    // Laid out again at its own size.
    const wxSize size = main->GetSize();
    main->SetSize(size - wxSize(1, 1));
    main->SetSize(size);
    try {
        control.GotoFrame(param.nFrame);
        if (param.bPlaying != 0) {
            control.Play();
        }
    } catch (const std::exception&) {
    }
    PaceEndCheck();
}

void CToviFlashView::OnSourceTerms(wxCommandEvent&) {
    ShowSourceTerms(area_, context_.prompts);
}

void CToviFlashView::SaveCopy() {
    CToviFlashDoc* doc = GetDocument();
    host::FileRequest request;
    request.save = true;
    request.overwritePrompt = true;
    request.defaultExtension = wxS("swf");
    request.defaultName = GetNameFromPath(doc->GetPathName().wc_str());
    request.filter = wxS("Flash文件(*.swf)|*.swf|所有文件(*.*)|*.*||");
    request.folder = doc->DialogFolder();
    if (std::optional<wxString> target = context_.prompts.AskFile(request)) {
        doc->RememberFolder(*target);
        doc->SaveCopy(*target);
    }
}
