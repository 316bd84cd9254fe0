#pragma once

// Display list tags: PlaceObject 1-3 with their filters, blend modes and clip actions, and
// RemoveObject 1-2.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "flash/geom.h"

namespace flash::swf {

enum class BlendMode : std::uint8_t {
    Normal = 1,  // 0 is stored for normal too
    Layer = 2,
    Multiply = 3,
    Screen = 4,
    Lighten = 5,
    Darken = 6,
    Difference = 7,
    Add = 8,
    Subtract = 9,
    Invert = 10,
    Alpha = 11,
    Erase = 12,
    Overlay = 13,
    Hardlight = 14,
};

// Blur, angle and distance are in pixels and radians as stored (16.16 fixed point).
struct DropShadowFilter {
    Rgba color;
    double blurX = 0, blurY = 0, angle = 0, distance = 0, strength = 0;
    bool inner = false, knockout = false, compositeSource = false;
    std::uint8_t passes = 0;
    bool operator==(const DropShadowFilter&) const = default;
};
struct BlurFilter {
    double blurX = 0, blurY = 0;
    std::uint8_t passes = 0;
    bool operator==(const BlurFilter&) const = default;
};
struct GlowFilter {
    Rgba color;
    double blurX = 0, blurY = 0, strength = 0;
    bool inner = false, knockout = false, compositeSource = false;
    std::uint8_t passes = 0;
    bool operator==(const GlowFilter&) const = default;
};
struct BevelFilter {
    Rgba shadowColor;
    Rgba highlightColor;
    double blurX = 0, blurY = 0, angle = 0, distance = 0, strength = 0;
    bool inner = false, knockout = false, compositeSource = false, onTop = false;
    std::uint8_t passes = 0;
    bool operator==(const BevelFilter&) const = default;
};
// Gradient glow and gradient bevel share one layout.
struct GradientFilter {
    bool bevel = false;  // false: gradient glow
    std::vector<Rgba> colors;
    std::vector<std::uint8_t> ratios;
    double blurX = 0, blurY = 0, angle = 0, distance = 0, strength = 0;
    bool inner = false, knockout = false, compositeSource = false, onTop = false;
    std::uint8_t passes = 0;
    bool operator==(const GradientFilter&) const = default;
};
struct ConvolutionFilter {
    std::uint8_t matrixX = 0, matrixY = 0;
    float divisor = 1, bias = 0;
    std::vector<float> matrix;  // matrixX * matrixY values, row by row
    Rgba defaultColor;
    bool clamp = false, preserveAlpha = false;
    bool operator==(const ConvolutionFilter&) const = default;
};
struct ColorMatrixFilter {
    float matrix[20] = {};
    bool operator==(const ColorMatrixFilter&) const = default;
};

using Filter = std::variant<DropShadowFilter, BlurFilter, GlowFilter, BevelFilter, GradientFilter,
                            ConvolutionFilter, ColorMatrixFilter>;

// Clip event masks as read little-endian (the SWF 5 form fills the low 16 bits).
enum ClipEvent : std::uint32_t {
    kClipLoad = 0x00000001,
    kClipEnterFrame = 0x00000002,
    kClipUnload = 0x00000004,
    kClipMouseMove = 0x00000008,
    kClipMouseDown = 0x00000010,
    kClipMouseUp = 0x00000020,
    kClipKeyDown = 0x00000040,
    kClipKeyUp = 0x00000080,
    kClipData = 0x00000100,
    kClipInitialize = 0x00000200,
    kClipPress = 0x00000400,
    kClipRelease = 0x00000800,
    kClipReleaseOutside = 0x00001000,
    kClipRollOver = 0x00002000,
    kClipRollOut = 0x00004000,
    kClipDragOver = 0x00008000,
    kClipDragOut = 0x00010000,
    kClipKeyPress = 0x00020000,
    kClipConstruct = 0x00040000,
};

// One onClipEvent handler: its events (ClipEvent masks), the key of a key press event and the
// raw action bytes for the interpreter.
struct ClipAction {
    std::uint32_t events = 0;
    std::uint8_t keyCode = 0;
    std::vector<std::uint8_t> actions;
    bool operator==(const ClipAction&) const = default;
};

// PlaceObject (version 1), PlaceObject2 and PlaceObject3. Fields the tag leaves out are empty.
// Version 1 always has a character and a matrix and never moves.
struct PlaceObject {
    int version = 1;
    std::uint16_t depth = 0;
    bool move = false;  // modify (or, with a character, replace) what is at the depth
    std::optional<std::uint16_t> characterId;
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<std::uint16_t> ratio;
    std::optional<std::string> name;  // bytes as stored
    std::optional<std::uint16_t> clipDepth;
    std::optional<std::string> className;  // PlaceObject3
    std::optional<std::vector<Filter>> filters;
    std::optional<BlendMode> blendMode;
    std::optional<bool> cacheAsBitmap;
    std::optional<bool> visible;
    std::optional<Rgba> backgroundColor;
    std::vector<ClipAction> clipActions;
    bool operator==(const PlaceObject&) const = default;
};

// RemoveObject (version 1, with the character id) and RemoveObject2.
struct RemoveObject {
    std::uint16_t depth = 0;
    std::optional<std::uint16_t> characterId;
    bool operator==(const RemoveObject&) const = default;
};

}  // namespace flash::swf
