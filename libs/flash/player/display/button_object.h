#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "display/timeless_clip.h"
#include "flash/swf/button.h"

namespace flash {

// A DefineButton or DefineButton2 instance. It shows the characters of one state (up, over or
// down) and is hit where the characters of its hit state are. Scripts see it as a Button.
class ButtonObject final : public TimelessClip {
  public:
    enum class State : std::uint8_t { Up, Over, Down };

    ButtonObject(Runtime& runtime, std::shared_ptr<MovieData> movie, std::uint16_t characterId,
                 const swf::Button& button);
    ~ButtonObject() override;

    const swf::Button& Definition() const { return *button_; }

    DisplayKind GetDisplayKind() const override { return DisplayKind::Button; }
    // The bounds and hits of what the current state shows.
    Rect LocalBounds() const override;
    bool HitsPoint(Point local) const override;
    void ForEachChild(const std::function<void(DisplayObject&)>& visit) const override;

    // Whether a point in the button's twips is in its hit area.
    bool HitAreaContains(Point local) const;

    State CurrentState() const { return state_; }
    // Shows a state. Objects the new state shares with the shown one (same depth, same
    // character) stay as they are, so clips in them play on; the rest are made anew.
    // The first call, when the button enters the display list, makes the up state.
    void SetState(State state);

    avm1::ClipKind Kind() const override { return avm1::ClipKind::Button; }

  private:
    struct Part {
        const swf::ButtonRecord* record = nullptr;
        std::unique_ptr<DisplayObject> object;
    };

    static std::uint8_t StateBit(State state);
    void Show(State state);

    const swf::Button* button_;
    State state_ = State::Up;
    bool built_ = false;
    std::map<int, Part> parts_;  // by record depth
};

}  // namespace flash
