#include "display/button_object.h"

#include <vector>

#include "display/movie_clip.h"
#include "display/timeline_state.h"
#include "input/shape_hits.h"
#include "runtime/movie_data.h"
#include "runtime/runtime.h"

namespace flash {

namespace {

// Sprites in a hit area count with what their first frame shows; this deep at most.
constexpr int kMaxHitNesting = 16;

bool CharacterTreeHits(MovieData& movie, std::uint16_t id, Point p, int nesting) {
    const swf::Character* c = movie.Character(id);
    if (c == nullptr || nesting > kMaxHitNesting) {
        return false;
    }
    if (auto sprite = std::get_if<std::shared_ptr<const swf::Sprite>>(c)) {
        if (!*sprite) {
            return false;
        }
        const Timeline& timeline = movie.SpriteTimeline(**sprite);
        if (timeline.FrameCount() == 0) {
            return false;
        }
        DepthMap state;
        std::uint64_t order = 0;
        ApplyDisplayTags(
            timeline, 0, 0, state, [](std::uint16_t) { return false; }, order);
        for (const auto& [depth, s] : state) {
            std::optional<Matrix> inverse = s.matrix.Inverted();
            if (s.clipDepth == 0 && inverse &&
                CharacterTreeHits(movie, s.characterId, inverse->Apply(p), nesting + 1)) {
                return true;
            }
        }
        return false;
    }
    if (auto button = std::get_if<std::shared_ptr<const swf::Button>>(c)) {
        if (!*button) {
            return false;
        }
        for (const swf::ButtonRecord& r : (*button)->records) {
            std::optional<Matrix> inverse = r.matrix.Inverted();
            if ((r.states & swf::kButtonHitTest) != 0 && inverse &&
                CharacterTreeHits(movie, r.characterId, inverse->Apply(p), nesting + 1)) {
                return true;
            }
        }
        return false;
    }
    return CharacterHits(*c, 0, p);
}

}  // namespace

ButtonObject::ButtonObject(Runtime& runtime, std::shared_ptr<MovieData> movie,
                           std::uint16_t characterId, const swf::Button& button)
    : TimelessClip(runtime, std::move(movie), characterId), button_(&button) {}

ButtonObject::~ButtonObject() = default;

std::uint8_t ButtonObject::StateBit(State state) {
    switch (state) {
        case State::Over:
            return swf::kButtonOver;
        case State::Down:
            return swf::kButtonDown;
        case State::Up:
            break;
    }
    return swf::kButtonUp;
}

void ButtonObject::SetState(State state) {
    if (built_ && state == state_) {
        return;
    }
    built_ = true;
    state_ = state;
    Show(state);
}

void ButtonObject::Show(State state) {
    std::uint8_t bit = StateBit(state);
    std::map<int, const swf::ButtonRecord*> wanted;
    for (const swf::ButtonRecord& r : button_->records) {
        if ((r.states & bit) != 0) {
            wanted[r.depth] = &r;
        }
    }
    // Take off what the new state does not show at its depth.
    for (auto it = parts_.begin(); it != parts_.end();) {
        auto w = wanted.find(it->first);
        if (w != wanted.end() && w->second->characterId == it->second.record->characterId) {
            it->second.record = w->second;
            ++it;
            continue;
        }
        std::unique_ptr<DisplayObject> gone = std::move(it->second.object);
        it = parts_.erase(it);
        GetRuntime().Discard(std::move(gone), true);
    }
    // Every new part is made before any of them starts, as Flash builds a state.
    std::vector<DisplayObject*> made;
    for (const auto& [depth, record] : wanted) {
        auto existing = parts_.find(depth);
        if (existing != parts_.end()) {
            existing->second.object->SetMatrix(record->matrix);
            continue;
        }
        std::unique_ptr<DisplayObject> object =
            GetRuntime().Instantiate(SharedMovie(), record->characterId, *this);
        if (!object) {
            continue;
        }
        object->SetContainer(this);
        object->SetDepth(depth);
        object->SetMatrix(record->matrix);
        // DefineButtonCxform colours the whole of a first-version button.
        object->SetColorTransform(button_->colorTransform.value_or(record->colorTransform));
        object->SetInstanceName(GetRuntime().NextInstanceName());
        made.push_back(object.get());
        parts_[depth] = Part{record, std::move(object)};
    }
    for (DisplayObject* object : made) {
        if (Removed()) {
            return;
        }
        GetRuntime().ObjectPlaced(*object);
    }
}

Rect ButtonObject::LocalBounds() const {
    Rect bounds = EmptyRect();
    for (const auto& [depth, part] : parts_) {
        bounds = UnionBounds(bounds, part.object->BoundsInParent());
    }
    return bounds;
}

bool ButtonObject::HitsPoint(Point local) const {
    for (const auto& [depth, part] : parts_) {
        std::optional<Matrix> inverse = part.object->GetMatrix().Inverted();
        if (part.object->Visible() && inverse && part.object->HitsPoint(inverse->Apply(local))) {
            return true;
        }
    }
    return false;
}

bool ButtonObject::HitAreaContains(Point local) const {
    for (const swf::ButtonRecord& r : button_->records) {
        std::optional<Matrix> inverse = r.matrix.Inverted();
        if ((r.states & swf::kButtonHitTest) != 0 && inverse &&
            CharacterTreeHits(Movie(), r.characterId, inverse->Apply(local), 0)) {
            return true;
        }
    }
    return false;
}

void ButtonObject::ForEachChild(const std::function<void(DisplayObject&)>& visit) const {
    for (const auto& [depth, part] : parts_) {
        visit(*part.object);
    }
}

}  // namespace flash
