#include "flash/control/shockwave_flash.h"

#include <wx/clipbrd.h>
#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/image.h>
#include <wx/msgdlg.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "flash/swf/movie.h"
#include "key_map.h"
#include "paint_frame.h"
#include "platform/shell.h"
#include "runtime/frame_clock.h"
#include "runtime/text_convert.h"

namespace {

// Copy, cut and paste in the movie's text fields use the desktop's clipboard.
class DesktopClipboard final : public flash::Clipboard {
  public:
    std::wstring Text() override {
        wxClipboardLocker lock;
        wxTextDataObject data;
        if (!lock || !wxTheClipboard->IsSupported(wxDF_UNICODETEXT) ||
            !wxTheClipboard->GetData(data)) {
            return {};
        }
        return data.GetText().ToStdWstring();
    }
    void SetText(const std::wstring& text) override {
        wxClipboardLocker lock;
        if (!lock) {
            return;
        }
        wxTheClipboard->SetData(new wxTextDataObject(wxString(text)));
    }
};

// wxWidgets refuses window ids from 32767 up (and negative ones other than its own).
bool WxAcceptsId(long id) {
    return id > 0 && id < 32767;
}

// Pages go to the user's browser through the shell; the player only ever asks for http and
// https addresses, so no program is started.
void OpenPageInBrowser(const std::wstring& url) {
    platform::ShellOpen(L"open", url.c_str(), nullptr, nullptr, platform::kSwShowNormal);
}

constexpr int kFirstMenuId = 100;

// A request to end (SIGTERM, SIGINT) stops the movies' scripts at once, in the handler itself,
// and then goes on to what the program set for it: a program closes its window from the
// event loop, which would otherwise wait for a script that runs.
constexpr int kEndSignals[] = {SIGTERM, SIGINT};
struct sigaction g_programHandlers[std::size(kEndSignals)];

void InterruptOnEndSignal(int signal, siginfo_t* info, void* context) {
    flash::Player::InterruptScripts();
    for (std::size_t i = 0; i < std::size(kEndSignals); ++i) {
        if (kEndSignals[i] != signal) {
            continue;
        }
        const struct sigaction& program = g_programHandlers[i];
        if ((program.sa_flags & SA_SIGINFO) != 0) {
            if (program.sa_sigaction != nullptr) {
                program.sa_sigaction(signal, info, context);
            }
        } else if (program.sa_handler == SIG_DFL) {
            ::sigaction(signal, &program, nullptr);
            ::raise(signal);
        } else if (program.sa_handler != SIG_IGN) {
            program.sa_handler(signal);
        }
    }
}

// Once, when the first control is made (after the program set its own handlers). A signal
// the program ignores stays ignored.
void InterruptScriptsOnEndSignals() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    for (std::size_t i = 0; i < std::size(kEndSignals); ++i) {
        struct sigaction current {};
        if (::sigaction(kEndSignals[i], nullptr, &current) != 0 ||
            ((current.sa_flags & SA_SIGINFO) == 0 && current.sa_handler == SIG_IGN)) {
            continue;
        }
        struct sigaction chained {};
        chained.sa_sigaction = InterruptOnEndSignal;
        chained.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&chained.sa_mask);
        ::sigaction(kEndSignals[i], &chained, &g_programHandlers[i]);
    }
}

// How often a movie in which nothing can change is looked at again. Operations and input wake
// it at once; this only catches what changed by other ways (calls on the player itself).
constexpr int kIdleCheckMs = 250;

// Fills a wxWidgets menu from the control's menu model.
void FillMenu(wxMenu& menu, const std::vector<flash::MenuEntry>& entries) {
    for (const flash::MenuEntry& e : entries) {
        if (e.separatorBefore && menu.GetMenuItemCount() > 0) {
            menu.AppendSeparator();
        }
        if (!e.submenu.empty()) {
            auto* sub = new wxMenu;
            FillMenu(*sub, e.submenu);
            menu.AppendSubMenu(sub, wxString(e.text));
            continue;
        }
        const int id = CShockwaveFlash::MenuId(e.command);
        const bool checkable = e.checked || e.command == flash::MenuCommand::Play ||
                               e.command == flash::MenuCommand::Loop ||
                               e.command == flash::MenuCommand::QualityLow ||
                               e.command == flash::MenuCommand::QualityMedium ||
                               e.command == flash::MenuCommand::QualityHigh;
        wxMenuItem* item =
            menu.Append(id, wxString(e.text), wxString(), checkable ? wxITEM_CHECK : wxITEM_NORMAL);
        if (checkable) {
            item->Check(e.checked);
        }
        item->Enable(e.enabled);
    }
}

}  // namespace

// Turns what the movie asks for into actions of the window host.
class CShockwaveFlash::Listener : public flash::PlayerListener {
  public:
    explicit Listener(CShockwaveFlash& owner) : owner_(owner) {}
    void OnOpenPage(const std::string& url, const std::string&) override {
        if (owner_.pageOpener_) {
            owner_.pageOpener_(flash::Utf8ToWide(url));
        }
    }
    bool OnSlowScript() override {
        return !owner_.slowScriptAsker_ ||
               owner_.slowScriptAsker_(CShockwaveFlash::SlowScriptQuestion());
    }

  private:
    CShockwaveFlash& owner_;
};

CShockwaveFlash::CShockwaveFlash()
    : player_(std::make_unique<flash::Player>()),
      listener_(std::make_unique<Listener>(*this)),
      clipboard_(std::make_unique<DesktopClipboard>()),
      timer_(this) {
    player_->SetListener(listener_.get());
    player_->SetClipboard(clipboard_.get());
    InterruptScriptsOnEndSignals();
    // The control plays its sound, and its stream sound paces its frames.
    player_->UseSoundDevice(true);
    pageOpener_ = OpenPageInBrowser;
    menuChooser_ = [this](wxMenu& menu, const wxPoint& at) {
        return GetPopupMenuSelectionFromUser(menu, at);
    };
    slowScriptAsker_ = [this](const wxString& question) {
        wxMessageDialog dialog(this, question, wxString(), wxYES_NO | wxICON_WARNING);
        return dialog.ShowModal() == wxID_YES;
    };
    Bind(wxEVT_TIMER, &CShockwaveFlash::OnTimer, this, timer_.GetId());
}

CShockwaveFlash::~CShockwaveFlash() {
    timer_.Stop();
    if (boundParent_ != nullptr) {
        boundParent_->Unbind(wxEVT_SIZE, &CShockwaveFlash::OnParentSize, this);
    }
}

bool CShockwaveFlash::Create(const wxString& windowText, long style, const wxRect& rect,
                             wxWindow* parent, long controlId) {
    if (parent == nullptr || HasWindow()) {
        return false;
    }
    controlId_ = controlId;
    // Painted entirely by us, so no background erase (no flicker).
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!wxWindow::Create(
            parent, WxAcceptsId(controlId) ? static_cast<wxWindowID>(controlId) : wxID_ANY,
            rect.GetPosition(), rect.GetSize(), style | wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS,
            wxASCII_STR(wxPanelNameStr))) {
        return false;
    }
    SetLabel(windowText);
    SetName(windowText);
    Bind(wxEVT_PAINT, &CShockwaveFlash::OnPaint, this);
    Bind(wxEVT_SIZE, &CShockwaveFlash::OnSize, this);
    Bind(wxEVT_MOTION, &CShockwaveFlash::OnMouse, this);
    Bind(wxEVT_LEFT_DOWN, &CShockwaveFlash::OnMouse, this);
    Bind(wxEVT_LEFT_DCLICK, &CShockwaveFlash::OnMouse, this);
    Bind(wxEVT_LEFT_UP, &CShockwaveFlash::OnMouse, this);
    Bind(wxEVT_RIGHT_DOWN, &CShockwaveFlash::OnMouse, this);
    Bind(wxEVT_LEAVE_WINDOW, &CShockwaveFlash::OnMouse, this);
    Bind(wxEVT_KEY_DOWN, &CShockwaveFlash::OnKey, this);
    Bind(wxEVT_KEY_UP, &CShockwaveFlash::OnKey, this);
    Bind(wxEVT_CHAR, &CShockwaveFlash::OnChar, this);
    Bind(wxEVT_MOUSEWHEEL, &CShockwaveFlash::OnWheel, this);
    Bind(wxEVT_SET_FOCUS, &CShockwaveFlash::OnFocus, this);
    Bind(wxEVT_KILL_FOCUS, &CShockwaveFlash::OnFocus, this);
    player_->SetViewSize(GetClientSize().x, GetClientSize().y);
    TellScreen();
    boundParent_ = parent;
    parentClientSize_ = parent->GetClientSize();
    parent->Bind(wxEVT_SIZE, &CShockwaveFlash::OnParentSize, this);
    if (player_->HasMovie()) {
        RestartClock();
    }
    return true;
}

long CShockwaveFlash::TotalFrames() const {
    return player_->TotalFrames();
}
long CShockwaveFlash::FrameNum() const {
    return player_->FrameNum();
}
long CShockwaveFlash::CurrentFrame() const {
    return player_->CurrentFrame();
}
bool CShockwaveFlash::IsPlaying() const {
    return player_->IsPlaying();
}
long CShockwaveFlash::GetScaleMode() const {
    return player_->ScaleMode();
}
wxString CShockwaveFlash::GetQuality2() const {
    return wxString(player_->Quality2());
}

void CShockwaveFlash::Play() {
    SettleIdle();
    player_->Play();
    Changed();
}

void CShockwaveFlash::Stop() {
    SettleIdle();
    player_->Stop();
    Changed();
}

void CShockwaveFlash::Rewind() {
    SettleIdle();
    player_->Rewind();
    Changed();
}

void CShockwaveFlash::StopPlay() {
    SettleIdle();
    player_->StopPlay();
    Changed();
}

void CShockwaveFlash::GotoFrame(long frame) {
    SettleIdle();
    player_->GotoFrame(static_cast<std::int32_t>(std::clamp<long>(frame, INT32_MIN, INT32_MAX)));
    Changed();
}

void CShockwaveFlash::SetScaleMode(long mode) {
    player_->SetScaleMode(static_cast<std::int32_t>(std::clamp<long>(mode, INT32_MIN, INT32_MAX)));
    Changed();
}

void CShockwaveFlash::SetQuality2(const wxString& quality) {
    player_->SetQuality2(quality.ToStdWstring());
    Changed();
}

namespace {

// The FileAttributes tag comes first in a movie: the beginning of the file is enough.
bool DeclaresActionScript3(const wxString& path) {
    // File names are UTF-8 whatever the process's locale says.
    std::ifstream in(std::string(path.utf8_str()), std::ios::binary);
    std::vector<std::uint8_t> head(64 * 1024);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    try {
        const flash::swf::Movie movie = flash::swf::ParseMovie(head);
        return movie.hasAttributes && movie.attributes.actionScript3;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

void CShockwaveFlash::LoadMovie(long layer, const wxString& pathOrUrl) {
    SettleIdle();
    if (layer == 0) {
        actionScript3_ = !pathOrUrl.Contains(wxS("://")) && DeclaresActionScript3(pathOrUrl);
    }
    player_->LoadMovie(static_cast<int>(std::clamp<long>(layer, -1, INT32_MAX)),
                       pathOrUrl.ToStdWstring());
    RestartClock();
    Changed();
}

void CShockwaveFlash::SetVariable(const wxString& name, const wxString& value) {
    SettleIdle();
    player_->SetVariable(name.ToStdWstring(), value.ToStdWstring());
    Changed();
}

wxString CShockwaveFlash::GetVariable(const wxString& name) const {
    return wxString(player_->GetVariable(name.ToStdWstring()));
}

void CShockwaveFlash::SetPageOpener(std::function<void(const std::wstring&)> opener) {
    pageOpener_ = std::move(opener);
}

void CShockwaveFlash::SetMenuChooser(MenuChooser chooser) {
    menuChooser_ = std::move(chooser);
}

void CShockwaveFlash::SetSlowScriptAsker(SlowScriptAsker asker) {
    slowScriptAsker_ = std::move(asker);
}

wxString CShockwaveFlash::SlowScriptQuestion() {
    return wxString::FromUTF8(
        "此影片中的脚本导致 Flash Player 运行缓慢。如果继续运行，您的计算机可能会没有响应。"
        "是否要中止该脚本？");
}

int CShockwaveFlash::MenuId(flash::MenuCommand command) {
    return kFirstMenuId + static_cast<int>(command);
}

void CShockwaveFlash::ShowContextMenu(const wxPoint& at) {
    wxMenu menu;
    FillMenu(menu, player_->ContextMenu());
    const int chosen = menuChooser_ ? menuChooser_(menu, at) : wxID_NONE;
    const int command = chosen - kFirstMenuId;
    if (command < 0 || command > static_cast<int>(flash::MenuCommand::About)) {
        return;
    }
    const auto c = static_cast<flash::MenuCommand>(command);
    if (c == flash::MenuCommand::About) {
        wxMessageBox(wxS("Flash 播放组件"), wxS("关于播放组件"), wxOK | wxICON_INFORMATION, this);
        return;
    }
    SettleIdle();
    player_->RunMenuCommand(c, at.x, at.y);
    Changed();
}

void CShockwaveFlash::OnMouse(wxMouseEvent& event) {
    const wxPoint at = event.GetPosition();
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_RIGHT_DOWN) {
        // The press opens the menu and goes no further.
        ShowContextMenu(at);
        return;
    }
    event.Skip();
    if (!player_->HasMovie()) {
        return;
    }
    SettleIdle();
    if (type == wxEVT_MOTION) {
        player_->MouseMove(at.x, at.y);
    } else if (type == wxEVT_LEFT_DOWN || type == wxEVT_LEFT_DCLICK) {
        // The window system keeps sending the pressed window the pointer until the release,
        // so a button dragged off still hears it.
        SetFocus();
        player_->MouseDown(at.x, at.y);
    } else if (type == wxEVT_LEFT_UP) {
        player_->MouseUp(at.x, at.y);
    } else if (type == wxEVT_LEAVE_WINDOW && !event.LeftIsDown()) {
        player_->MouseLeave();
    }
    UpdateCursor();
    FrameMoved();
    Rearm();
}

void CShockwaveFlash::OnKey(wxKeyEvent& event) {
    // Keys go on to the host too (its accelerators still work).
    event.Skip();
    const flash::FlashKey key = flash::FlashKeyOf(event.GetKeyCode(), event.ShiftDown());
    if (key.code == 0 || !player_->HasMovie()) {
        return;
    }
    SettleIdle();
    if (event.GetEventType() == wxEVT_KEY_DOWN) {
        player_->KeyDown(key.code, key.character);
        const bool control = event.ControlDown() && !event.AltDown();
        if (auto command = flash::TextCommandOf(event.GetKeyCode(), event.ShiftDown(), control)) {
            player_->TextControl(*command);
        }
    } else {
        player_->KeyUp(key.code, key.character);
    }
    FrameMoved();
    Rearm();
}

void CShockwaveFlash::OnChar(wxKeyEvent& event) {
    // Characters of keys, and text an input method commits (one event per character).
    const auto character = static_cast<char32_t>(event.GetUnicodeKey());
    if (event.GetUnicodeKey() == WXK_NONE ||
        !flash::IsTypedCharacter(character, event.ControlDown() || event.AltDown())) {
        event.Skip();
        return;
    }
    if (!player_->HasMovie()) {
        return;
    }
    SettleIdle();
    player_->TextInput(std::wstring(1, static_cast<wchar_t>(character)));
    FrameMoved();
    Rearm();
}

void CShockwaveFlash::OnWheel(wxMouseEvent& event) {
    event.Skip();
    if (!player_->HasMovie() || event.GetWheelDelta() == 0 ||
        event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL) {
        return;
    }
    SettleIdle();
    const int notches = event.GetWheelRotation() / event.GetWheelDelta();
    player_->MouseWheel(notches * std::max(1, event.GetLinesPerAction()));
    FrameMoved();
    Rearm();
}

void CShockwaveFlash::OnFocus(wxFocusEvent& event) {
    event.Skip();
    if (!player_->HasMovie()) {
        return;
    }
    SettleIdle();
    player_->WindowFocus(event.GetEventType() == wxEVT_SET_FOCUS);
    FrameMoved();
    Rearm();
}

void CShockwaveFlash::UpdateCursor() {
    const flash::Cursor wanted = player_->WantedCursor();
    if (wanted == cursor_) {
        return;
    }
    cursor_ = wanted;
    switch (wanted) {
        case flash::Cursor::Hand:
            SetCursor(wxCursor(wxCURSOR_HAND));
            break;
        case flash::Cursor::None:
            SetCursor(wxCursor(wxCURSOR_BLANK));
            break;
        case flash::Cursor::Arrow:
            SetCursor(wxNullCursor);
            break;
    }
}

void CShockwaveFlash::Changed() {
    frameStale_ = true;
    if (HasWindow()) {
        Refresh(false);
    }
    Rearm();
}

// After an operation or input the movie may move again: the timer goes back to the frame's
// time, or waits long again when still nothing can change.
void CShockwaveFlash::Rearm() {
    if (!HasWindow()) {
        return;
    }
    SettleIdle();
    ScheduleTick();
}

// The frames that went by idle count as run without running them (nothing could change in
// them), so the script clock keeps time and the clock does not race to catch up.
void CShockwaveFlash::SettleIdle() {
    if (!idle_) {
        return;
    }
    idle_ = false;
    const double elapsedMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - clockStart_)
            .count();
    flash::FrameClock clock(player_->FrameRate());
    const auto passed = static_cast<std::int64_t>(std::floor(elapsedMs / clock.PeriodMs()));
    if (passed > framesRun_) {
        player_->PassIdleFrames(passed - framesRun_);
        framesRun_ = passed;
    }
}

void CShockwaveFlash::RestartClock() {
    clockStart_ = std::chrono::steady_clock::now();
    framesRun_ = 0;
    if (!HasWindow()) {
        return;
    }
    ScheduleTick();
}

// The timer wakes once per frame, at the frame's time, rather than polling: a movie that sits
// still costs few wake-ups.
void CShockwaveFlash::ScheduleTick() {
    if (!player_->CanChange()) {
        idle_ = true;
        timer_.StartOnce(kIdleCheckMs);
        return;
    }
    const double elapsedMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - clockStart_)
            .count();
    flash::FrameClock clock(player_->FrameRate());
    timer_.StartOnce(flash::NextTickMs(clock, elapsedMs, framesRun_));
}

void CShockwaveFlash::OnTimer(wxTimerEvent&) {
    if (idle_) {
        SettleIdle();
    } else {
        Tick();
    }
    if (HasWindow()) {
        ScheduleTick();
    }
}

void CShockwaveFlash::Tick() {
    if (!player_->HasMovie()) {
        return;
    }
    double elapsedMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - clockStart_)
            .count();
    flash::FrameClock clock(player_->FrameRate());
    int due = clock.FramesDue(elapsedMs, framesRun_);
    if (due == 0) {
        return;
    }
    if (clock.FallenBehind(elapsedMs, framesRun_ + due)) {
        // Too slow to keep up: drop the missed time instead of racing to catch up.
        clockStart_ = std::chrono::steady_clock::now();
        framesRun_ = 0;
    } else {
        framesRun_ += due;
    }
    // A streamed movie keeps with its sound: it waits for it, or skips frames to catch up.
    const int run = player_->FramesToRun(due);
    for (int i = 0; i < run; ++i) {
        player_->Advance();
    }
    if (run > 0) {
        // Buttons may have moved under a pointer that stands still.
        UpdateCursor();
        FrameMoved();
    }
}

void CShockwaveFlash::FrameMoved() {
    // Only what changed since the shown picture is drawn, and only that part of the window is
    // painted again: a tick that leaves the picture as it was paints nothing.
    if (frameStale_ || frame_.Empty() || !HasWindow() || !IsShownOnScreen()) {
        Changed();
        return;
    }
    for (const flash::ViewArea& a : player_->RenderChanges(frame_)) {
        RefreshRect(wxRect(a.x, a.y, a.width, a.height), false);
    }
}

// The display the control is on, for System.capabilities (Flash reports 72 dpi).
void CShockwaveFlash::TellScreen() {
    int index = wxDisplay::GetFromWindow(this);
    wxDisplay display(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index));
    wxRect area = display.GetGeometry();
    player_->SetScreen(area.width, area.height, 72);
}

void CShockwaveFlash::OnSize(wxSizeEvent& event) {
    player_->SetViewSize(GetClientSize().x, GetClientSize().y);
    TellScreen();
    frameStale_ = true;
    Refresh(false);
    event.Skip();
}

void CShockwaveFlash::OnParentSize(wxSizeEvent& event) {
    event.Skip();
    if (boundParent_ == nullptr) {
        return;
    }
    wxSize now = boundParent_->GetClientSize();
    // Follow the parent only while this control fills it, so hosts that lay it out
    // themselves keep their layout.
    if (GetPosition() == wxPoint(0, 0) && GetSize() == parentClientSize_) {
        SetSize(0, 0, now.x, now.y);
    }
    parentClientSize_ = now;
}

void CShockwaveFlash::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    wxSize size = GetClientSize();
    if (size.x <= 0 || size.y <= 0) {
        return;
    }
    size.x = std::min(size.x, flash::Image::kMaxSide);
    size.y = std::min(size.y, flash::Image::kMaxSide);
    if (frameStale_ || frame_.Width() != size.x || frame_.Height() != size.y) {
        if (frame_.Width() != size.x || frame_.Height() != size.y) {
            frame_ = flash::Image(size.x, size.y);
            player_->ForgetRenderedFrame();
        }
        player_->RenderChanges(frame_);
        frameStale_ = false;
    }
    flash::PaintFrame(dc, frame_);
}
