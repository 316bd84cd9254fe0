#include "swfgen/shape_builder.h"

#include <algorithm>
#include <stdexcept>

namespace swfgen {

using namespace flash::swf;

namespace {

void WriteColor(BitWriter& w, flash::Rgba c, bool alpha) {
    if (alpha) {
        w.Rgba(c);
    } else {
        w.Rgb(c);
    }
}

void WriteStyleCount(BitWriter& w, std::size_t count, int version) {
    if (count >= 0xFF && version >= 2) {
        w.U8(0xFF);
        w.U16(static_cast<std::uint16_t>(count));
    } else {
        w.U8(static_cast<std::uint8_t>(count));
    }
}

std::uint8_t GradientHeader(const Gradient& g) {
    return static_cast<std::uint8_t>(static_cast<unsigned>(g.spread) << 6 |
                                     static_cast<unsigned>(g.interpolation) << 4 |
                                     (g.records.size() & 0x0F));
}

void WriteLineFlags(BitWriter& w, const LineStyle& s) {
    w.UB(static_cast<unsigned>(s.startCap), 2);
    w.UB(static_cast<unsigned>(s.join), 2);
    w.Flag(s.hasFill);
    w.Flag(s.noHScale);
    w.Flag(s.noVScale);
    w.Flag(s.pixelHinting);
    w.UB(0, 5);
    w.Flag(s.noClose);
    w.UB(static_cast<unsigned>(s.endCap), 2);
    if (s.join == JoinStyle::Miter) {
        w.Fixed8(s.miterLimit);
    }
}

}  // namespace

void WriteFillStyle(BitWriter& w, const FillStyle& f, int shapeVersion) {
    w.U8(static_cast<std::uint8_t>(f.type));
    if (f.type == FillType::Solid) {
        WriteColor(w, f.color, shapeVersion >= 3);
    } else if (f.IsGradient()) {
        w.Matrix(f.matrix);
        w.U8(GradientHeader(f.gradient));
        for (const auto& r : f.gradient.records) {
            w.U8(r.ratio);
            WriteColor(w, r.color, shapeVersion >= 3);
        }
        if (f.type == FillType::FocalRadialGradient) {
            w.Fixed8(f.gradient.focalPoint);
        }
    } else {
        w.U16(f.bitmapId);
        w.Matrix(f.matrix);
    }
}

void WriteLineStyle(BitWriter& w, const LineStyle& s, int shapeVersion) {
    w.U16(s.width);
    if (shapeVersion < 4) {
        WriteColor(w, s.color, shapeVersion >= 3);
        return;
    }
    WriteLineFlags(w, s);
    if (s.hasFill) {
        WriteFillStyle(w, s.fill, shapeVersion);
    } else {
        w.Rgba(s.color);
    }
}

ShapeBuilder::ShapeBuilder() : groups_(1) {}

void ShapeBuilder::AddEdges(const std::vector<Edge>& edges) {
    std::uint16_t fill0 = 0, fill1 = 0, line = 0;
    bool first = true;
    for (const Edge& e : edges) {
        const auto x = static_cast<std::int32_t>(e.from.x);
        const auto y = static_cast<std::int32_t>(e.from.y);
        if (first || x != x_ || y != y_) {
            MoveTo(x, y);
        }
        if (first || e.fill0 != fill0) {
            Fill0(fill0 = e.fill0);
        }
        if (first || e.fill1 != fill1) {
            Fill1(fill1 = e.fill1);
        }
        if (first || e.line != line) {
            Line(line = e.line);
        }
        first = false;
        if (e.curved) {
            CurveTo(static_cast<std::int32_t>(e.control.x), static_cast<std::int32_t>(e.control.y),
                    static_cast<std::int32_t>(e.to.x), static_cast<std::int32_t>(e.to.y));
        } else {
            LineTo(static_cast<std::int32_t>(e.to.x), static_cast<std::int32_t>(e.to.y));
        }
    }
}

ShapeBuilder ShapeBuilder::FromShape(const Shape& shape) {
    ShapeBuilder b;
    for (std::size_t i = 0; i < shape.layers.size(); ++i) {
        if (i > 0) {
            b.NewStyles();
        }
        for (const auto& f : shape.layers[i].fills) {
            b.AddFill(f);
        }
        for (const auto& l : shape.layers[i].lines) {
            b.AddLine(l);
        }
        b.AddEdges(shape.layers[i].edges);
    }
    return b;
}

ShapeBuilder ShapeBuilder::FromEdges(const std::vector<Edge>& edges) {
    ShapeBuilder b;
    b.AddEdges(edges);
    return b;
}

std::uint16_t ShapeBuilder::AddFill(const FillStyle& fill) {
    groups_.back().fills.push_back(fill);
    return static_cast<std::uint16_t>(groups_.back().fills.size());
}

std::uint16_t ShapeBuilder::AddSolidFill(flash::Rgba color) {
    FillStyle f;
    f.color = color;
    return AddFill(f);
}

std::uint16_t ShapeBuilder::AddLine(const LineStyle& line) {
    groups_.back().lines.push_back(line);
    widestLine_ = std::max(widestLine_, line.width);
    return static_cast<std::uint16_t>(groups_.back().lines.size());
}

std::uint16_t ShapeBuilder::AddLine(std::uint16_t width, flash::Rgba color) {
    LineStyle s;
    s.width = width;
    s.color = color;
    return AddLine(s);
}

ShapeBuilder::Op& ShapeBuilder::PendingStyle() {
    if (ops_.empty() || ops_.back().kind != Op::kStyle) {
        ops_.emplace_back();
    }
    return ops_.back();
}

ShapeBuilder& ShapeBuilder::NewStyles() {
    groups_.emplace_back();
    Op& op = PendingStyle();
    op.group = groups_.size() - 1;
    // A new group starts with nothing selected.
    op.fill0.reset();
    op.fill1.reset();
    op.line.reset();
    return *this;
}

ShapeBuilder& ShapeBuilder::Fill0(std::uint16_t index) {
    PendingStyle().fill0 = index;
    return *this;
}

ShapeBuilder& ShapeBuilder::Fill1(std::uint16_t index) {
    PendingStyle().fill1 = index;
    return *this;
}

ShapeBuilder& ShapeBuilder::Line(std::uint16_t index) {
    PendingStyle().line = index;
    return *this;
}

void ShapeBuilder::Touch(std::int64_t x, std::int64_t y) {
    const auto xi = static_cast<std::int32_t>(x);
    const auto yi = static_cast<std::int32_t>(y);
    if (!box_) {
        box_ = flash::Rect{xi, xi, yi, yi};
        return;
    }
    box_->xmin = std::min(box_->xmin, xi);
    box_->xmax = std::max(box_->xmax, xi);
    box_->ymin = std::min(box_->ymin, yi);
    box_->ymax = std::max(box_->ymax, yi);
}

ShapeBuilder& ShapeBuilder::MoveTo(std::int32_t x, std::int32_t y) {
    PendingStyle().move = std::make_pair(x, y);
    x_ = x;
    y_ = y;
    return *this;
}

ShapeBuilder& ShapeBuilder::LineTo(std::int32_t x, std::int32_t y) {
    const std::int64_t dx = std::int64_t(x) - x_;
    const std::int64_t dy = std::int64_t(y) - y_;
    // Deltas wider than 17 bits do not fit one edge record: split the line.
    if (BitWriter::SignedBits(dx) > 17 || BitWriter::SignedBits(dy) > 17) {
        LineTo(static_cast<std::int32_t>(x_ + dx / 2), static_cast<std::int32_t>(y_ + dy / 2));
        return LineTo(x, y);
    }
    Touch(x_, y_);
    Op op;
    op.kind = Op::kStraight;
    op.dx = static_cast<std::int32_t>(dx);
    op.dy = static_cast<std::int32_t>(dy);
    ops_.push_back(op);
    x_ = x;
    y_ = y;
    Touch(x_, y_);
    return *this;
}

ShapeBuilder& ShapeBuilder::CurveTo(std::int32_t cx, std::int32_t cy, std::int32_t x,
                                    std::int32_t y) {
    Op op;
    op.kind = Op::kCurve;
    const std::int64_t d[4] = {cx - x_, cy - y_, std::int64_t(x) - cx, std::int64_t(y) - cy};
    for (std::int64_t v : d) {
        if (BitWriter::SignedBits(v) > 17) {
            throw std::invalid_argument("curve too long for one edge record");
        }
    }
    op.cdx = static_cast<std::int32_t>(d[0]);
    op.cdy = static_cast<std::int32_t>(d[1]);
    op.dx = static_cast<std::int32_t>(d[2]);
    op.dy = static_cast<std::int32_t>(d[3]);
    ops_.push_back(op);
    Touch(x_, y_);
    Touch(cx, cy);
    x_ = x;
    y_ = y;
    Touch(x_, y_);
    return *this;
}

ShapeBuilder& ShapeBuilder::Rectangle(const flash::Rect& r) {
    return MoveTo(r.xmin, r.ymin)
        .LineTo(r.xmax, r.ymin)
        .LineTo(r.xmax, r.ymax)
        .LineTo(r.xmin, r.ymax)
        .LineTo(r.xmin, r.ymin);
}

flash::Rect ShapeBuilder::Bounds() const {
    if (!box_) {
        return {};
    }
    flash::Rect r = *box_;
    const std::int32_t half = widestLine_ / 2;
    r.xmin -= half;
    r.xmax += half;
    r.ymin -= half;
    r.ymax += half;
    return r;
}

void ShapeBuilder::WriteStyleArrays(BitWriter& w, const Group& g, int version) const {
    WriteStyleCount(w, g.fills.size(), version);
    for (const auto& f : g.fills) {
        WriteFillStyle(w, f, version);
    }
    WriteStyleCount(w, g.lines.size(), version);
    for (const auto& l : g.lines) {
        WriteLineStyle(w, l, version);
    }
}

void ShapeBuilder::WriteStyleChange(BitWriter& w, const std::optional<Move>& move,
                                    std::optional<std::uint16_t> fill0,
                                    std::optional<std::uint16_t> fill1,
                                    std::optional<std::uint16_t> line, const Group* newStyles,
                                    int version, unsigned fillBits, unsigned lineBits) const {
    if (!newStyles && !fill0 && !fill1 && !line && !move) {
        return;  // nothing to write; an empty record would end the shape
    }
    w.UB(0, 1);
    w.Flag(newStyles != nullptr);
    w.Flag(line.has_value());
    w.Flag(fill1.has_value());
    w.Flag(fill0.has_value());
    w.Flag(move.has_value());
    if (move) {
        const unsigned bits =
            std::max(BitWriter::SignedBits(move->first), BitWriter::SignedBits(move->second));
        w.UB(bits, 5);
        w.SB(move->first, bits);
        w.SB(move->second, bits);
    }
    if (fill0) {
        w.UB(*fill0, fillBits);
    }
    if (fill1) {
        w.UB(*fill1, fillBits);
    }
    if (line) {
        w.UB(*line, lineBits);
    }
    if (newStyles) {
        WriteStyleArrays(w, *newStyles, version);
        w.UB(BitWriter::UnsignedBits(newStyles->fills.size()), 4);
        w.UB(BitWriter::UnsignedBits(newStyles->lines.size()), 4);
    }
}

void ShapeBuilder::WriteRecords(BitWriter& w, unsigned fillBits, unsigned lineBits, int version,
                                bool movesOnly) const {
    for (const Op& op : ops_) {
        if (op.kind == Op::kStyle) {
            const bool newStyles = !movesOnly && op.group && version >= 2;
            if (newStyles) {
                // The new arrays in one record, the selections (written with the new index
                // widths) in the next.
                const Group& g = groups_[*op.group];
                WriteStyleChange(w, op.move, {}, {}, {}, &g, version, fillBits, lineBits);
                fillBits = BitWriter::UnsignedBits(g.fills.size());
                lineBits = BitWriter::UnsignedBits(g.lines.size());
                WriteStyleChange(w, {}, op.fill0, op.fill1, op.line, nullptr, version, fillBits,
                                 lineBits);
            } else if (movesOnly) {
                WriteStyleChange(w, op.move, {}, {}, {}, nullptr, version, fillBits, lineBits);
            } else {
                WriteStyleChange(w, op.move, op.fill0, op.fill1, op.line, nullptr, version,
                                 fillBits, lineBits);
            }
            continue;
        }
        w.UB(1, 1);
        if (op.kind == Op::kStraight) {
            w.UB(1, 1);
            const unsigned bits =
                std::max({2u, BitWriter::SignedBits(op.dx), BitWriter::SignedBits(op.dy)});
            w.UB(bits - 2, 4);
            if (op.dx != 0 && op.dy != 0) {
                w.UB(1, 1);
                w.SB(op.dx, bits);
                w.SB(op.dy, bits);
            } else if (op.dx == 0) {
                w.UB(0, 1);
                w.UB(1, 1);
                w.SB(op.dy, bits);
            } else {
                w.UB(0, 1);
                w.UB(0, 1);
                w.SB(op.dx, bits);
            }
        } else {
            w.UB(0, 1);
            const unsigned bits =
                std::max({2u, BitWriter::SignedBits(op.cdx), BitWriter::SignedBits(op.cdy),
                          BitWriter::SignedBits(op.dx), BitWriter::SignedBits(op.dy)});
            w.UB(bits - 2, 4);
            w.SB(op.cdx, bits);
            w.SB(op.cdy, bits);
            w.SB(op.dx, bits);
            w.SB(op.dy, bits);
        }
    }
    w.UB(0, 6);  // end of shape
    w.Align();
}

Bytes ShapeBuilder::DefineShape(std::uint16_t id, int version) const {
    BitWriter w;
    w.U16(id);
    const flash::Rect bounds = Bounds();
    w.Rect(bounds);
    if (version >= 4) {
        flash::Rect edges = box_.value_or(flash::Rect{});
        w.Rect(edges);
        w.U8(0);
    }
    WriteStyleArrays(w, groups_.front(), version);
    const unsigned fillBits = BitWriter::UnsignedBits(groups_.front().fills.size());
    const unsigned lineBits = BitWriter::UnsignedBits(groups_.front().lines.size());
    w.UB(fillBits, 4);
    w.UB(lineBits, 4);
    WriteRecords(w, fillBits, lineBits, version);
    return w.bytes();
}

Bytes ShapeBuilder::GlyphShape() const {
    BitWriter w;
    w.UB(1, 4);
    w.UB(0, 4);
    WriteRecords(w, 1, 0, 1);
    return w.bytes();
}

namespace {

void WriteMorphFill(BitWriter& w, const MorphFillStyle& m) {
    w.U8(static_cast<std::uint8_t>(m.start.type));
    if (m.start.type == FillType::Solid) {
        w.Rgba(m.start.color);
        w.Rgba(m.end.color);
    } else if (m.start.IsGradient()) {
        w.Matrix(m.start.matrix);
        w.Matrix(m.end.matrix);
        w.U8(GradientHeader(m.start.gradient));
        for (std::size_t i = 0; i < m.start.gradient.records.size(); ++i) {
            const auto& s = m.start.gradient.records[i];
            const auto& e = i < m.end.gradient.records.size() ? m.end.gradient.records[i] : s;
            w.U8(s.ratio);
            w.Rgba(s.color);
            w.U8(e.ratio);
            w.Rgba(e.color);
        }
        if (m.start.type == FillType::FocalRadialGradient) {
            w.Fixed8(m.start.gradient.focalPoint);
            w.Fixed8(m.end.gradient.focalPoint);
        }
    } else {
        w.U16(m.start.bitmapId);
        w.Matrix(m.start.matrix);
        w.Matrix(m.end.matrix);
    }
}

}  // namespace

Bytes MorphShapeBuilder::DefineMorphShape(std::uint16_t id, int version) const {
    BitWriter w;
    w.U16(id);
    w.Rect(start.Bounds());
    w.Rect(end.Bounds());
    if (version >= 2) {
        w.Rect(start.Bounds());
        w.Rect(end.Bounds());
        w.U8(0);
    }
    BitWriter rest;
    WriteStyleCount(rest, fills.size(), 2);
    for (const auto& f : fills) {
        WriteMorphFill(rest, f);
    }
    WriteStyleCount(rest, lines.size(), 2);
    for (const auto& l : lines) {
        rest.U16(l.start.width);
        rest.U16(l.end.width);
        if (version >= 2) {
            WriteLineFlags(rest, l.start);
        }
        if (version >= 2 && l.start.hasFill) {
            WriteMorphFill(rest, MorphFillStyle{l.start.fill, l.end.fill});
        } else {
            rest.Rgba(l.start.color);
            rest.Rgba(l.end.color);
        }
    }
    const unsigned fillBits = BitWriter::UnsignedBits(fills.size());
    const unsigned lineBits = BitWriter::UnsignedBits(lines.size());
    rest.UB(fillBits, 4);
    rest.UB(lineBits, 4);
    start.WriteRecords(rest, fillBits, lineBits, 1);
    const std::uint32_t offset = static_cast<std::uint32_t>(rest.size());
    rest.U8(0);  // the end edges' bit counts
    end.WriteRecords(rest, 0, 0, 1, true);
    w.U32(offset);
    w.Append(rest.bytes());
    return w.bytes();
}

}  // namespace swfgen
