#include "player_dlg.h"

#include <wx/app.h>
#include <wx/settings.h>
#include <wx/slider.h>
#include <wx/toolbar.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "about_dlg.h"
#include "cache_cleaner.h"
#include "cache_folder.h"
#include "extract.h"
#include "extract_progress_dlg.h"
#include "extract_thread.h"
#include "full_player.h"
#include "names.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "player_ids.h"
#include "player_images.h"
#include "player_menu.h"
#include "titles.h"
#include "web_pages.h"
#include "window_geometry.h"

namespace {

namespace fs = std::filesystem;

const wxSize kTemplateSize(393, 229);  // dialog units
constexpr int kFramePollMs = 2000;
constexpr int kProbeMs = 250;
const char kFilter[] = "Flash动画文件(*.swf)|*.swf|所有文件(*.*)|*.*||";
// Told once for each loaded movie written for ActionScript 3.
const char kActionScript3Notice[] =
    "此动画使用 ActionScript 3.0 编写, 播放器暂时还不支持其中的脚本, "
    "动画中的交互和程序效果不会运行, 时间轴仍会照常播放。";

wxString W(const std::string& utf8) {
    return wxString::FromUTF8(utf8);
}

// The process's file-creation mask, read without changing it (the extraction thread may be
// creating files meanwhile).
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
        }
    }
    return 022;
}

// A saved copy is the user's file: it gets the mode of a file the user creates, not the
// private one of the cache file it was copied from.
void GiveNewFileMode(const fs::path& file) {
    std::error_code ec;
    fs::permissions(file, static_cast<fs::perms>(0666 & ~CurrentUmask()), fs::perm_options::replace,
                    ec);
}

}  // namespace

CPlayerDlg::CPlayerDlg(host::PromptService& prompts, std::unique_ptr<host::PlayerControl> flash,
                       std::string ownPath)
    : wxFrame(nullptr, IDD_PLAYER_DIALOG, W(standalone::kInitialTitle)),
      prompts_(prompts),
      ownPath_(std::move(ownPath)),
      volume_([this](std::uint32_t value) {
          if (flash_) {
              flash_->SetOutputVolume(value);
          }
      }),
      flash_(std::move(flash)),
      frameTimer_(this, IDT_FRAME_POLL),
      probe_(standalone::StateProbe::FromEnvironment()),
      probeTimer_(this) {
    Initialise();
}

CPlayerDlg::~CPlayerDlg() {
    StopExtraction();
}

void CPlayerDlg::Initialise() {
    const std::string own =
        ownPath_.empty() ? platform::NativePath(platform::GetProgramPath()) : ownPath_;
    lastFolder_ = fs::path(own).parent_path().string();
    SetFont(wxFont(wxFontInfo(9).FaceName(W("宋体"))));
    SetMenuBar(standalone::BuildMenuBar());
    SetClientSize(ConvertDialogToPixels(kTemplateSize));
    SetIcons(wxIconBundle(standalone::PlayerIcon().GetIcon(wxSize(32, 32))));

    Bind(wxEVT_MENU, &CPlayerDlg::OnMenu, this);
    Bind(wxEVT_UPDATE_UI, &CPlayerDlg::OnUpdate, this);
    Bind(wxEVT_SIZE, &CPlayerDlg::OnSize, this);
    Bind(wxEVT_CLOSE_WINDOW, &CPlayerDlg::OnClose, this);
    Bind(wxEVT_TIMER, &CPlayerDlg::OnFrameTimer, this, IDT_FRAME_POLL);
    for (const auto& type : {wxEVT_SCROLL_LINEUP, wxEVT_SCROLL_LINEDOWN, wxEVT_SCROLL_PAGEUP,
                             wxEVT_SCROLL_PAGEDOWN, wxEVT_SCROLL_THUMBTRACK}) {
        Bind(type, &CPlayerDlg::OnSliderScroll, this, IDC_POSITION_SLIDER);
    }

    // A control that cannot be made only leaves the window without a movie.
    if (flash_->Create(this, "Flash Shock", IDC_FLASH)) {
        toolbar_ = new wxToolBar(this, WxId(IDC_TOOLBAR), wxDefaultPosition, wxDefaultSize,
                                 wxTB_FLAT | wxTB_HORIZONTAL | wxTB_NODIVIDER);
        toolbar_->SetToolBitmapSize(wxSize(24, 24));
        toolbar_->AddTool(WxId(ID_STOP), wxEmptyString, standalone::ToolbarImage(0),
                          W(standalone::CommandDescription(ID_STOP)));
        toolbar_->AddSeparator();
        toolbar_->AddTool(WxId(ID_PAUSE), wxEmptyString, standalone::ToolbarImage(1),
                          W(standalone::CommandDescription(ID_PAUSE)));
        toolbar_->AddTool(WxId(ID_PLAY), wxEmptyString, standalone::ToolbarImage(2),
                          W(standalone::CommandDescription(ID_PLAY)));
        toolbar_->Realize();
        slider_ = new wxSlider(this, IDC_POSITION_SLIDER, 0, 0, 100, wxDefaultPosition,
                               wxDefaultSize, wxSL_HORIZONTAL | wxSL_AUTOTICKS);
        LayoutControls();
        StartExtraction(false);
    }
    frameTimer_.Start(kFramePollMs);

    const std::vector<wxAcceleratorEntry> keys = standalone::PlayerAccelerators();
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(keys.size()), keys.data()));

    volume_.Apply();

    if (probe_) {
        Bind(wxEVT_TIMER, &CPlayerDlg::OnProbeTimer, this, probeTimer_.GetId());
        probeTimer_.Start(kProbeMs);
        WriteProbe();
    }
}

// ---- extraction ----

bool CPlayerDlg::IsExtracting() const {
    return worker_.joinable() && workerDone_ && !workerDone_->load();
}

void CPlayerDlg::StartExtraction(bool force) {
    if (IsExtracting()) {
        return;  // runs never overlap: both would write the same cache file
    }
    if (worker_.joinable()) {
        worker_.join();
    }
    auto* param = new ExtractParam{this, force ? 1 : 0, flash_->Window(), ownPath_};
    workerDone_ = std::make_shared<std::atomic<bool>>(false);
    worker_ = std::thread([param, done = workerDone_] {
        ExtractThreadProc(param);
        done->store(true);
    });
}

void CPlayerDlg::StopExtraction() {
    // Without a handle the worker's next notification is not delivered and it stops; the ones
    // already on their way are run here so it is not left waiting for them.
    DestroyHandle();
    if (!worker_.joinable()) {
        return;
    }
    while (workerDone_ && !workerDone_->load()) {
        if (wxTheApp) {
            wxTheApp->ProcessPendingEvents();
        }
        wxMilliSleep(1);
    }
    worker_.join();
}

platform::LRESULT CPlayerDlg::HandleMessage(platform::UINT message, platform::WPARAM wParam,
                                            platform::LPARAM lParam) {
    if (message == WM_EXTRACT_NOTIFY) {
        OnExtractNotify(wParam, lParam);
    }
    return 0;
}

void CPlayerDlg::OnExtractNotify(platform::WPARAM code, platform::LPARAM argument) {
    switch (code) {
        case EXN_SHOW_PROGRESS:
            if (!progress_) {
                progress_ = new CExtractProgressDlg(this);
            }
            progress_->Show();
            break;
        case EXN_ERROR_TEXT:
            Tell(reinterpret_cast<const char*>(argument), host::PromptIcon::Error);
            break;
        case EXN_PROGRESS:
            if (progress_) {
                progress_->SetProgress(std::min<long>(static_cast<long>(argument), 100));
            }
            break;
        case EXN_DONE:
            if (progress_) {
                progress_->Hide();
            }
            bareStub_ = argument == EXTRACT_BARE_STUB;
            lastResult_ = static_cast<long>(argument);
            WriteProbe();
            break;
        case EXN_MOVIE_WIDTH:
            movieWidth_ = static_cast<std::uint32_t>(argument);
            break;
        case EXN_MOVIE_HEIGHT:
            movieHeight_ = static_cast<std::uint32_t>(argument);
            break;
        case EXN_PLAY_FILE:
            PlayExtracted(reinterpret_cast<const char*>(argument));
            break;
        default:
            break;
    }
}

void CPlayerDlg::PlayExtracted(const std::string& path) {
    if (flash_->Window() == nullptr) {
        Tell("抱歉, 无法播放此动画 文件可能损坏!", host::PromptIcon::Error);
        return;
    }
    FitToMovie();
    if (LoadMovie(path)) {
        currentPath_ = path;
    }
}

// ---- movie ----

bool CPlayerDlg::LoadMovie(const std::string& path) {
    try {
        flash_->LoadMovie(0, wxString::FromUTF8(path));
        flash_->Play();
        hasMovie_ = true;
        if (slider_) {
            // A slider needs a range of at least one step.
            const long frames = std::max<long>(flash_->TotalFrames(), 1);
            slider_->SetRange(0, static_cast<int>(frames));
            // Automatic tick marks, at most about fifty of them.
            slider_->SetTickFreq(static_cast<int>(std::max<long>(1, frames / 50)));
            slider_->SetValue(static_cast<int>(flash_->FrameNum()));
        }
        SetTitle(W(standalone::MovieTitle(path)));
        if (flash_->UsesActionScript3()) {
            Tell(kActionScript3Notice, host::PromptIcon::Information);
        }
    } catch (const std::exception&) {
        currentPath_.clear();
        hasMovie_ = false;
        Tell("抱歉, 打开文件出错", host::PromptIcon::Error);
        SetTitle(W(standalone::kUntitledTitle));
        WriteProbe();
        return false;
    }
    WriteProbe();
    return true;
}

void CPlayerDlg::FitToMovie() {
    wxWindow* control = flash_->Window();
    if (control == nullptr) {
        return;
    }
    const wxSize window = GetSize();
    const wxSize shown = control->GetSize();
    const std::optional<standalone::Rect> r =
        standalone::FitToMovie(window.x, window.y, shown.x, shown.y, movieWidth_, movieHeight_,
                               wxSystemSettings::GetMetric(wxSYS_SCREEN_X, this),
                               wxSystemSettings::GetMetric(wxSYS_SCREEN_Y, this));
    if (r) {
        SetSize(r->x, r->y, r->width, r->height);
        LayoutControls();
    }
}

void CPlayerDlg::LayoutControls() {
    const wxSize client = GetClientSize();
    const wxSize tools = toolbar_ ? toolbar_->GetBestSize() : wxSize();
    const wxSize slider = slider_ ? slider_->GetBestSize() : wxSize();
    const standalone::PlayerLayout layout =
        standalone::LayoutFor(client.x, client.y, tools.x, tools.y, slider.y);
    auto place = [](wxWindow* w, const standalone::Rect& r) {
        if (w) {
            w->SetSize(r.x, r.y, r.width, r.height);
        }
    };
    place(flash_->Window(), layout.flash);
    place(toolbar_, layout.toolbar);
    place(slider_, layout.slider);
}

void CPlayerDlg::OnSize(wxSizeEvent&) {
    LayoutControls();
}

// ---- commands ----

standalone::CommandState CPlayerDlg::StateOf(int id) const {
    standalone::CommandInputs in;
    in.hasMovie = hasMovie_;
    in.bareStub = bareStub_;
    in.extracting = IsExtracting();
    in.volume = volume_.level();
    in.previousVolume = volume_.previous();
    in.scaleMode = [this]() -> std::optional<long> {
        try {
            return flash_->GetScaleMode();
        } catch (const std::exception&) {
            return std::nullopt;
        }
    };
    in.quality = [this]() -> std::optional<std::string> {
        try {
            return flash_->GetQuality2().utf8_string();
        } catch (const std::exception&) {
            return std::nullopt;
        }
    };
    return standalone::RuleFor(id, in);
}

void CPlayerDlg::OnUpdate(wxUpdateUIEvent& event) {
    const standalone::CommandState state = StateOf(CommandOf(event.GetId()));
    if (state.enable) {
        event.Enable(*state.enable);
    }
    if (state.check) {
        event.Check(*state.check);
    }
}

void CPlayerDlg::OnMenu(wxCommandEvent& event) {
    RunCommand(CommandOf(event.GetId()));
}

template <typename Fn>
void CPlayerDlg::Control(Fn&& fn) {
    try {
        fn(*flash_);
    } catch (const std::exception&) {
        // A call the control refuses changes nothing.
    }
}

void CPlayerDlg::RunCommand(int id) {
    // Accelerators reach here too: a command its rule disables does nothing.
    const standalone::CommandState state = StateOf(id);
    if (state.enable && !*state.enable) {
        return;
    }
    using C = host::PlayerControl;
    switch (id) {
        case ID_FILE_OPEN:
            Open();
            break;
        case ID_FILE_SAVE_AS:
            SaveAs();
            break;
        case ID_REEXTRACT:
            StartExtraction(true);
            break;
        case ID_OPEN_IN_FULL_PLAYER:
            OpenInFullPlayer();
            break;
        case ID_APP_EXIT:
            Close();
            break;
        case ID_PLAY:
            Control([](C& c) { c.Play(); });
            break;
        case ID_PAUSE:
            Control([](C& c) { c.Stop(); });
            break;
        case ID_STOP:
            Control([](C& c) {
                c.Rewind();
                c.Stop();
            });
            break;
        case ID_MUTE:
            volume_.ToggleMute();
            break;
        case ID_VOLUME_20:
        case ID_VOLUME_50:
        case ID_VOLUME_80:
        case ID_VOLUME_100:
            volume_.SetLevel(static_cast<std::uint32_t>(id - ID_MUTE));
            break;
        case ID_SCALE_ZOOM:
        case ID_SCALE_ORIGINAL:
        case ID_SCALE_FILL:
            Control([id](C& c) { c.SetScaleMode(id - ID_SCALE_ZOOM); });
            break;
        case ID_VIEW_CACHE:
            platform::ShellOpen(L"open", platform::WidePath(standalone::GetCacheFolder()).c_str(),
                                nullptr, nullptr, platform::kSwShowNormal);
            break;
        case ID_CLEAR_CACHE:
            ClearCache();
            break;
        case ID_QUALITY_HIGH:
            Control([](C& c) { c.SetQuality2("high"); });
            break;
        case ID_QUALITY_MEDIUM:
            Control([](C& c) { c.SetQuality2("medium"); });
            break;
        case ID_QUALITY_LOW:
            Control([](C& c) { c.SetQuality2("low"); });
            break;
        case ID_CHECK_UPDATE:
            OpenPage(standalone::kUpdatePage);
            break;
        case ID_HOME_PAGE:
            OpenPage(standalone::kHomePage);
            break;
        case ID_SOURCE_CODE:
            OpenPage(standalone::kSourcePage);
            break;
        case ID_APP_ABOUT:
            ShowAbout();
            break;
        default:
            break;
    }
    WriteProbe();
}

void CPlayerDlg::Open() {
    host::FileRequest request;
    request.filter = W(kFilter);
    request.folder = W(lastFolder_);
    request.parent = this;
    const std::optional<wxString> path = prompts_.AskFile(request);
    if (!path) {
        return;
    }
    const std::string chosen(path->utf8_str());
    lastFolder_ = fs::path(chosen).parent_path().string();
    if (LoadMovie(chosen)) {
        currentPath_ = chosen;
    }
}

void CPlayerDlg::SaveAs() {
    if (!hasMovie_) {
        return;
    }
    host::FileRequest request;
    request.save = true;
    request.overwritePrompt = true;
    request.filter = W(kFilter);
    request.defaultExtension = wxS("swf");
    request.defaultName = W(standalone::FileNamePart(currentPath_));
    request.folder = W(lastFolder_);
    request.parent = this;
    // The service adds the extension to a name typed without one and asks before replacing
    // a file of the final name.
    const std::optional<wxString> chosen = prompts_.AskFile(request);
    if (!chosen) {
        return;
    }
    const fs::path target = fs::path(std::string(chosen->utf8_str()));
    lastFolder_ = target.parent_path().string();
    if (platform::CopyFileTo(platform::WidePath(currentPath_).c_str(),
                             platform::WidePath(target.string()).c_str(), false)) {
        GiveNewFileMode(target);
        Tell("文件保存成功", host::PromptIcon::Information);
    } else {
        Tell("保存文件失败!", host::PromptIcon::Error);
    }
}

void CPlayerDlg::Tell(const std::string& text, host::PromptIcon icon) {
    prompts_.Tell(W(text), icon, this);
}

bool CPlayerDlg::Ask(const std::string& text) {
    return prompts_.AskYesNo(W(text), this);
}

void CPlayerDlg::OpenInFullPlayer() {
    switch (standalone::OpenInFullPlayer(hasMovie_, currentPath_)) {
        case standalone::FullPlayerOutcome::kNotInstalled:
            if (Ask("您还未安装ToviFlash播放器或安装程序已经损坏, "
                    "是否下载安装ToviFLash播放器?")) {
                OpenPage(standalone::kDownloadPage);
            }
            break;
        case standalone::FullPlayerOutcome::kNoMovie:
            Tell("未加载影片!", host::PromptIcon::Information);
            break;
        case standalone::FullPlayerOutcome::kStartFailed:
            Tell("使用ToviFlash播放器播放失败", host::PromptIcon::Error);
            break;
        case standalone::FullPlayerOutcome::kStarted:
            Close();
            break;
    }
}

void CPlayerDlg::ClearCache() {
    if (!Ask("您确定要删除缓存文件吗?")) {
        return;
    }
    const std::string folder = standalone::GetCacheFolder();
    const std::string program =
        ownPath_.empty() ? platform::NativePath(platform::GetProgramPath()) : ownPath_;
    const bool cleared = standalone::ClearCacheFolder(
        folder, program, [this](const std::string& file) { Tell(file, host::PromptIcon::Error); });
    if (cleared) {
        Tell("文件清除成功", host::PromptIcon::Information);
    } else if (Ask("部分文件删除失败 可能是存在被使用, 您是否要手动删除它们?")) {
        platform::ShellOpen(L"open", platform::WidePath(folder).c_str(), nullptr, nullptr,
                            platform::kSwShowNormal);
    }
}

void CPlayerDlg::OpenPage(const char* path) {
    const std::wstring url = platform::WidePath(std::string(standalone::kWebSite) + path);
    platform::ShellOpen(L"open", url.c_str(), nullptr, nullptr, platform::kSwShowNormal);
}

void CPlayerDlg::ShowAbout() {
    CAboutDlg about(this);
    prompts_.RunModal(about);
}

// ---- slider, timers, closing ----

void CPlayerDlg::OnSliderScroll(wxScrollEvent& event) {
    const int frame = event.GetPosition();
    Control([frame](host::PlayerControl& c) {
        c.GotoFrame(frame);
        c.Play();
    });
}

void CPlayerDlg::OnFrameTimer(wxTimerEvent&) {
    if (slider_ && flash_->Window()) {
        Control(
            [this](host::PlayerControl& c) { slider_->SetValue(static_cast<int>(c.FrameNum())); });
    }
}

void CPlayerDlg::OnProbeTimer(wxTimerEvent&) {
    WriteProbe();
}

void CPlayerDlg::WriteProbe() {
    if (!probe_) {
        return;
    }
    long frame = -1;
    if (hasMovie_) {
        Control([&frame](host::PlayerControl& c) { frame = c.FrameNum(); });
    }
    const auto reExtract = StateOf(ID_REEXTRACT).enable;
    probe_->Write({{"title", std::string(GetTitle().utf8_str())},
                   {"hasMovie", hasMovie_ ? "1" : "0"},
                   {"bareStub", bareStub_ ? "1" : "0"},
                   {"reExtract", reExtract.value_or(true) ? "1" : "0"},
                   {"extracting", IsExtracting() ? "1" : "0"},
                   {"result", std::to_string(lastResult_)},
                   {"path", currentPath_},
                   {"frame", std::to_string(frame)}});
}

void CPlayerDlg::OnClose(wxCloseEvent&) {
    frameTimer_.Stop();
    probeTimer_.Stop();
    StopExtraction();
    Destroy();
}
