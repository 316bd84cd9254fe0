#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "flash/avm1/host.h"
#include "flash/avm1/value.h"
#include "flash/geom.h"
#include "flash/swf/movie.h"

namespace flash {

class ButtonObject;

class MovieClip;
class MovieData;
class Runtime;

// Something on the display list: a shape, morph shape, static text or bitmap (a
// GraphicObject) or a movie clip. Lengths in twips, as the movie stores them.
class DisplayObject {
  public:
    enum class DisplayKind : std::uint8_t { Graphic, Clip, Button };

    DisplayObject(Runtime& runtime, std::shared_ptr<MovieData> movie, std::uint16_t characterId);
    virtual ~DisplayObject();
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    virtual DisplayKind GetDisplayKind() const = 0;
    MovieClip* AsClip();
    const MovieClip* AsClip() const;
    ButtonObject* AsButton();
    // How scripts see the object: clips and buttons have a script face, other objects none.
    virtual avm1::Clip* ScriptClip() { return nullptr; }

    Runtime& GetRuntime() const { return runtime_; }
    MovieData& Movie() const { return *movie_; }
    const std::shared_ptr<MovieData>& SharedMovie() const { return movie_; }
    void SetMovie(std::shared_ptr<MovieData> movie) { movie_ = std::move(movie); }
    std::uint16_t CharacterId() const { return characterId_; }
    void SetCharacterId(std::uint16_t id) { characterId_ = id; }

    // What holds the object: a clip, or a button for the objects of its states; null for a
    // level's root.
    DisplayObject* Container() const { return container_; }
    void SetContainer(DisplayObject* container) { container_ = container; }
    // The clip that holds the object; null for a level's root and inside a button.
    MovieClip* ParentClip() const;
    // Containers between this object and its level's root.
    int NestingDepth() const;
    int Depth() const { return depth_; }
    void SetDepth(int depth) { depth_ = depth; }
    // The frame of the parent's timeline that placed this object; -1 when a script did.
    int PlaceFrame() const { return placeFrame_; }
    void SetPlaceFrame(int frame) { placeFrame_ = frame; }
    bool PlacedByTimeline() const { return placeFrame_ >= 0; }

    const Matrix& GetMatrix() const { return matrix_; }
    void SetMatrix(const Matrix& m) { matrix_ = m; }
    const ColorTransform& GetColorTransform() const { return colorTransform_; }
    void SetColorTransform(const ColorTransform& c) { colorTransform_ = c; }
    std::uint16_t Ratio() const { return ratio_; }
    void SetRatio(std::uint16_t ratio) { ratio_ = ratio; }
    std::uint16_t ClipDepth() const { return clipDepth_; }
    void SetClipDepth(std::uint16_t depth) { clipDepth_ = depth; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    const avm1::String& InstanceName() const { return name_; }
    void SetInstanceName(avm1::String name) { name_ = std::move(name); }
    // Once a script moves, scales, turns or colours an object, the timeline leaves its
    // transform alone.
    bool ScriptTransformed() const { return scriptTransformed_; }
    void SetScriptTransformed() { scriptTransformed_ = true; }

    // Removed from the display list (it may still run its last queued actions).
    bool Removed() const { return removed_; }
    void MarkRemoved() { removed_ = true; }

    // The object's own _focusrect; unset, the movie's choice applies.
    std::optional<bool> OwnFocusRect() const { return focusRect_; }
    void SetOwnFocusRect(std::optional<bool> on) { focusRect_ = on; }

    // Bounds in the object's own space (twips); empty when it has nothing to show.
    virtual Rect LocalBounds() const = 0;
    // Bounds in the parent's space.
    Rect BoundsInParent() const;
    // Whether a point in the object's own twips falls on what it shows (for shapes their
    // fills and strokes, not just their bounds).
    virtual bool HitsPoint(Point local) const = 0;
    // From the object's own twips to its level's stage twips.
    Matrix ToStage() const;

    // The objects it holds: a clip's display list, a button's current state.
    virtual void ForEachChild(const std::function<void(DisplayObject&)>& /*visit*/) const {}

    // The clip actions (onClipEvent handlers) the placing tag gave.
    const swf::PlaceObject* PlacedBy() const { return placedBy_; }
    void SetPlacedBy(const swf::PlaceObject* place) { placedBy_ = place; }

  private:
    Runtime& runtime_;
    std::shared_ptr<MovieData> movie_;
    std::uint16_t characterId_;
    DisplayObject* container_ = nullptr;
    int depth_ = 0;
    int placeFrame_ = -1;
    Matrix matrix_;
    ColorTransform colorTransform_;
    std::uint16_t ratio_ = 0;
    std::uint16_t clipDepth_ = 0;
    bool visible_ = true;
    bool scriptTransformed_ = false;
    bool removed_ = false;
    std::optional<bool> focusRect_;
    avm1::String name_;
    const swf::PlaceObject* placedBy_ = nullptr;
};

// A character drawn as it is: shape, morph shape, static text, bitmap, and for now edit text,
// which has no behaviour yet.
class GraphicObject final : public DisplayObject {
  public:
    GraphicObject(Runtime& runtime, std::shared_ptr<MovieData> movie, std::uint16_t characterId,
                  const swf::Character& character);
    ~GraphicObject() override;
    DisplayKind GetDisplayKind() const override { return DisplayKind::Graphic; }
    const swf::Character& Character() const { return *character_; }
    void SetCharacter(std::uint16_t id, const swf::Character& character);
    Rect LocalBounds() const override;
    bool HitsPoint(Point local) const override;

  private:
    const swf::Character* character_;
};

// Whether a character may replace another inside an existing instance (the graphic kinds).
bool IsReplaceable(const swf::Character& character);
// Whether a character makes a display object at all (fonts and sounds do not).
bool IsDisplayable(const swf::Character& character);

// Bounds of a rect under a matrix; empty stays empty.
Rect TransformBounds(const Matrix& m, const Rect& r);
// Union of two rects, ignoring empty ones.
Rect UnionBounds(const Rect& a, const Rect& b);
inline Rect EmptyRect() {
    return Rect{1, 0, 1, 0};
}

}  // namespace flash
