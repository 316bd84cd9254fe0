// PlaceObject 1-3, RemoveObject 1-2, filter lists and clip actions.

#include "flash/swf/error.h"
#include "parsers.h"

namespace flash::swf::detail {
namespace {

// The flag byte shared by glow, shadow and bevel filters: inner, knockout, composite source,
// then on-top and 4 bits of passes for bevels, or 5 bits of passes otherwise.
struct FilterFlags {
    bool inner, knockout, compositeSource, onTop;
    std::uint8_t passes;
};

FilterFlags ReadFilterFlags(BitReader& r, bool withOnTop) {
    const std::uint8_t b = r.ReadU8();
    FilterFlags f{(b & 0x80) != 0, (b & 0x40) != 0, (b & 0x20) != 0, false, 0};
    if (withOnTop) {
        f.onTop = (b & 0x10) != 0;
        f.passes = b & 0x0F;
    } else {
        f.passes = b & 0x1F;
    }
    return f;
}

Filter ReadFilter(BitReader& r) {
    const std::uint8_t id = r.ReadU8();
    switch (id) {
        case 0: {
            DropShadowFilter f;
            f.color = r.ReadRgba();
            f.blurX = r.ReadFixed();
            f.blurY = r.ReadFixed();
            f.angle = r.ReadFixed();
            f.distance = r.ReadFixed();
            f.strength = r.ReadFixed8();
            const FilterFlags flags = ReadFilterFlags(r, false);
            f.inner = flags.inner;
            f.knockout = flags.knockout;
            f.compositeSource = flags.compositeSource;
            f.passes = flags.passes;
            return f;
        }
        case 1: {
            BlurFilter f;
            f.blurX = r.ReadFixed();
            f.blurY = r.ReadFixed();
            f.passes = r.ReadU8() >> 3;
            return f;
        }
        case 2: {
            GlowFilter f;
            f.color = r.ReadRgba();
            f.blurX = r.ReadFixed();
            f.blurY = r.ReadFixed();
            f.strength = r.ReadFixed8();
            const FilterFlags flags = ReadFilterFlags(r, false);
            f.inner = flags.inner;
            f.knockout = flags.knockout;
            f.compositeSource = flags.compositeSource;
            f.passes = flags.passes;
            return f;
        }
        case 3: {
            BevelFilter f;
            f.shadowColor = r.ReadRgba();
            f.highlightColor = r.ReadRgba();
            f.blurX = r.ReadFixed();
            f.blurY = r.ReadFixed();
            f.angle = r.ReadFixed();
            f.distance = r.ReadFixed();
            f.strength = r.ReadFixed8();
            const FilterFlags flags = ReadFilterFlags(r, true);
            f.inner = flags.inner;
            f.knockout = flags.knockout;
            f.compositeSource = flags.compositeSource;
            f.onTop = flags.onTop;
            f.passes = flags.passes;
            return f;
        }
        case 4:
        case 7: {
            GradientFilter f;
            f.bevel = id == 7;
            const std::uint8_t count = r.ReadU8();
            for (unsigned i = 0; i < count; ++i) {
                f.colors.push_back(r.ReadRgba());
            }
            for (unsigned i = 0; i < count; ++i) {
                f.ratios.push_back(r.ReadU8());
            }
            f.blurX = r.ReadFixed();
            f.blurY = r.ReadFixed();
            f.angle = r.ReadFixed();
            f.distance = r.ReadFixed();
            f.strength = r.ReadFixed8();
            const FilterFlags flags = ReadFilterFlags(r, true);
            f.inner = flags.inner;
            f.knockout = flags.knockout;
            f.compositeSource = flags.compositeSource;
            f.onTop = flags.onTop;
            f.passes = flags.passes;
            return f;
        }
        case 5: {
            ConvolutionFilter f;
            f.matrixX = r.ReadU8();
            f.matrixY = r.ReadU8();
            f.divisor = r.ReadFloat();
            f.bias = r.ReadFloat();
            const unsigned n = unsigned(f.matrixX) * f.matrixY;
            for (unsigned i = 0; i < n; ++i) {
                f.matrix.push_back(r.ReadFloat());
            }
            f.defaultColor = r.ReadRgba();
            const std::uint8_t b = r.ReadU8();
            f.clamp = (b & 0x02) != 0;
            f.preserveAlpha = (b & 0x01) != 0;
            return f;
        }
        case 6: {
            ColorMatrixFilter f;
            for (float& v : f.matrix) {
                v = r.ReadFloat();
            }
            return f;
        }
        default:
            throw ParseError("unknown filter type");
    }
}

BlendMode ToBlendMode(std::uint8_t b) {
    return b >= 1 && b <= 14 ? static_cast<BlendMode>(b) : BlendMode::Normal;
}

std::uint32_t ReadClipEventFlags(BitReader& r, int swfVersion) {
    return swfVersion <= 5 ? r.ReadU16() : r.ReadU32();
}

std::vector<ClipAction> ReadClipActions(BitReader& r, int swfVersion) {
    r.ReadU16();                        // reserved
    ReadClipEventFlags(r, swfVersion);  // all events, implied by the records
    std::vector<ClipAction> out;
    const std::size_t flagSize = swfVersion <= 5 ? 2 : 4;
    // Writers cut the end flag or the last record short; the tag's end closes the list.
    while (r.remaining() >= flagSize) {
        const std::uint32_t events = ReadClipEventFlags(r, swfVersion);
        if (events == 0) {
            break;
        }
        ClipAction a;
        a.events = events;
        std::uint32_t size = r.ReadU32();
        if (size > r.remaining()) {
            size = static_cast<std::uint32_t>(r.remaining());
        }
        if ((events & kClipKeyPress) != 0 && size > 0) {
            a.keyCode = r.ReadU8();
            --size;
        }
        const auto bytes = r.ReadBytes(size);
        a.actions.assign(bytes.begin(), bytes.end());
        out.push_back(std::move(a));
    }
    return out;
}

}  // namespace

std::vector<Filter> ReadFilterList(BitReader& r) {
    const std::uint8_t count = r.ReadU8();
    std::vector<Filter> filters;
    for (unsigned i = 0; i < count; ++i) {
        filters.push_back(ReadFilter(r));
    }
    return filters;
}

PlaceObject ReadPlaceObject(BitReader& r, int version, int swfVersion) {
    PlaceObject p;
    p.version = version;
    if (version == 1) {
        p.characterId = r.ReadU16();
        p.depth = r.ReadU16();
        p.matrix = r.ReadMatrix();
        if (!r.AtEnd()) {
            p.colorTransform = r.ReadColorTransform(false);
        }
        return p;
    }
    const std::uint8_t flags = r.ReadU8();
    const std::uint8_t flags3 = version >= 3 ? r.ReadU8() : 0;
    const bool hasClipActions = (flags & 0x80) != 0;
    p.move = (flags & 0x01) != 0;
    p.depth = r.ReadU16();
    // Real content stores the class name only with its own flag.
    if ((flags3 & 0x08) != 0) {
        p.className = r.ReadString();
    }
    if ((flags & 0x02) != 0) {
        p.characterId = r.ReadU16();
    }
    if ((flags & 0x04) != 0) {
        p.matrix = r.ReadMatrix();
    }
    if ((flags & 0x08) != 0) {
        p.colorTransform = r.ReadColorTransform(true);
    }
    if ((flags & 0x10) != 0) {
        p.ratio = r.ReadU16();
    }
    if ((flags & 0x20) != 0) {
        p.name = r.ReadString();
    }
    if ((flags & 0x40) != 0) {
        p.clipDepth = r.ReadU16();
    }
    if ((flags3 & 0x01) != 0) {
        p.filters = ReadFilterList(r);
    }
    if ((flags3 & 0x02) != 0) {
        p.blendMode = ToBlendMode(r.ReadU8());
    }
    // Some writers set these flags without storing the byte at the end of the tag.
    if ((flags3 & 0x04) != 0) {
        p.cacheAsBitmap = r.AtEnd() || r.ReadU8() != 0;
    }
    if ((flags3 & 0x20) != 0) {
        p.visible = r.AtEnd() || r.ReadU8() != 0;
    }
    if ((flags3 & 0x40) != 0) {
        p.backgroundColor = r.ReadRgba();
    }
    if (hasClipActions) {
        p.clipActions = ReadClipActions(r, swfVersion);
    }
    return p;
}

RemoveObject ReadRemoveObject(BitReader& r, int version) {
    RemoveObject o;
    if (version == 1) {
        o.characterId = r.ReadU16();
    }
    o.depth = r.ReadU16();
    return o;
}

}  // namespace flash::swf::detail
