#pragma once

// Buttons (DefineButton, DefineButton2, with DefineButtonCxform and DefineButtonSound merged in).

#include <cstdint>
#include <optional>
#include <vector>

#include "flash/geom.h"
#include "flash/swf/display.h"
#include "flash/swf/sound.h"

namespace flash::swf {

enum ButtonState : std::uint8_t {
    kButtonUp = 0x01,
    kButtonOver = 0x02,
    kButtonDown = 0x04,
    kButtonHitTest = 0x08,
};

struct ButtonRecord {
    std::uint8_t states = 0;  // ButtonState bits
    std::uint16_t characterId = 0;
    std::uint16_t depth = 0;
    Matrix matrix;
    ColorTransform colorTransform;  // DefineButton2; identity otherwise
    std::vector<Filter> filters;
    BlendMode blendMode = BlendMode::Normal;
    bool operator==(const ButtonRecord&) const = default;
};

// Condition bits of a button action (DefineButton actions run on OverDownToOverUp).
enum ButtonCondition : std::uint16_t {
    kCondOverDownToIdle = 0x0001,
    kCondIdleToOverUp = 0x0100,
    kCondOverUpToIdle = 0x0200,
    kCondOverUpToOverDown = 0x0400,
    kCondOverDownToOverUp = 0x0800,
    kCondOverDownToOutDown = 0x1000,
    kCondOutDownToOverDown = 0x2000,
    kCondOutDownToIdle = 0x4000,
    kCondIdleToOverDown = 0x8000,
};

struct ButtonAction {
    std::uint16_t conditions = 0;  // ButtonCondition bits
    std::uint8_t keyCode = 0;      // key press condition, 0 for none
    std::vector<std::uint8_t> actions;
    bool operator==(const ButtonAction&) const = default;
};

struct ButtonSound {
    std::uint16_t soundId = 0;  // 0 for none
    SoundInfo info;
    bool operator==(const ButtonSound&) const = default;
};

struct Button {
    int version = 1;  // 1 or 2
    bool trackAsMenu = false;
    std::vector<ButtonRecord> records;
    std::vector<ButtonAction> actions;
    std::optional<ColorTransform> colorTransform;  // DefineButtonCxform
    // DefineButtonSound, in stored order: OverUpToIdle, IdleToOverUp, OverUpToOverDown,
    // OverDownToOverUp.
    ButtonSound sounds[4];
    bool operator==(const Button&) const = default;
};

}  // namespace flash::swf
