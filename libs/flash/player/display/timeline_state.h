#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "flash/geom.h"
#include "flash/swf/display.h"
#include "flash/swf/movie.h"

namespace flash {

class Timeline;

// What a timeline's display tags leave at one depth.
struct DepthState {
    std::uint16_t characterId = 0;
    int placeFrame = 0;                          // frame whose PlaceObject made this instance
    const void* instance = nullptr;              // the live object this state started from, if any
    std::uint64_t order = 0;                     // when the instance was placed, for creation order
    const swf::PlaceObject* placedBy = nullptr;  // the tag that made it (clip actions)
    Matrix matrix;
    ColorTransform colorTransform;
    std::uint16_t ratio = 0;
    std::optional<std::string> name;  // bytes as stored
    std::uint16_t clipDepth = 0;
    std::optional<swf::BlendMode> blendMode;
    std::optional<bool> visible;
    // Set when a tag changed the property, so a live object is only touched where the
    // timeline moved it.
    bool matrixChanged = false;
    bool colorChanged = false;
    bool ratioChanged = false;
    bool nameChanged = false;
    bool clipDepthChanged = false;
};

using DepthMap = std::map<int, DepthState>;

// Applies the PlaceObject and RemoveObject tags of frames [from, to] of a timeline to
// `state`. `replaceable(id)` tells whether a character may take the place of another in an
// existing instance (shapes, morphs, text, bitmaps); a PlaceObject that moves with a new
// character swaps it in place then, and leaves other instances as they are. A PlaceObject
// without the move flag over an occupied depth makes a new instance. `order` numbers the
// placements in tag order.
void ApplyDisplayTags(const Timeline& timeline, int from, int to, DepthMap& state,
                      const std::function<bool(std::uint16_t)>& replaceable, std::uint64_t& order);

// The same for one tag of frame `frame`; returns the depth it touched, or -1 for a tag that
// is not a PlaceObject or RemoveObject.
int ApplyDisplayTag(const swf::Tag& tag, int frame, DepthMap& state,
                    const std::function<bool(std::uint16_t)>& replaceable, std::uint64_t& order);

}  // namespace flash
