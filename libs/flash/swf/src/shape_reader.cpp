// DefineShape 1-4, DefineMorphShape 1-2 and glyph shapes: style arrays and shape records.

#include <algorithm>
#include <functional>

#include "flash/swf/error.h"
#include "parsers.h"

namespace flash::swf::detail {
namespace {

Rgba ReadColor(BitReader& r, bool alpha) {
    return alpha ? r.ReadRgba() : r.ReadRgb();
}

// The spread, interpolation and count byte of GRADIENT and MORPHGRADIENT.
struct GradientHeader {
    SpreadMode spread;
    InterpolationMode interpolation;
    unsigned count;
};

GradientHeader ReadGradientHeader(BitReader& r) {
    const std::uint8_t b = r.ReadU8();
    const unsigned spread = b >> 6;
    const unsigned interpolation = (b >> 4) & 3;
    // Reserved codes behave as the defaults.
    return {spread <= 2 ? static_cast<SpreadMode>(spread) : SpreadMode::Pad,
            interpolation == 1 ? InterpolationMode::LinearRgb : InterpolationMode::Rgb, b & 0x0Fu};
}

bool IsKnownFillType(std::uint8_t type) {
    switch (type) {
        case 0x00:
        case 0x10:
        case 0x12:
        case 0x13:
        case 0x40:
        case 0x41:
        case 0x42:
        case 0x43:
            return true;
        default:
            return false;
    }
}

std::uint8_t ReadFillType(BitReader& r) {
    const std::uint8_t type = r.ReadU8();
    if (!IsKnownFillType(type)) {
        throw ParseError("unknown fill style type");
    }
    return type;
}

std::size_t ReadStyleCount(BitReader& r, bool extended) {
    std::size_t count = r.ReadU8();
    if (count == 0xFF && extended) {
        count = r.ReadU16();
    }
    return count;
}

void ReadFillStyles(BitReader& r, int shapeVersion, std::vector<FillStyle>& out) {
    // Each style takes at least one byte, so the loop ends with the data.
    const std::size_t count = ReadStyleCount(r, shapeVersion >= 2);
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(ReadFillStyle(r, shapeVersion));
    }
}

void ReadLineStyles(BitReader& r, int shapeVersion, std::vector<LineStyle>& out) {
    const std::size_t count = ReadStyleCount(r, shapeVersion >= 2);
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(ReadLineStyle(r, shapeVersion));
    }
}

// The flag word of LINESTYLE2 and MORPHLINESTYLE2; returns whether a fill style follows.
bool ReadLineStyle2Flags(BitReader& r, LineStyle& s) {
    const unsigned startCap = r.ReadUB(2);
    const unsigned join = r.ReadUB(2);
    const bool hasFill = r.ReadFlag();
    s.noHScale = r.ReadFlag();
    s.noVScale = r.ReadFlag();
    s.pixelHinting = r.ReadFlag();
    r.ReadUB(5);
    s.noClose = r.ReadFlag();
    const unsigned endCap = r.ReadUB(2);
    s.startCap = startCap <= 2 ? static_cast<CapStyle>(startCap) : CapStyle::Round;
    s.endCap = endCap <= 2 ? static_cast<CapStyle>(endCap) : CapStyle::Round;
    s.join = join <= 2 ? static_cast<JoinStyle>(join) : JoinStyle::Round;
    if (join == 2) {
        s.miterLimit = r.ReadFixed8();
    }
    s.hasFill = hasFill;
    return hasFill;
}

// The pen and current styles while walking shape records.
struct Pen {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::uint16_t fill0 = 0;
    std::uint16_t fill1 = 0;
    std::uint16_t line = 0;
};

Point At(std::int64_t x, std::int64_t y) {
    return {double(x), double(y)};
}

// Called for StateNewStyles: reads the new arrays into a fresh layer and the new bit counts.
// Returns false where new styles are not allowed (the flag is then ignored).
using NewStyles = std::function<bool(unsigned& fillBits, unsigned& lineBits)>;

// Where the records put their edges and how style indexes are checked.
struct EdgeSink {
    std::function<std::vector<Edge>&()> edges;
    std::function<std::uint16_t(std::uint32_t)> fill;  // index as stored -> index kept
    std::function<std::uint16_t(std::uint32_t)> line;
};

// Reads SHAPERECORDs up to the end record. A shape whose data ends without the end record
// keeps the edges read so far.
void ReadShapeRecords(BitReader& r, unsigned fillBits, unsigned lineBits, const EdgeSink& sink,
                      const NewStyles& newStyles) {
    Pen pen;
    try {
        for (;;) {
            if (r.ReadFlag()) {
                Edge e;
                e.from = At(pen.x, pen.y);
                e.fill0 = pen.fill0;
                e.fill1 = pen.fill1;
                e.line = pen.line;
                const bool straight = r.ReadFlag();
                const unsigned bits = r.ReadUB(4) + 2;
                if (straight) {
                    std::int64_t dx = 0;
                    std::int64_t dy = 0;
                    if (r.ReadFlag()) {
                        dx = r.ReadSB(bits);
                        dy = r.ReadSB(bits);
                    } else if (r.ReadFlag()) {
                        dy = r.ReadSB(bits);
                    } else {
                        dx = r.ReadSB(bits);
                    }
                    e.control = At(pen.x * 2 + dx, pen.y * 2 + dy);
                    e.control.x /= 2;
                    e.control.y /= 2;
                    pen.x += dx;
                    pen.y += dy;
                } else {
                    const std::int64_t cx = pen.x + r.ReadSB(bits);
                    const std::int64_t cy = pen.y + r.ReadSB(bits);
                    pen.x = cx + r.ReadSB(bits);
                    pen.y = cy + r.ReadSB(bits);
                    e.control = At(cx, cy);
                    e.curved = true;
                }
                e.to = At(pen.x, pen.y);
                sink.edges().push_back(e);
                continue;
            }
            const bool hasNewStyles = r.ReadFlag();
            const bool hasLine = r.ReadFlag();
            const bool hasFill1 = r.ReadFlag();
            const bool hasFill0 = r.ReadFlag();
            const bool hasMove = r.ReadFlag();
            if (!hasNewStyles && !hasLine && !hasFill1 && !hasFill0 && !hasMove) {
                return;  // end of shape
            }
            if (hasMove) {
                const unsigned bits = r.ReadUB(5);
                pen.x = r.ReadSB(bits);
                pen.y = r.ReadSB(bits);
            }
            const std::uint32_t fill0 = hasFill0 ? r.ReadUB(fillBits) : 0;
            const std::uint32_t fill1 = hasFill1 ? r.ReadUB(fillBits) : 0;
            const std::uint32_t line = hasLine ? r.ReadUB(lineBits) : 0;
            // New styles start a layer whose selections begin empty; the indexes of this
            // record refer to the new tables.
            if (hasNewStyles && newStyles && newStyles(fillBits, lineBits)) {
                pen.fill0 = pen.fill1 = pen.line = 0;
            }
            if (hasFill0) {
                pen.fill0 = sink.fill(fill0);
            }
            if (hasFill1) {
                pen.fill1 = sink.fill(fill1);
            }
            if (hasLine) {
                pen.line = sink.line(line);
            }
        }
    } catch (const ParseError&) {
        // Keep what was read; the tag is over.
    }
}

std::uint16_t CheckedIndex(std::uint32_t index, std::size_t tableSize) {
    return index <= tableSize ? static_cast<std::uint16_t>(index) : 0;
}

}  // namespace

FillStyle ReadFillStyle(BitReader& r, int shapeVersion) {
    FillStyle f;
    const std::uint8_t type = ReadFillType(r);
    f.type = static_cast<FillType>(type);
    const bool alpha = shapeVersion >= 3;
    if (type == 0x00) {
        f.color = ReadColor(r, alpha);
    } else if (f.IsGradient()) {
        f.matrix = r.ReadMatrix();
        const GradientHeader h = ReadGradientHeader(r);
        f.gradient.spread = h.spread;
        f.gradient.interpolation = h.interpolation;
        for (unsigned i = 0; i < h.count; ++i) {
            GradientRecord g;
            g.ratio = r.ReadU8();
            g.color = ReadColor(r, alpha);
            f.gradient.records.push_back(g);
        }
        if (f.type == FillType::FocalRadialGradient) {
            f.gradient.focalPoint = std::clamp(r.ReadFixed8(), -1.0, 1.0);
        }
    } else {
        f.bitmapId = r.ReadU16();
        f.matrix = r.ReadMatrix();
    }
    return f;
}

LineStyle ReadLineStyle(BitReader& r, int shapeVersion) {
    LineStyle s;
    s.width = r.ReadU16();
    if (shapeVersion < 4) {
        s.color = ReadColor(r, shapeVersion >= 3);
        return s;
    }
    if (ReadLineStyle2Flags(r, s)) {
        s.fill = ReadFillStyle(r, shapeVersion);
        if (s.fill.type == FillType::Solid) {
            s.color = s.fill.color;
        }
    } else {
        s.color = r.ReadRgba();
    }
    return s;
}

Shape ReadShape(BitReader& r, int version) {
    Shape shape;
    shape.version = version;
    shape.bounds = r.ReadRect();
    shape.edgeBounds = shape.bounds;
    if (version >= 4) {
        shape.edgeBounds = r.ReadRect();
        const std::uint8_t flags = r.ReadU8();
        shape.usesFillWindingRule = (flags & 0x04) != 0;
        shape.usesNonScalingStrokes = (flags & 0x02) != 0;
        shape.usesScalingStrokes = (flags & 0x01) != 0;
    }
    shape.layers.emplace_back();
    ReadFillStyles(r, version, shape.layers.back().fills);
    ReadLineStyles(r, version, shape.layers.back().lines);
    r.Align();
    const unsigned fillBits = r.ReadUB(4);
    const unsigned lineBits = r.ReadUB(4);

    EdgeSink sink;
    sink.edges = [&]() -> std::vector<Edge>& { return shape.layers.back().edges; };
    sink.fill = [&](std::uint32_t i) { return CheckedIndex(i, shape.layers.back().fills.size()); };
    sink.line = [&](std::uint32_t i) { return CheckedIndex(i, shape.layers.back().lines.size()); };
    NewStyles newStyles;
    if (version >= 2) {
        newStyles = [&](unsigned& fb, unsigned& lb) {
            ShapeLayer layer;
            ReadFillStyles(r, version, layer.fills);
            ReadLineStyles(r, version, layer.lines);
            r.Align();
            fb = r.ReadUB(4);
            lb = r.ReadUB(4);
            shape.layers.push_back(std::move(layer));
            return true;
        };
    }
    ReadShapeRecords(r, fillBits, lineBits, sink, newStyles);
    // A layer that only carried styles draws nothing.
    std::erase_if(shape.layers, [](const ShapeLayer& l) { return l.edges.empty(); });
    return shape;
}

std::vector<Edge> ReadGlyphShape(BitReader& r) {
    r.Align();
    const unsigned fillBits = r.ReadUB(4);
    const unsigned lineBits = r.ReadUB(4);
    std::vector<Edge> edges;
    EdgeSink sink;
    sink.edges = [&]() -> std::vector<Edge>& { return edges; };
    sink.fill = [](std::uint32_t i) { return static_cast<std::uint16_t>(i != 0 ? 1 : 0); };
    sink.line = [](std::uint32_t) { return std::uint16_t(0); };
    ReadShapeRecords(r, fillBits, lineBits, sink, nullptr);
    return edges;
}

namespace {

MorphFillStyle ReadMorphFillStyle(BitReader& r) {
    MorphFillStyle m;
    const std::uint8_t type = ReadFillType(r);
    m.start.type = m.end.type = static_cast<FillType>(type);
    if (type == 0x00) {
        m.start.color = r.ReadRgba();
        m.end.color = r.ReadRgba();
    } else if (m.start.IsGradient()) {
        m.start.matrix = r.ReadMatrix();
        m.end.matrix = r.ReadMatrix();
        const GradientHeader h = ReadGradientHeader(r);
        for (Gradient* g : {&m.start.gradient, &m.end.gradient}) {
            g->spread = h.spread;
            g->interpolation = h.interpolation;
        }
        for (unsigned i = 0; i < h.count; ++i) {
            GradientRecord s;
            GradientRecord e;
            s.ratio = r.ReadU8();
            s.color = r.ReadRgba();
            e.ratio = r.ReadU8();
            e.color = r.ReadRgba();
            m.start.gradient.records.push_back(s);
            m.end.gradient.records.push_back(e);
        }
        if (m.start.type == FillType::FocalRadialGradient) {
            m.start.gradient.focalPoint = std::clamp(r.ReadFixed8(), -1.0, 1.0);
            m.end.gradient.focalPoint = std::clamp(r.ReadFixed8(), -1.0, 1.0);
        }
    } else {
        m.start.bitmapId = m.end.bitmapId = r.ReadU16();
        m.start.matrix = r.ReadMatrix();
        m.end.matrix = r.ReadMatrix();
    }
    return m;
}

Rgba SolidColor(const FillStyle& f) {
    return f.type == FillType::Solid ? f.color : Rgba{};
}

MorphLineStyle ReadMorphLineStyle(BitReader& r, int version) {
    LineStyle s;
    s.width = r.ReadU16();
    const std::uint16_t endWidth = r.ReadU16();
    MorphLineStyle m;
    if (version >= 2 && ReadLineStyle2Flags(r, s)) {
        const MorphFillStyle fill = ReadMorphFillStyle(r);
        m.start = m.end = s;
        m.start.fill = fill.start;
        m.end.fill = fill.end;
        m.start.color = SolidColor(fill.start);
        m.end.color = SolidColor(fill.end);
    } else {
        m.start = m.end = s;
        m.start.color = r.ReadRgba();
        m.end.color = r.ReadRgba();
    }
    m.end.width = endWidth;
    return m;
}

}  // namespace

MorphShape ReadMorphShape(BitReader& r, int version) {
    MorphShape m;
    m.version = version;
    m.startBounds = r.ReadRect();
    m.endBounds = r.ReadRect();
    m.startEdgeBounds = m.startBounds;
    m.endEdgeBounds = m.endBounds;
    if (version >= 2) {
        m.startEdgeBounds = r.ReadRect();
        m.endEdgeBounds = r.ReadRect();
        const std::uint8_t flags = r.ReadU8();
        m.usesNonScalingStrokes = (flags & 0x02) != 0;
        m.usesScalingStrokes = (flags & 0x01) != 0;
    }
    const std::uint32_t offset = r.ReadU32();
    const std::size_t endEdgesAt = r.position() + offset;

    const std::size_t fillCount = ReadStyleCount(r, true);
    for (std::size_t i = 0; i < fillCount; ++i) {
        m.fills.push_back(ReadMorphFillStyle(r));
    }
    const std::size_t lineCount = ReadStyleCount(r, true);
    for (std::size_t i = 0; i < lineCount; ++i) {
        m.lines.push_back(ReadMorphLineStyle(r, version));
    }

    std::vector<Edge> start;
    {
        r.Align();
        const unsigned fillBits = r.ReadUB(4);
        const unsigned lineBits = r.ReadUB(4);
        EdgeSink sink;
        sink.edges = [&]() -> std::vector<Edge>& { return start; };
        sink.fill = [&](std::uint32_t i) { return CheckedIndex(i, m.fills.size()); };
        sink.line = [&](std::uint32_t i) { return CheckedIndex(i, m.lines.size()); };
        ReadShapeRecords(r, fillBits, lineBits, sink, nullptr);
    }
    std::vector<Edge> end;
    {
        // The offset says where the end edges start; a wrong one falls back to reading on.
        if (offset != 0 && endEdgesAt >= r.position() && endEdgesAt < r.size()) {
            r.Seek(endEdgesAt);
        }
        r.Align();
        const unsigned fillBits = r.ReadUB(4);
        const unsigned lineBits = r.ReadUB(4);
        EdgeSink sink;
        sink.edges = [&]() -> std::vector<Edge>& { return end; };
        sink.fill = [](std::uint32_t) { return std::uint16_t(0); };
        sink.line = [](std::uint32_t) { return std::uint16_t(0); };
        ReadShapeRecords(r, fillBits, lineBits, sink, nullptr);
    }
    m.edges = PairMorphEdges(start, end);
    return m;
}

}  // namespace flash::swf::detail
