#include "flash/shockwave_flash.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/image.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "frame_clock.h"
#include "paint_frame.h"
#include "platform/shell.h"
#include "text_convert.h"

namespace {

// wxWidgets refuses window ids from 32767 up (and negative ones other than its own).
bool WxAcceptsId(long id) {
    return id > 0 && id < 32767;
}

// Pages go to the user's browser through the shell; the player only ever asks for http and
// https addresses, so no program is started.
void OpenPageInBrowser(const std::wstring& url) {
    platform::ShellOpen(L"open", url.c_str(), nullptr, nullptr, platform::kSwShowNormal);
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

  private:
    CShockwaveFlash& owner_;
};

CShockwaveFlash::CShockwaveFlash()
    : player_(std::make_unique<flash::Player>()),
      listener_(std::make_unique<Listener>(*this)),
      timer_(this) {
    player_->SetListener(listener_.get());
    // The control plays its sound, and its stream sound paces its frames.
    player_->UseSoundDevice(true);
    pageOpener_ = OpenPageInBrowser;
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
    if (!wxWindow::Create(parent,
                          WxAcceptsId(controlId) ? static_cast<wxWindowID>(controlId) : wxID_ANY,
                          rect.GetPosition(), rect.GetSize(), style | wxFULL_REPAINT_ON_RESIZE,
                          wxASCII_STR(wxPanelNameStr))) {
        return false;
    }
    SetLabel(windowText);
    SetName(windowText);
    Bind(wxEVT_PAINT, &CShockwaveFlash::OnPaint, this);
    Bind(wxEVT_SIZE, &CShockwaveFlash::OnSize, this);
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
    player_->Play();
    Changed();
}

void CShockwaveFlash::Stop() {
    player_->Stop();
    Changed();
}

void CShockwaveFlash::Rewind() {
    player_->Rewind();
    Changed();
}

void CShockwaveFlash::StopPlay() {
    player_->StopPlay();
    Changed();
}

void CShockwaveFlash::GotoFrame(long frame) {
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

void CShockwaveFlash::LoadMovie(long layer, const wxString& pathOrUrl) {
    player_->LoadMovie(static_cast<int>(std::clamp<long>(layer, -1, INT32_MAX)),
                       pathOrUrl.ToStdWstring());
    RestartClock();
    Changed();
}

void CShockwaveFlash::SetVariable(const wxString& name, const wxString& value) {
    player_->SetVariable(name.ToStdWstring(), value.ToStdWstring());
    Changed();
}

wxString CShockwaveFlash::GetVariable(const wxString& name) const {
    return wxString(player_->GetVariable(name.ToStdWstring()));
}

void CShockwaveFlash::SetPageOpener(std::function<void(const std::wstring&)> opener) {
    pageOpener_ = std::move(opener);
}

void CShockwaveFlash::Changed() {
    frameStale_ = true;
    if (HasWindow()) {
        Refresh(false);
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
    const double elapsedMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - clockStart_)
            .count();
    flash::FrameClock clock(player_->FrameRate());
    timer_.StartOnce(flash::NextTickMs(clock, elapsedMs, framesRun_));
}

void CShockwaveFlash::OnTimer(wxTimerEvent&) {
    Tick();
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
        FrameMoved();
    }
}

void CShockwaveFlash::FrameMoved() {
    // A tick that leaves the picture as it was (a paused movie whose clips stand still) is not
    // painted again: the new picture is drawn here and shown only when it differs.
    if (frameStale_ || frame_.Empty() || !HasWindow() || !IsShownOnScreen()) {
        Changed();
        return;
    }
    if (next_.Width() != frame_.Width() || next_.Height() != frame_.Height()) {
        next_ = flash::Image(frame_.Width(), frame_.Height());
    }
    player_->Render(next_);
    const std::size_t bytes = static_cast<std::size_t>(next_.Stride()) * next_.Height();
    if (std::memcmp(next_.Data(), frame_.Data(), bytes) != 0) {
        std::swap(frame_, next_);
        Refresh(false);
    }
}

void CShockwaveFlash::OnSize(wxSizeEvent& event) {
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
        }
        player_->Render(frame_);
        frameStale_ = false;
    }
    flash::PaintFrame(dc, frame_);
}
