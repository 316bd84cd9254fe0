// BitmapData's effects: noise, perlinNoise, threshold, pixelDissolve, paletteMap, merge,
// copyChannel, scroll, compare, applyFilter and generateFilterRect. Each needs a number of
// arguments; fewer answer -1, as a disposed bitmap does.
#include <algorithm>
#include <array>
#include <cmath>

#include "flash/avm1/convert.h"
#include "flash/avm1/geom_values.h"
#include "flash/render/pixel_bitmap_ops.h"
#include "script/bitmap_data.h"

namespace flash::bitmap_data {

namespace {

using avm1::CallContext;
using avm1::Value;
using render::PixelBitmap;

// The source bitmap, source rectangle and destination point most effects start with.
struct Copy {
    PixelBitmap* source = nullptr;
    render::PixelRect from;
    std::pair<int, int> to;
};

// A destination point that is not one counts as 0, 0.
std::optional<Copy> CopyOf(CallContext& c) {
    Copy copy;
    copy.source = BitmapOf(c.Arg(0));
    std::optional<render::PixelRect> from = RectOf(c, c.Arg(1));
    if (copy.source == nullptr || !from) {
        return std::nullopt;
    }
    copy.from = *from;
    copy.to = PointOf(c, c.Arg(2)).value_or(std::pair{0, 0});
    return copy;
}

// A whole number argument, with `fallback` when it is missing.
std::int64_t Whole(CallContext& c, std::size_t i, std::int64_t fallback) {
    if (i >= c.args.size()) {
        return fallback;
    }
    const double v = Number(c, c.Arg(i));
    return std::isfinite(v) ? std::int64_t(std::clamp(std::trunc(v), -9.0e15, 9.0e15)) : 0;
}

std::uint32_t ColorArg(CallContext& c, std::size_t i, std::uint32_t fallback) {
    return i < c.args.size() ? Color(c, c.Arg(i)) : fallback;
}

Value Element(CallContext& c, avm1::Object* array, std::size_t i) {
    return c.vm.Get(array, avm1::NumberToString(static_cast<double>(i)), c.version);
}

// A palette of 256 colours from an array; none for anything that is not an object.
render::PaletteTable Palette(CallContext& c, const Value& v) {
    avm1::Object* array = v.AsObject();
    if (array == nullptr) {
        return std::nullopt;
    }
    std::array<std::uint32_t, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = Color(c, Element(c, array, i));
    }
    return table;
}

}  // namespace

// noise(randomSeed[, low, high, channelOptions, grayScale]).
Value Noise(CallContext& c) {
    PixelBitmap* b = Target(c, 1);
    if (b == nullptr) {
        return Failed();
    }
    const int low = int(std::clamp<std::int64_t>(Whole(c, 1, 0), -1 << 30, 1 << 30));
    const int high = int(std::clamp<std::int64_t>(Whole(c, 2, 255), -1 << 30, 1 << 30));
    render::Noise(*b, Whole(c, 0, 0), low, high, ColorArg(c, 3, 7),
                  c.args.size() > 4 && Bool(c, c.Arg(4)));
    return Value::Number(0);
}

// perlinNoise(baseX, baseY, numOctaves, randomSeed, stitch, fractalNoise[, channelOptions,
// grayScale, offsets]).
Value PerlinNoise(CallContext& c) {
    PixelBitmap* b = Target(c, 6);
    if (b == nullptr) {
        return Failed();
    }
    render::PerlinOptions o;
    o.baseX = Number(c, c.Arg(0));
    o.baseY = Number(c, c.Arg(1));
    o.octaves = int(std::clamp<std::int64_t>(Whole(c, 2, 1), 0, 64));
    o.seed = Whole(c, 3, 0);
    o.stitch = Bool(c, c.Arg(4));
    o.fractal = Bool(c, c.Arg(5));
    o.channels = ColorArg(c, 6, 7);
    o.gray = Bool(c, c.Arg(7));
    if (avm1::Object* offsets = c.Arg(8).AsObject()) {
        for (std::size_t i = 0; i < std::size_t(o.octaves); ++i) {
            std::optional<std::pair<int, int>> p = PointOf(c, Element(c, offsets, i));
            o.offsets.push_back(p ? std::pair<double, double>(p->first, p->second)
                                  : std::pair<double, double>{});
        }
    }
    render::PerlinNoise(*b, o);
    return Value::Number(0);
}

// threshold(source, sourceRect, destPoint, operation, threshold[, color, mask, copySource]):
// the number of pixels that passed.
Value Threshold(CallContext& c) {
    PixelBitmap* b = Target(c, 5);
    std::optional<Copy> copy = b ? CopyOf(c) : std::nullopt;
    if (!copy) {
        return Failed();
    }
    std::optional<render::ThresholdTest> test =
        render::ThresholdTestOf(c.vm.ToString(c.Arg(3), c.version));
    if (!test) {
        return Value::Number(0);
    }
    return Value::Number(render::Threshold(
        *b, *copy->source, copy->from, copy->to.first, copy->to.second, *test, Color(c, c.Arg(4)),
        ColorArg(c, 5, 0), ColorArg(c, 6, 0xFFFFFFFF), Bool(c, c.Arg(7))));
}

// pixelDissolve(source, sourceRect, destPoint[, randomSeed, numPixels, fillColor]): the seed
// for the next call; -4 without a source rectangle.
Value PixelDissolve(CallContext& c) {
    PixelBitmap* b = Target(c, 3);
    if (b == nullptr) {
        return Failed();
    }
    if (!RectOf(c, c.Arg(1))) {
        return Value::Number(-4);
    }
    std::optional<Copy> copy = CopyOf(c);
    if (!copy) {
        return Failed();
    }
    if (c.args.size() < 5) {
        return Value::Number(0);  // without a number of pixels nothing dissolves
    }
    return Value::Number(render::PixelDissolve(*b, *copy->source, copy->from, copy->to.first,
                                               copy->to.second, Whole(c, 3, 0), Whole(c, 4, 0),
                                               ColorArg(c, 5, 0)));
}

// paletteMap(source, sourceRect, destPoint[, redArray, greenArray, blueArray, alphaArray]).
Value PaletteMap(CallContext& c) {
    PixelBitmap* b = Target(c, 3);
    std::optional<Copy> copy = b ? CopyOf(c) : std::nullopt;
    if (!copy) {
        return Failed();
    }
    const std::array<render::PaletteTable, 4> tables{Palette(c, c.Arg(6)), Palette(c, c.Arg(3)),
                                                     Palette(c, c.Arg(4)), Palette(c, c.Arg(5))};
    render::PaletteMap(*b, *copy->source, copy->from, copy->to.first, copy->to.second, tables);
    return Value();
}

// merge(source, sourceRect, destPoint, redMultiplier, greenMultiplier, blueMultiplier,
// alphaMultiplier).
Value Merge(CallContext& c) {
    PixelBitmap* b = Target(c, 7);
    std::optional<Copy> copy = b ? CopyOf(c) : std::nullopt;
    if (!copy) {
        return Failed();
    }
    auto mult = [&](std::size_t i) {
        return std::uint32_t(std::clamp<std::int64_t>(Whole(c, i, 0), 0, 256));
    };
    render::Merge(*b, *copy->source, copy->from, copy->to.first, copy->to.second,
                  {mult(6), mult(3), mult(4), mult(5)});
    return Value();
}

// copyChannel(source, sourceRect, destPoint, sourceChannel, destChannel).
Value CopyChannel(CallContext& c) {
    PixelBitmap* b = Target(c, 5);
    std::optional<Copy> copy = b ? CopyOf(c) : std::nullopt;
    if (!copy) {
        return Failed();
    }
    render::CopyChannel(*b, *copy->source, copy->from, copy->to.first, copy->to.second,
                        Color(c, c.Arg(3)), Color(c, c.Arg(4)));
    return Value();
}

// scroll(x, y).
Value Scroll(CallContext& c) {
    PixelBitmap* b = Target(c, 2);
    if (b == nullptr) {
        return Failed();
    }
    render::Scroll(*b, Int(c, c.Arg(0)), Int(c, c.Arg(1)));
    return Value();
}

// compare(other): 0 for equal bitmaps, else a bitmap of the differences; -2 for a disposed
// other, -3 and -4 for other widths and heights.
Value Compare(CallContext& c) {
    PixelBitmap* b = Target(c, 1);
    if (b == nullptr) {
        return Failed();
    }
    const avm1::Object* other = c.Arg(0).AsObject();
    if (dynamic_cast<const BitmapDataObject*>(other) == nullptr) {
        return Failed();
    }
    PixelBitmap* o = BitmapOf(c.Arg(0));
    if (o == nullptr) {
        return Value::Number(-2);
    }
    if (o->Width() != b->Width()) {
        return Value::Number(-3);
    }
    if (o->Height() != b->Height()) {
        return Value::Number(-4);
    }
    std::optional<PixelBitmap> diff = render::Compare(*b, *o);
    if (!diff) {
        return Value::Number(0);
    }
    return Wrap(c, std::make_shared<PixelBitmap>(std::move(*diff)));
}

namespace {

// The 4 x 5 matrix of a colour matrix filter (its `matrix` array), if the object has one.
std::optional<std::array<double, 20>> ColorMatrixOf(CallContext& c, const Value& filter) {
    avm1::Object* f = filter.AsObject();
    avm1::Object* m = f ? c.vm.Get(f, u"matrix", c.version).AsObject() : nullptr;
    if (m == nullptr) {
        return std::nullopt;
    }
    std::array<double, 20> out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double v = Number(c, Element(c, m, i));
        out[i] = std::isfinite(v) ? v : 0;
    }
    return out;
}

}  // namespace

// applyFilter(source, sourceRect, destPoint, filter): the source area filtered into this
// bitmap. Colour matrices are applied here; other filters copy the pixels unfiltered.
Value ApplyFilter(CallContext& c) {
    PixelBitmap* b = Target(c, 4);
    std::optional<Copy> copy = b ? CopyOf(c) : std::nullopt;
    if (!copy || c.Arg(3).AsObject() == nullptr) {
        return Failed();
    }
    b->CopyPixels(*copy->source, copy->from, copy->to.first, copy->to.second, false);
    if (std::optional<std::array<double, 20>> m = ColorMatrixOf(c, c.Arg(3))) {
        const render::PixelRect area{copy->to.first, copy->to.second, copy->from.width,
                                     copy->from.height};
        render::ApplyColorMatrix(*b, area, *m);
    }
    return Value::Number(0);
}

// generateFilterRect(sourceRect, filter): the area the filter's result covers. Blurs, glows
// and shadows grow it by their blur.
Value GenerateFilterRect(CallContext& c) {
    PixelBitmap* b = Target(c, 2);
    std::optional<render::PixelRect> r = b ? RectOf(c, c.Arg(0)) : std::nullopt;
    avm1::Object* filter = c.Arg(1).AsObject();
    if (!r || filter == nullptr) {
        return Failed();
    }
    double x = r->x, y = r->y, w = r->width, h = r->height;
    const Value bx = c.vm.Get(filter, u"blurX", c.version);
    const Value by = c.vm.Get(filter, u"blurY", c.version);
    if (!bx.IsUndefined() && !by.IsUndefined()) {
        auto grow = [&](const Value& v) {
            const double d = Number(c, v);
            return std::isfinite(d) ? std::ceil(std::clamp(d, 0.0, 255.0) / 2) : 0;
        };
        const double gx = grow(bx), gy = grow(by);
        x -= gx;
        y -= gy;
        w += 2 * gx;
        h += 2 * gy;
    }
    return avm1::NewGeomRectangle(c.vm, x, y, w, h, c.version);
}

}  // namespace flash::bitmap_data
