#include "display/display_object.h"

#include <algorithm>

#include "display/button_object.h"
#include "display/movie_clip.h"
#include "flash/render/bitmap_decode.h"
#include "input/shape_hits.h"
#include "runtime/movie_data.h"
#include "runtime/runtime.h"

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

const MovieClip* DisplayObject::AsClip() const {
    return GetDisplayKind() == DisplayKind::Clip ? static_cast<const MovieClip*>(this) : nullptr;
}

ButtonObject* DisplayObject::AsButton() {
    return GetDisplayKind() == DisplayKind::Button ? static_cast<ButtonObject*>(this) : nullptr;
}

MovieClip* DisplayObject::ParentClip() const {
    return container_ != nullptr ? container_->AsClip() : nullptr;
}

int DisplayObject::NestingDepth() const {
    int depth = 0;
    for (const DisplayObject* p = container_; p != nullptr; p = p->container_) {
        ++depth;
    }
    return depth;
}

Rect DisplayObject::BoundsInParent() const {
    return TransformBounds(matrix_, LocalBounds());
}

Matrix DisplayObject::ToStage() const {
    Matrix m = matrix_;
    for (const DisplayObject* p = container_; p != nullptr; p = p->container_) {
        m = p->matrix_ * m;
    }
    return m;
}

GraphicObject::GraphicObject(Runtime& runtime, std::shared_ptr<MovieData> movie,
                             std::uint16_t characterId, const swf::Character& character)
    : DisplayObject(runtime, std::move(movie), characterId), character_(&character) {}

GraphicObject::~GraphicObject() = default;

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
    const swf::Character& c = *character_;
    if (auto shape = std::get_if<std::shared_ptr<const swf::Shape>>(&c); shape && *shape) {
        return (*shape)->bounds;
    }
    if (auto morph = std::get_if<std::shared_ptr<const swf::MorphShape>>(&c); morph && *morph) {
        return MorphBounds(**morph, Ratio());
    }
    if (auto text = std::get_if<std::shared_ptr<const swf::Text>>(&c); text && *text) {
        return TransformBounds((*text)->matrix, (*text)->bounds);
    }
    if (auto edit = std::get_if<std::shared_ptr<const swf::EditText>>(&c); edit && *edit) {
        return (*edit)->bounds;
    }
    if (auto video = std::get_if<std::shared_ptr<const swf::VideoStream>>(&c); video && *video) {
        return Rect{0, (*video)->width * 20, 0, (*video)->height * 20};
    }
    if (auto bitmap = std::get_if<std::shared_ptr<const swf::Bitmap>>(&c); bitmap && *bitmap) {
        if (auto size = render::BitmapSize(**bitmap)) {
            return Rect{0, size->first * 20, 0, size->second * 20};
        }
    }
    return EmptyRect();
}

bool GraphicObject::HitsPoint(Point local) const {
    return CharacterHits(*character_, Ratio(), local);
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
