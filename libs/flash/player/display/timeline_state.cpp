#include "display/timeline_state.h"

#include <algorithm>

#include "runtime/movie_data.h"

namespace flash {

namespace {

void ApplyProperties(const swf::PlaceObject& place, DepthState& s) {
    if (place.matrix) {
        s.matrix = *place.matrix;
        s.matrixChanged = true;
    }
    if (place.colorTransform) {
        s.colorTransform = *place.colorTransform;
        s.colorChanged = true;
    }
    if (place.ratio) {
        s.ratio = *place.ratio;
        s.ratioChanged = true;
    }
    if (place.name) {
        s.name = place.name;
        s.nameChanged = true;
    }
    if (place.clipDepth) {
        s.clipDepth = *place.clipDepth;
        s.clipDepthChanged = true;
    }
    if (place.blendMode) {
        s.blendMode = place.blendMode;
    }
    if (place.visible) {
        s.visible = place.visible;
    }
}

void Place(const swf::PlaceObject& place, int frame, DepthMap& state,
           const std::function<bool(std::uint16_t)>& replaceable, std::uint64_t& order) {
    auto it = state.find(place.depth);
    bool occupied = it != state.end();
    if (place.move) {
        if (!occupied) {
            // Flash ignores a move to an empty depth, even with a character.
            return;
        }
        DepthState& s = it->second;
        if (place.characterId && *place.characterId != s.characterId &&
            replaceable(s.characterId) && replaceable(*place.characterId)) {
            s.characterId = *place.characterId;
        }
        ApplyProperties(place, s);
        return;
    }
    if (!place.characterId) {
        return;
    }
    DepthState s;
    s.characterId = *place.characterId;
    s.placeFrame = frame;
    s.order = ++order;
    s.placedBy = &place;
    s.matrixChanged = s.colorChanged = s.ratioChanged = s.nameChanged = s.clipDepthChanged = true;
    ApplyProperties(place, s);
    state[place.depth] = std::move(s);
}

}  // namespace

int ApplyDisplayTag(const swf::Tag& tag, int frame, DepthMap& state,
                    const std::function<bool(std::uint16_t)>& replaceable, std::uint64_t& order) {
    if (const auto* place = std::get_if<swf::PlaceObject>(&tag)) {
        Place(*place, frame, state, replaceable, order);
        return place->depth;
    }
    if (const auto* remove = std::get_if<swf::RemoveObject>(&tag)) {
        state.erase(remove->depth);
        return remove->depth;
    }
    return -1;
}

void ApplyDisplayTags(const Timeline& timeline, int from, int to, DepthMap& state,
                      const std::function<bool(std::uint16_t)>& replaceable, std::uint64_t& order) {
    for (int frame = std::max(from, 0); frame <= to && frame < timeline.FrameCount(); ++frame) {
        for (const auto& tag : timeline.Frame(frame).tags) {
            ApplyDisplayTag(tag, frame, state, replaceable, order);
        }
    }
}

}  // namespace flash
