#pragma once

// What scripts draw into a clip with moveTo, lineTo, curveTo and the fill and line styles:
// kept as a shape the renderer, the bounds and the hit tests use like any other.

#include <cstdint>
#include <memory>
#include <optional>

#include "flash/geom.h"
#include "flash/swf/shape.h"

namespace flash {

class Drawing {
  public:
    // Ends the open fill (closing it) and starts a new one at the pen.
    void BeginFill(const swf::FillStyle& fill);
    // Closes the open fill back to where it started; without an open fill does nothing.
    void EndFill();
    // The line for the edges that follow; nullopt draws none.
    void SetLineStyle(const std::optional<swf::LineStyle>& line);
    const std::optional<swf::LineStyle>& CurrentLine() const { return lineStyle_; }
    // Twips, in the clip's space.
    void MoveTo(Point p);
    void LineTo(Point p);
    void CurveTo(Point control, Point to);
    // Forgets everything drawn and the styles; the pen goes back to 0,0.
    void Clear();

    bool Empty() const { return shape_->layers.empty(); }
    // The drawn shape; a new object after every change, so caches keyed by it stay right.
    std::shared_ptr<const swf::Shape> Shape() const;
    // Counts changes: equal revisions draw equal pixels.
    std::uint64_t Revision() const { return revision_; }
    // Bounds with strokes, in twips; empty when nothing is drawn.
    Rect Bounds() const;

  private:
    swf::ShapeLayer& Layer();
    void AddEdge(Point control, Point to, bool curved, std::uint16_t line);
    swf::Edge ClosingEdge() const;
    void CloseFill();
    void Changed();

    std::shared_ptr<swf::Shape> shape_ = std::make_shared<swf::Shape>();
    mutable std::shared_ptr<const swf::Shape> published_;
    Point pen_;
    Point fillStart_;
    bool filling_ = false;
    std::uint16_t line_ = 0;  // 1-based in the current layer; 0 for none
    std::optional<swf::LineStyle> lineStyle_;
    std::uint64_t revision_ = 0;
};

}  // namespace flash
