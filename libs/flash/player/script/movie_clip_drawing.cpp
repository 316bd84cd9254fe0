// MovieClip's drawing methods: fills, lines and the pen (beginFill, beginGradientFill,
// lineStyle, lineGradientStyle, moveTo, lineTo, curveTo, endFill, clear). Coordinates come in
// pixels of the clip's space; the drawing keeps twips.
#include <algorithm>
#include <cmath>
#include <optional>

#include "display/movie_clip.h"
#include "flash/avm1/convert.h"
#include "flash/avm1/object.h"
#include "script/script_classes.h"

namespace flash {

namespace {

using avm1::CallContext;
using avm1::Method;
using avm1::Value;

// Gradients hold at most this many colours.
constexpr std::size_t kMaxGradientRecords = 15;

MovieClip* ThisClip(CallContext& c) {
    avm1::Object* o = c.This();
    return o != nullptr ? dynamic_cast<MovieClip*>(o->AsClip()) : nullptr;
}

double Number(CallContext& c, const Value& v) {
    return c.vm.ToNumber(v, c.version);
}

double Member(CallContext& c, avm1::Object* o, avm1::StringView name) {
    return Number(c, c.vm.Get(o, name, c.version));
}

double Finite(double v, double fallback = 0) {
    return std::isfinite(v) ? v : fallback;
}

// Script alpha 0..100 to 0..255.
std::uint8_t Alpha(double percent) {
    return static_cast<std::uint8_t>(
        std::lround(std::clamp(Finite(percent, 100), 0.0, 100.0) * 2.55));
}

Rgba ColorOf(double rgb, std::uint8_t alpha) {
    const std::uint32_t v = avm1::ToUint32(rgb);
    return Rgba{static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                static_cast<std::uint8_t>(v), alpha};
}

// A gradient or bitmap matrix of a script: {matrixType: "box", x, y, w, h, r}, a
// flash.geom.Matrix {a, b, c, d, tx, ty}, or the 3x3 form {a, b, d, e, g, h}. Pixels in,
// twips out.
Matrix FillMatrix(CallContext& c, avm1::Object* o) {
    if (o == nullptr) {
        return Matrix{};
    }
    if (c.vm.ToString(c.vm.Get(o, u"matrixType", c.version), c.version) == u"box") {
        const double w = Finite(Member(c, o, u"w")), h = Finite(Member(c, o, u"h"));
        const double r = Finite(Member(c, o, u"r"));
        const double x = Finite(Member(c, o, u"x")), y = Finite(Member(c, o, u"y"));
        const double sx = w / 1638.4, sy = h / 1638.4;
        return Matrix{sx * std::cos(r), sx * std::sin(r),   -sy * std::sin(r),
                      sy * std::cos(r), (x + w / 2) * 20.0, (y + h / 2) * 20.0};
    }
    if (!c.vm.Get(o, u"tx", c.version).IsUndefined()) {
        return Matrix{Finite(Member(c, o, u"a")),         Finite(Member(c, o, u"b")),
                      Finite(Member(c, o, u"c")),         Finite(Member(c, o, u"d")),
                      Finite(Member(c, o, u"tx")) * 20.0, Finite(Member(c, o, u"ty")) * 20.0};
    }
    return Matrix{Finite(Member(c, o, u"a")),        Finite(Member(c, o, u"b")),
                  Finite(Member(c, o, u"d")),        Finite(Member(c, o, u"e")),
                  Finite(Member(c, o, u"g")) * 20.0, Finite(Member(c, o, u"h")) * 20.0};
}

Value Element(CallContext& c, avm1::Object* array, std::size_t i) {
    return c.vm.Get(array, avm1::NumberToString(static_cast<double>(i)), c.version);
}

std::size_t LengthOf(CallContext& c, avm1::Object* array) {
    const double n = Member(c, array, u"length");
    return std::isfinite(n) && n > 0 ? static_cast<std::size_t>(std::min(n, 1e6)) : 0;
}

// The colour stops of a gradient; nullopt when the arrays do not match or a ratio lies
// outside (-1, 256).
std::optional<std::vector<swf::GradientRecord>> GradientRecords(CallContext& c) {
    avm1::Object* colors = c.Arg(1).AsObject();
    avm1::Object* alphas = c.Arg(2).AsObject();
    avm1::Object* ratios = c.Arg(3).AsObject();
    if (colors == nullptr || alphas == nullptr || ratios == nullptr) {
        return std::nullopt;
    }
    const std::size_t count = LengthOf(c, colors);
    if (count == 0 || LengthOf(c, alphas) != count || LengthOf(c, ratios) != count) {
        return std::nullopt;
    }
    std::vector<swf::GradientRecord> records;
    for (std::size_t i = 0; i < std::min(count, kMaxGradientRecords); ++i) {
        const double ratio = Finite(Number(c, Element(c, ratios, i)));
        if (ratio <= -1 || ratio >= 256) {
            return std::nullopt;
        }
        swf::GradientRecord r;
        r.ratio = static_cast<std::uint8_t>(std::clamp(std::trunc(ratio), 0.0, 255.0));
        r.color =
            ColorOf(Number(c, Element(c, colors, i)), Alpha(Number(c, Element(c, alphas, i))));
        records.push_back(r);
    }
    return records;
}

// The gradient of beginGradientFill and lineGradientStyle: (type, colors, alphas, ratios,
// matrix[, spreadMethod[, interpolationMethod[, focalPointRatio]]]).
std::optional<swf::FillStyle> GradientFill(CallContext& c) {
    if (c.args.size() < 5 || c.args.size() > 8) {
        return std::nullopt;
    }
    const avm1::String type = c.vm.ToString(c.Arg(0), c.version);
    if (type != u"linear" && type != u"radial") {
        return std::nullopt;
    }
    std::optional<std::vector<swf::GradientRecord>> records = GradientRecords(c);
    if (!records) {
        return std::nullopt;
    }
    swf::FillStyle fill;
    fill.gradient.records = std::move(*records);
    fill.matrix = FillMatrix(c, c.Arg(4).AsObject());
    const avm1::String spread = c.vm.ToString(c.Arg(5), c.version);
    fill.gradient.spread = spread == u"reflect"  ? swf::SpreadMode::Reflect
                           : spread == u"repeat" ? swf::SpreadMode::Repeat
                                                 : swf::SpreadMode::Pad;
    if (c.vm.ToString(c.Arg(6), c.version) == u"linearRGB") {
        fill.gradient.interpolation = swf::InterpolationMode::LinearRgb;
    }
    const double focal = c.args.size() > 7 ? std::clamp(Finite(Number(c, c.Arg(7))), -1.0, 1.0) : 0;
    if (type == u"linear") {
        fill.type = swf::FillType::LinearGradient;
    } else if (focal != 0) {
        fill.type = swf::FillType::FocalRadialGradient;
        fill.gradient.focalPoint = focal;
    } else {
        fill.type = swf::FillType::RadialGradient;
    }
    return fill;
}

Value BeginFill(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    if (clip == nullptr) {
        return Value();
    }
    if (c.Arg(0).IsUndefined()) {
        clip->DrawnContent().EndFill();
        return Value();
    }
    swf::FillStyle fill;
    fill.color = ColorOf(Number(c, c.Arg(0)), c.args.size() > 1 ? Alpha(Number(c, c.Arg(1))) : 255);
    clip->DrawnContent().BeginFill(fill);
    return Value();
}

Value BeginGradientFill(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    if (clip == nullptr) {
        return Value();
    }
    if (c.Arg(0).IsUndefined()) {
        clip->DrawnContent().EndFill();
        return Value();
    }
    if (std::optional<swf::FillStyle> fill = GradientFill(c)) {
        clip->DrawnContent().BeginFill(*fill);
    }
    return Value();
}

swf::CapStyle CapOf(const avm1::String& name) {
    return name == u"none"     ? swf::CapStyle::None
           : name == u"square" ? swf::CapStyle::Square
                               : swf::CapStyle::Round;
}

// lineStyle(thickness, rgb, alpha, pixelHinting, noScale, capsStyle, jointStyle, miterLimit);
// without a thickness no line is drawn.
Value LineStyle(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    if (clip == nullptr) {
        return Value();
    }
    if (c.Arg(0).IsUndefined()) {
        clip->DrawnContent().SetLineStyle(std::nullopt);
        return Value();
    }
    swf::LineStyle line;
    const double px = std::clamp(Finite(Number(c, c.Arg(0))), 0.0, 255.0);
    line.width = static_cast<std::uint16_t>(std::round(px * 20));
    line.color =
        ColorOf(Finite(Number(c, c.Arg(1))), c.args.size() > 2 ? Alpha(Number(c, c.Arg(2))) : 255);
    line.pixelHinting = avm1::ToBoolean(c.Arg(3), c.version);
    const avm1::String scale = c.vm.ToString(c.Arg(4), c.version);
    line.noHScale = scale == u"none" || scale == u"vertical";
    line.noVScale = scale == u"none" || scale == u"horizontal";
    line.startCap = line.endCap = CapOf(c.vm.ToString(c.Arg(5), c.version));
    const avm1::String join = c.vm.ToString(c.Arg(6), c.version);
    line.join = join == u"miter"   ? swf::JoinStyle::Miter
                : join == u"bevel" ? swf::JoinStyle::Bevel
                                   : swf::JoinStyle::Round;
    if (c.args.size() > 7) {
        line.miterLimit = std::clamp(Finite(Number(c, c.Arg(7)), 3), 1.0, 255.0);
    }
    clip->DrawnContent().SetLineStyle(line);
    return Value();
}

// Paints the current line with a gradient; without a line it does nothing.
Value LineGradientStyle(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    if (clip == nullptr) {
        return Value();
    }
    std::optional<swf::LineStyle> line = clip->DrawnContent().CurrentLine();
    std::optional<swf::FillStyle> fill = GradientFill(c);
    if (line && fill) {
        line->hasFill = true;
        line->fill = *fill;
        clip->DrawnContent().SetLineStyle(line);
    }
    return Value();
}

std::optional<Point> PointArgs(CallContext& c, std::size_t first) {
    if (c.args.size() < first + 2) {
        return std::nullopt;
    }
    return Point{Finite(Number(c, c.Arg(first))) * 20.0,
                 Finite(Number(c, c.Arg(first + 1))) * 20.0};
}

Value MoveTo(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    if (std::optional<Point> p = PointArgs(c, 0); clip != nullptr && p) {
        clip->DrawnContent().MoveTo(*p);
    }
    return Value();
}

Value LineTo(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    if (std::optional<Point> p = PointArgs(c, 0); clip != nullptr && p) {
        clip->DrawnContent().LineTo(*p);
    }
    return Value();
}

Value CurveTo(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    std::optional<Point> control = PointArgs(c, 0);
    std::optional<Point> to = PointArgs(c, 2);
    if (clip != nullptr && control && to) {
        clip->DrawnContent().CurveTo(*control, *to);
    }
    return Value();
}

Value EndFill(CallContext& c) {
    if (MovieClip* clip = ThisClip(c)) {
        clip->DrawnContent().EndFill();
    }
    return Value();
}

Value Clear(CallContext& c) {
    if (MovieClip* clip = ThisClip(c)) {
        clip->DrawnContent().Clear();
    }
    return Value();
}

constexpr avm1::NativeMember kDrawing[] = {
    Method(u"beginFill", BeginFill),
    Method(u"beginGradientFill", BeginGradientFill),
    Method(u"moveTo", MoveTo),
    Method(u"lineTo", LineTo),
    Method(u"curveTo", CurveTo),
    Method(u"lineStyle", LineStyle),
    Method(u"endFill", EndFill),
    Method(u"clear", Clear),
    Method(u"lineGradientStyle", LineGradientStyle),
};

}  // namespace

void InstallMovieClipDrawing(avm1::Vm& vm) {
    avm1::DefineMembers(vm, vm.MovieClipPrototype(), kDrawing);
}

}  // namespace flash
