#include "flash/player/player.h"

#include <algorithm>
#include <cmath>

#include "display/movie_clip.h"
#include "flash/avm1/convert.h"
#include "input/keyboard_input.h"
#include "input/mouse_input.h"
#include "runtime/context_menu.h"
#include "runtime/movie_data.h"
#include "runtime/movie_source.h"
#include "runtime/runtime.h"
#include "runtime/text_convert.h"
#include "stage/stage_renderer.h"
#include "stage/view_transform.h"

namespace flash {

PlayerListener::~PlayerListener() = default;
void PlayerListener::OnTrace(const std::string&) {}
void PlayerListener::OnOpenPage(const std::string&, const std::string&) {}
void PlayerListener::OnPageRefused(const std::string&, const std::string&) {}
void PlayerListener::OnFsCommand(const std::string&, const std::string&) {}
void PlayerListener::OnOtherUrl(const std::string&, const std::string&) {}
void PlayerListener::OnScriptError(const std::string&) {}
void PlayerListener::OnLoadRequest(const LoadRequest&) {}
bool PlayerListener::OnSlowScript() {
    return true;
}

Clipboard::~Clipboard() = default;

class PlayerImpl final : public StageView {
  public:
    explicit PlayerImpl(const PlayerLimits& limits) : runtime(limits) {
        runtime.SetSoundMixer(&silentMixer, false);
        runtime.SetView(this);
    }
    ~PlayerImpl() override { runtime.SetView(nullptr); }

    // StageView
    int ScaleMode() const override { return view.ScaleMode(); }
    void SetScaleMode(int mode) override { view.SetScaleMode(mode); }
    std::pair<int, int> ViewSize() const override {
        auto [w, h] = ViewSizeOrStage();
        return {w, h};
    }
    std::pair<int, int> StageSize() const override {
        Rect stage = StageRect();
        return {static_cast<int>(std::lround(stage.width() / 20.0)),
                static_cast<int>(std::lround(stage.height() / 20.0))};
    }
    std::uint8_t Align() const override { return align; }
    void SetAlign(std::uint8_t value) override { align = value; }
    bool FullScreen() const override { return fullScreen; }
    void SetFullScreen(bool on) override { fullScreen = on; }
    ScreenInfo Screen() const override { return screen; }

    MovieClip* Root() const { return runtime.LevelClip(0); }

    void Load(int layer, std::shared_ptr<const swf::Movie> movie, const std::string& url,
              std::size_t fileBytes) {
        if (layer < 0) {
            throw FlashError("no such layer: " + std::to_string(layer));
        }
        // The host starts the movie it shows; movies over it play at once.
        runtime.Load(layer, std::move(movie), url, layer != 0);
        runtime.LevelClip(layer)->Movie().SetFileBytes(fileBytes);
        runtime.Settle();
    }

    Rect StageRect() const {
        MovieClip* root = Root();
        return root != nullptr ? root->Movie().Model().header.frameSize : Rect{0, 0, 0, 0};
    }

    // The view input comes from: the one given, or the stage at its own size.
    std::pair<int, int> ViewSizeOrStage() const {
        if (viewWidth > 0 && viewHeight > 0) {
            return {viewWidth, viewHeight};
        }
        Rect stage = StageRect();
        return {std::max(1, static_cast<int>(std::lround(stage.width() / 20.0))),
                std::max(1, static_cast<int>(std::lround(stage.height() / 20.0)))};
    }

    Matrix ToView() const {
        auto [w, h] = ViewSizeOrStage();
        return view.ToView(StageRect(), w, h);
    }

    // Tells the mouse where it is in the view, and gives the point in stage twips.
    Point Pointer(double x, double y) {
        runtime.Mouse().SetView(Point{x, y}, ToView());
        return ToStage(x, y);
    }

    // A view pixel in stage twips (whole twips, as Flash keeps the mouse).
    Point ToStage(double x, double y) const {
        auto [w, h] = ViewSizeOrStage();
        std::optional<Matrix> inverse = view.ToView(StageRect(), w, h).Inverted();
        if (!inverse || !std::isfinite(x) || !std::isfinite(y)) {
            return {};
        }
        Point p = inverse->Apply(Point{x, y});
        auto whole = [](double v) { return std::round(std::clamp(v, -1e9, 1e9)); };
        return Point{whole(p.x), whole(p.y)};
    }

    // Silent sound renders one frame's time per Advance. Declared before the runtime, whose
    // sound mixes into it.
    media::ManualOutput* silentOutput = nullptr;
    media::Mixer silentMixer{[this] {
                                 auto out = std::make_unique<media::ManualOutput>();
                                 silentOutput = out.get();
                                 return out;
                             },
                             false};
    double silentOwed = 0;
    bool soundDevice = false;
    mutable Runtime runtime;
    // Keeps the paths it built between frames.
    mutable render::Renderer renderer;
    // What the last RenderChanges drew, to draw only what changes.
    mutable StageDamage damage;
    ViewTransform view;
    int viewWidth = 0;
    int viewHeight = 0;
    std::uint8_t align = 0;
    bool fullScreen = false;
    ScreenInfo screen;
};

Player::Player(PlayerLimits limits) : impl_(std::make_unique<PlayerImpl>(limits)) {}

Player::~Player() = default;

void Player::SetListener(PlayerListener* listener) {
    impl_->runtime.SetListener(listener);
}

void Player::LoadMovie(int layer, const std::wstring& pathOrUrl) {
    LoadMovie(layer, WideToUtf8(pathOrUrl));
}

void Player::LoadMovie(int layer, const std::string& url) {
    if (layer < 0 || layer >= impl_->runtime.Limits().maxLevels) {
        throw FlashError("no such layer: " + std::to_string(layer));
    }
    std::vector<std::uint8_t> bytes = ReadLocalFile(url, impl_->runtime.Limits().maxMovieBytes);
    impl_->Load(layer, ParseMovieBytes(bytes, impl_->runtime.Limits()), url, bytes.size());
}

void Player::LoadMovieBytes(int layer, std::vector<std::uint8_t> bytes, const std::string& url) {
    std::size_t size = bytes.size();
    impl_->Load(layer, ParseMovieBytes(bytes, impl_->runtime.Limits()), url, size);
}

void Player::UnloadMovie(int layer) {
    impl_->runtime.Unload(layer);
    impl_->runtime.Settle();
}

bool Player::HasMovie() const {
    return impl_->Root() != nullptr;
}

std::int32_t Player::TotalFrames() const {
    MovieClip* root = impl_->Root();
    return root ? root->TotalFrames() : 0;
}

std::int32_t Player::FrameNum() const {
    return CurrentFrame();
}

std::int32_t Player::CurrentFrame() const {
    MovieClip* root = impl_->Root();
    return root ? root->CurrentFrame() : 0;
}

void Player::Play() {
    if (MovieClip* root = impl_->Root()) {
        root->SetPlaying(true);
    }
}

void Player::Stop() {
    if (MovieClip* root = impl_->Root()) {
        root->SetPlaying(false);
    }
}

void Player::StopPlay() {
    Stop();
}

void Player::Rewind() {
    GotoFrame(0);
}

void Player::GotoFrame(std::int32_t frame) {
    if (MovieClip* root = impl_->Root()) {
        root->GoTo(std::max(frame, 0));
        impl_->runtime.Settle();
    }
}

bool Player::IsPlaying() const {
    MovieClip* root = impl_->Root();
    return root != nullptr && root->Playing();
}

std::int32_t Player::ScaleMode() const {
    return impl_->view.ScaleMode();
}

void Player::SetScaleMode(std::int32_t mode) {
    impl_->view.SetScaleMode(mode);
}

std::wstring Player::Quality2() const {
    switch (impl_->runtime.QualityLevel()) {
        case Quality::Low:
            return L"low";
        case Quality::Medium:
            return L"medium";
        case Quality::High:
            break;
    }
    return L"high";
}

void Player::SetQuality2(const std::wstring& quality) {
    std::optional<Quality> q = ParseQuality(WideToUtf8(quality));
    if (!q) {
        throw FlashError("unknown quality: " + WideToUtf8(quality));
    }
    impl_->runtime.SetQualityLevel(*q);
}

void Player::SetVariable(const std::wstring& name, const std::wstring& value) {
    if (impl_->Root() == nullptr) {
        return;
    }
    avm1::Vm& vm = impl_->runtime.Vm();
    vm.SetVariable(avm1::FromUtf8(WideToUtf8(name)),
                   avm1::Value::Str(avm1::FromUtf8(WideToUtf8(value))));
    impl_->runtime.Settle();
}

std::wstring Player::GetVariable(const std::wstring& name) const {
    MovieClip* root = impl_->Root();
    if (root == nullptr) {
        return {};
    }
    avm1::Vm& vm = impl_->runtime.Vm();
    std::optional<avm1::Value> value = vm.GetVariable(avm1::FromUtf8(WideToUtf8(name)));
    if (!value || value->IsUndefined()) {
        return {};
    }
    return Utf8ToWide(avm1::ToUtf8(vm.ToString(*value, root->SwfVersion())));
}

bool Player::CanChange() const {
    return impl_->runtime.CanChange();
}

void Player::PassIdleFrames(std::int64_t frames) {
    impl_->runtime.PassIdleFrames(frames);
}

void Player::Advance() {
    impl_->runtime.Advance();
    if (!impl_->soundDevice && impl_->silentMixer.Started()) {
        impl_->silentOwed += media::kMixRate / impl_->runtime.FrameRate();
        const double frames = std::floor(impl_->silentOwed);
        impl_->silentOwed -= frames;
        impl_->silentOutput->Pump(static_cast<std::size_t>(frames));
    }
}

void Player::UseSoundDevice(bool on) {
    if (on == impl_->soundDevice) {
        return;
    }
    impl_->soundDevice = on;
    impl_->runtime.SetSoundMixer(on ? &media::Mixer::Process() : &impl_->silentMixer, on);
}

bool Player::UsesSoundDevice() const {
    return impl_->soundDevice;
}

int Player::FramesToRun(int due) const {
    media::MovieSound* sound = impl_->runtime.SoundIfAny();
    MovieClip* root = impl_->Root();
    if (due <= 0 || !impl_->soundDevice || sound == nullptr || root == nullptr ||
        !sound->Clock(root).playing) {
        return due;
    }
    return sound->StreamSteps(root);
}

void Player::SetSoundVolume(double volume) {
    impl_->runtime.SetSoundVolume(volume);
}

double Player::SoundVolume() const {
    return impl_->runtime.SoundVolume();
}

double Player::FrameRate() const {
    return impl_->runtime.FrameRate();
}

int Player::StageWidth() const {
    MovieClip* root = impl_->Root();
    return root ? static_cast<int>(
                      std::lround(root->Movie().Model().header.frameSize.width() / 20.0))
                : 0;
}

int Player::StageHeight() const {
    MovieClip* root = impl_->Root();
    return root ? static_cast<int>(
                      std::lround(root->Movie().Model().header.frameSize.height() / 20.0))
                : 0;
}

std::uint32_t Player::BackgroundColor() const {
    MovieClip* root = impl_->Root();
    Rgba c{255, 255, 255, 255};
    if (root != nullptr && root->Movie().Background()) {
        c = *root->Movie().Background();
    }
    return 0xFF000000u | (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
}

int Player::SwfVersion() const {
    MovieClip* root = impl_->Root();
    return root ? root->SwfVersion() : 0;
}

Quality Player::RenderQuality() const {
    return impl_->runtime.QualityLevel();
}

double Player::TimeMs() const {
    return impl_->runtime.TimeMs();
}

void Player::SetRandomSeed(std::uint32_t seed) {
    impl_->runtime.SetRandomSeed(seed);
}

void Player::Render(Image& target) const {
    RenderStage(impl_->runtime, impl_->renderer, BackgroundColor(), impl_->view,
                impl_->runtime.QualityLevel(), target);
}

std::vector<ViewArea> Player::RenderChanges(Image& target) const {
    std::vector<ViewArea> out;
    for (const render::PixelRect& r :
         RenderStageChanges(impl_->runtime, impl_->renderer, BackgroundColor(), impl_->view,
                            impl_->runtime.QualityLevel(), target, impl_->damage)) {
        out.push_back({r.x, r.y, r.width, r.height});
    }
    return out;
}

void Player::ForgetRenderedFrame() const {
    impl_->damage.Reset();
}

void Player::SetViewSize(int width, int height) {
    std::pair<int, int> before = impl_->ViewSizeOrStage();
    impl_->viewWidth = std::max(0, width);
    impl_->viewHeight = std::max(0, height);
    // Without scaling, the stage is the view: scripts hear of its new size.
    if (HasMovie() && impl_->ScaleMode() == 3 && impl_->ViewSizeOrStage() != before) {
        impl_->runtime.QueueBroadcast(u"Stage", u"onResize");
        impl_->runtime.Settle();
    }
}

void Player::SetScreen(int width, int height, double dpi) {
    impl_->screen = {std::max(0, width), std::max(0, height), dpi > 0 ? dpi : 72};
}

std::pair<double, double> Player::ViewToStage(double x, double y) const {
    Point p = impl_->ToStage(x, y);
    return {p.x / 20.0, p.y / 20.0};
}

void Player::InterruptScripts() {
    avm1::InterruptScripts();
}

void Player::ResumeScripts() {
    avm1::ResumeScripts();
}

void Player::MouseMove(double x, double y) {
    if (HasMovie()) {
        impl_->runtime.BeginEvent();
        impl_->runtime.Mouse().Move(impl_->Pointer(x, y));
        impl_->runtime.Settle();
    }
}

namespace {

// Mouse buttons are keys too (Key.isDown, Key.isToggled).
int ButtonKey(MouseButton button) {
    switch (button) {
        case MouseButton::Left:
            break;
        case MouseButton::Right:
            return 2;
        case MouseButton::Middle:
            return 4;
    }
    return 1;
}

}  // namespace

void Player::MouseDown(double x, double y, MouseButton button) {
    if (HasMovie()) {
        impl_->runtime.Keyboard().ButtonDown(ButtonKey(button));
    }
    if (HasMovie() && button == MouseButton::Left) {
        impl_->runtime.BeginEvent();
        impl_->runtime.Pages().Press();
        impl_->runtime.Mouse().Down(impl_->Pointer(x, y));
        impl_->runtime.Settle();
        impl_->runtime.Pages().InputDone(false);
    }
}

void Player::MouseUp(double x, double y, MouseButton button) {
    if (HasMovie()) {
        impl_->runtime.Keyboard().ButtonUp(ButtonKey(button));
    }
    if (HasMovie() && button == MouseButton::Left) {
        impl_->runtime.BeginEvent();
        impl_->runtime.Pages().Release();
        impl_->runtime.Mouse().Up(impl_->Pointer(x, y));
        impl_->runtime.Settle();
        impl_->runtime.Pages().InputDone(true);
    }
}

void Player::MouseLeave() {
    if (HasMovie()) {
        impl_->runtime.BeginEvent();
        impl_->runtime.Mouse().Leave();
        impl_->runtime.Settle();
    }
}

void Player::KeyDown(int keyCode, char32_t character) {
    if (HasMovie()) {
        impl_->runtime.BeginEvent();
        impl_->runtime.Pages().Press();
        impl_->runtime.Keyboard().Down(keyCode, character);
        impl_->runtime.Settle();
        impl_->runtime.Pages().InputDone(true);
    }
}

void Player::KeyUp(int keyCode, char32_t character) {
    if (HasMovie()) {
        impl_->runtime.BeginEvent();
        impl_->runtime.Pages().Release();
        impl_->runtime.Keyboard().Up(keyCode, character);
        impl_->runtime.Settle();
        impl_->runtime.Pages().InputDone(true);
    }
}

void Player::TextInput(const std::wstring& text) {
    if (HasMovie()) {
        impl_->runtime.BeginEvent();
        impl_->runtime.Keyboard().TextInput(avm1::FromUtf8(WideToUtf8(text)));
        impl_->runtime.Settle();
    }
}

void Player::TextControl(TextCommand command) {
    if (HasMovie()) {
        impl_->runtime.BeginEvent();
        impl_->runtime.Keyboard().TextControl(command);
        impl_->runtime.Settle();
    }
}

void Player::SetClipboard(Clipboard* clipboard) {
    impl_->runtime.Keyboard().SetClipboard(clipboard);
}

void Player::MouseWheel(int delta) {
    if (HasMovie()) {
        impl_->runtime.BeginEvent();
        impl_->runtime.Mouse().Wheel(delta);
        impl_->runtime.Settle();
    }
}

void Player::WindowFocus(bool focused) {
    if (HasMovie() && !focused) {
        impl_->runtime.BeginEvent();
        impl_->runtime.Keyboard().WindowFocusLost();
        impl_->runtime.Settle();
    }
}

Cursor Player::WantedCursor() const {
    return HasMovie() ? impl_->runtime.Mouse().WantedCursor() : Cursor::Arrow;
}

bool Player::Looping() const {
    return impl_->runtime.Looping();
}

void Player::SetLooping(bool loop) {
    impl_->runtime.SetLooping(loop);
}

double Player::Zoom() const {
    return impl_->view.Zoom();
}

std::vector<MenuEntry> Player::ContextMenu() const {
    MenuState state;
    state.hasMovie = HasMovie();
    state.frameCount = TotalFrames();
    state.currentFrame = CurrentFrame();
    state.playing = IsPlaying();
    state.looping = Looping();
    state.zoomed = impl_->view.Zoomed();
    state.quality = impl_->runtime.QualityLevel();
    state.showMenu = impl_->runtime.ShowMenu();
    return BuildContextMenu(state);
}

void Player::RunMenuCommand(MenuCommand command, double x, double y) {
    auto [w, h] = impl_->ViewSizeOrStage();
    switch (command) {
        case MenuCommand::ZoomIn:
            if (HasMovie()) {
                impl_->view.ZoomIn(impl_->StageRect(), w, h, Point{x, y});
            }
            return;
        case MenuCommand::ZoomOut:
            impl_->view.ZoomOut(impl_->StageRect(), w, h);
            return;
        case MenuCommand::ShowAll:
            impl_->view.ShowAll();
            return;
        case MenuCommand::QualityLow:
            impl_->runtime.SetQualityLevel(Quality::Low);
            return;
        case MenuCommand::QualityMedium:
            impl_->runtime.SetQualityLevel(Quality::Medium);
            return;
        case MenuCommand::QualityHigh:
            impl_->runtime.SetQualityLevel(Quality::High);
            return;
        case MenuCommand::Play:
            if (IsPlaying()) {
                StopPlay();
            } else {
                Play();
            }
            return;
        case MenuCommand::Loop:
            SetLooping(!Looping());
            return;
        case MenuCommand::Rewind:
            GotoFrame(0);
            Stop();
            return;
        case MenuCommand::Forward:
            GotoFrame(CurrentFrame() + 1);
            Stop();
            return;
        case MenuCommand::Back:
            if (CurrentFrame() > 0) {
                GotoFrame(CurrentFrame() - 1);
            }
            Stop();
            return;
        case MenuCommand::About:
            return;
    }
}

}  // namespace flash
