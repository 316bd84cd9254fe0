#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "flash/geom.h"
#include "flash/swf/morph.h"
#include "flash/swf/shape.h"
#include "swfgen/bit_writer.h"

namespace swfgen {

// Writes FILLSTYLE and LINESTYLE records as a shape of the given version stores them.
void WriteFillStyle(BitWriter& w, const flash::swf::FillStyle& fill, int shapeVersion);
void WriteLineStyle(BitWriter& w, const flash::swf::LineStyle& line, int shapeVersion);

// Builds the styles and the edge records of a shape, a glyph or one side of a morph shape.
// Coordinates are absolute twips; style indexes are 1-based into the current style group.
class ShapeBuilder {
  public:
    ShapeBuilder();
    // The records that give back `shape` (or a glyph's edges) when read.
    static ShapeBuilder FromShape(const flash::swf::Shape& shape);
    static ShapeBuilder FromEdges(const std::vector<flash::swf::Edge>& edges);

    std::uint16_t AddFill(const flash::swf::FillStyle& fill);
    std::uint16_t AddSolidFill(flash::Rgba color);
    std::uint16_t AddLine(const flash::swf::LineStyle& line);
    std::uint16_t AddLine(std::uint16_t width, flash::Rgba color);
    // Starts a new style group (DefineShape2 and later); later Add* calls fill it.
    ShapeBuilder& NewStyles();

    ShapeBuilder& Fill0(std::uint16_t index);
    ShapeBuilder& Fill1(std::uint16_t index);
    ShapeBuilder& Line(std::uint16_t index);
    ShapeBuilder& MoveTo(std::int32_t x, std::int32_t y);
    ShapeBuilder& LineTo(std::int32_t x, std::int32_t y);
    ShapeBuilder& CurveTo(std::int32_t cx, std::int32_t cy, std::int32_t x, std::int32_t y);
    // A closed rectangle path, clockwise on screen (y down), with the current styles.
    ShapeBuilder& Rectangle(const flash::Rect& r);

    // The box of all points, widened by half the widest line.
    flash::Rect Bounds() const;

    // The body of DefineShape (version 1), DefineShape2, 3 or 4.
    Bytes DefineShape(std::uint16_t id, int version) const;
    // A SHAPE record for a font glyph: one fill bit, no lines, no style arrays.
    Bytes GlyphShape() const;
    // The records alone with the given index widths; style changes other than moves are left
    // out when `movesOnly` (the end edges of a morph shape).
    void WriteRecords(BitWriter& w, unsigned fillBits, unsigned lineBits, int version,
                      bool movesOnly = false) const;

  private:
    struct Group {
        std::vector<flash::swf::FillStyle> fills;
        std::vector<flash::swf::LineStyle> lines;
    };
    using Move = std::pair<std::int32_t, std::int32_t>;
    struct Op {
        enum Kind { kStyle, kStraight, kCurve } kind = kStyle;
        // kStyle
        std::optional<Move> move;
        std::optional<std::uint16_t> fill0, fill1, line;
        std::optional<std::size_t> group;
        // edges: deltas
        std::int32_t dx = 0, dy = 0, cdx = 0, cdy = 0;
    };
    Op& PendingStyle();
    void AddEdges(const std::vector<flash::swf::Edge>& edges);
    void Touch(std::int64_t x, std::int64_t y);
    void WriteStyleArrays(BitWriter& w, const Group& g, int version) const;
    void WriteStyleChange(BitWriter& w, const std::optional<Move>& move,
                          std::optional<std::uint16_t> fill0, std::optional<std::uint16_t> fill1,
                          std::optional<std::uint16_t> line, const Group* newStyles, int version,
                          unsigned fillBits, unsigned lineBits) const;

    std::vector<Group> groups_;
    std::vector<Op> ops_;
    std::int64_t x_ = 0, y_ = 0;
    std::optional<flash::Rect> box_;
    std::uint16_t widestLine_ = 0;
};

// A morph shape: start and end styles side by side, start edges with their styles, end
// edges with moves only.
struct MorphShapeBuilder {
    std::vector<flash::swf::MorphFillStyle> fills;
    std::vector<flash::swf::MorphLineStyle> lines;
    ShapeBuilder start;
    ShapeBuilder end;

    // The body of DefineMorphShape (version 1) or DefineMorphShape2.
    Bytes DefineMorphShape(std::uint16_t id, int version) const;
};

}  // namespace swfgen
