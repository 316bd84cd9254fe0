#include "display_object.h"

#include <algorithm>
#include <type_traits>

#include "movie_clip.h"
#include "movie_data.h"
#include "runtime.h"

namespace flash {

DisplayObject::DisplayObject(Runtime& runtime, std::shared_ptr<MovieData> movie,
                             std::uint16_t characterId)
    : runtime_(runtime), movie_(std::move(movie)), characterId_(characterId) {
    runtime_.ObjectCreated();
}

DisplayObject::~DisplayObject() {
    runtime_.ObjectDestroyed();
}

MovieClip* DisplayObject::AsClip() {
    return GetDisplayKind() == DisplayKind::Clip ? static_cast<MovieClip*>(this) : nullptr;
}

Rect DisplayObject::BoundsInParent() const {
    return TransformBounds(matrix_, LocalBounds());
}

GraphicObject::GraphicObject(Runtime& runtime, std::shared_ptr<MovieData> movie,
                             std::uint16_t characterId, const swf::Character& character)
    : DisplayObject(runtime, std::move(movie), characterId), character_(&character) {}

void GraphicObject::SetCharacter(std::uint16_t id, const swf::Character& character) {
    SetCharacterId(id);
    character_ = &character;
}

namespace {

Rect MorphBounds(const swf::MorphShape& morph, std::uint16_t ratio) {
    double t = ratio / 65535.0;
    auto mix = [t](std::int32_t a, std::int32_t b) {
        return static_cast<std::int32_t>(a + (b - a) * t);
    };
    const Rect& s = morph.startBounds;
    const Rect& e = morph.endBounds;
    return Rect{mix(s.xmin, e.xmin), mix(s.xmax, e.xmax), mix(s.ymin, e.ymin), mix(s.ymax, e.ymax)};
}

}  // namespace

Rect GraphicObject::LocalBounds() const {
    return std::visit(
        [&](const auto& c) -> Rect {
            using T = typename std::decay_t<decltype(c)>::element_type;
            if (!c) {
                return EmptyRect();
            }
            if constexpr (std::is_same_v<T, swf::Shape>) {
                return c->bounds;
            } else if constexpr (std::is_same_v<T, swf::MorphShape>) {
                return MorphBounds(*c, Ratio());
            } else if constexpr (std::is_same_v<T, swf::Text>) {
                return TransformBounds(c->matrix, c->bounds);
            } else if constexpr (std::is_same_v<T, swf::EditText>) {
                return c->bounds;
            } else if constexpr (std::is_same_v<T, swf::Bitmap>) {
                auto size = swf::BitmapSize(*c);
                if (!size) {
                    return EmptyRect();
                }
                return Rect{0, size->first * 20, 0, size->second * 20};
            } else {
                return EmptyRect();
            }
        },
        *character_);
}

bool IsReplaceable(const swf::Character& character) {
    return std::holds_alternative<std::shared_ptr<const swf::Shape>>(character) ||
           std::holds_alternative<std::shared_ptr<const swf::MorphShape>>(character) ||
           std::holds_alternative<std::shared_ptr<const swf::Text>>(character) ||
           std::holds_alternative<std::shared_ptr<const swf::Bitmap>>(character);
}

bool IsDisplayable(const swf::Character& character) {
    return !std::holds_alternative<std::shared_ptr<const swf::Font>>(character) &&
           !std::holds_alternative<std::shared_ptr<const swf::Sound>>(character);
}

Rect TransformBounds(const Matrix& m, const Rect& r) {
    return m.Apply(r);
}

Rect UnionBounds(const Rect& a, const Rect& b) {
    if (a.empty()) {
        return b;
    }
    if (b.empty()) {
        return a;
    }
    return Rect{std::min(a.xmin, b.xmin), std::max(a.xmax, b.xmax), std::min(a.ymin, b.ymin),
                std::max(a.ymax, b.ymax)};
}

}  // namespace flash
