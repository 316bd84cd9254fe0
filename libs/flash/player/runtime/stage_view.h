#pragma once

// What Stage and System.capabilities read and change of the view a player shows in: its
// scale mode (shared with the control's ScaleMode), size, alignment, full screen, and the
// screen it is on. The player implements it.

#include <cstdint>
#include <utility>

namespace flash {

struct ScreenInfo {
    int width = 1920;
    int height = 1080;
    double dpi = 72;
};

class StageView {
  public:
    virtual ~StageView() = default;
    virtual int ScaleMode() const = 0;
    virtual void SetScaleMode(int mode) = 0;
    // The view and the movie's stage, in pixels.
    virtual std::pair<int, int> ViewSize() const = 0;
    virtual std::pair<int, int> StageSize() const = 0;
    // Bits 1 left, 2 top, 4 right, 8 bottom.
    virtual std::uint8_t Align() const = 0;
    virtual void SetAlign(std::uint8_t align) = 0;
    virtual bool FullScreen() const = 0;
    virtual void SetFullScreen(bool on) = 0;
    virtual ScreenInfo Screen() const = 0;
};

}  // namespace flash

namespace flash {

// A view that keeps what it is told, for a runtime without a player around it.
class FixedStageView final : public StageView {
  public:
    int ScaleMode() const override { return scaleMode_; }
    void SetScaleMode(int mode) override { scaleMode_ = mode; }
    std::pair<int, int> ViewSize() const override { return {550, 400}; }
    std::pair<int, int> StageSize() const override { return {550, 400}; }
    std::uint8_t Align() const override { return align_; }
    void SetAlign(std::uint8_t align) override { align_ = align; }
    bool FullScreen() const override { return fullScreen_; }
    void SetFullScreen(bool on) override { fullScreen_ = on; }
    ScreenInfo Screen() const override { return {}; }

  private:
    int scaleMode_ = 0;
    std::uint8_t align_ = 0;
    bool fullScreen_ = false;
};

}  // namespace flash
