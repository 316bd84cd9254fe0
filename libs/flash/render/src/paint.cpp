#include "paint.h"

#include <algorithm>
#include <cmath>
#include <variant>
#include <vector>

#include "gradient_table.h"
#include "path.h"

namespace flash::render {
namespace {

constexpr double kGradientHalf = 16384;  // twips from the centre of the gradient square
constexpr std::size_t kMaxGradientRecords = 256;
constexpr int kLinearRgbSteps = 8;  // stops added between two records for linear RGB
// Flash looks gradient colours up in a table of this many entries over the gradient.
constexpr double kTableSize = 256;

cairo_matrix_t ToCairo(const Matrix& m) {
    cairo_matrix_t c;
    cairo_matrix_init(&c, m.a, m.b, m.c, m.d, m.tx, m.ty);
    return c;
}

// Sets the pattern's matrix to the inverse of `toDevice`; false when Cairo would refuse it.
bool SetPatternSpace(cairo_pattern_t* pattern, const Matrix& toDevice) {
    if (!IsUsable(toDevice)) {
        return false;
    }
    cairo_matrix_t m = ToCairo(toDevice);
    if (cairo_matrix_invert(&m) != CAIRO_STATUS_SUCCESS) {
        return false;
    }
    // Cairo inverts it once more when drawing; a matrix that does not survive that puts the
    // whole context into an error state.
    cairo_matrix_t check = m;
    if (cairo_matrix_invert(&check) != CAIRO_STATUS_SUCCESS) {
        return false;
    }
    cairo_pattern_set_matrix(pattern, &m);
    return cairo_pattern_status(pattern) == CAIRO_STATUS_SUCCESS;
}

void AddStop(cairo_pattern_t* p, double offset, Rgba c) {
    cairo_pattern_add_color_stop_rgba(p, offset, c.r / 255.0, c.g / 255.0, c.b / 255.0,
                                      c.a / 255.0);
}

cairo_extend_t ExtendOf(swf::SpreadMode spread) {
    switch (spread) {
        case swf::SpreadMode::Reflect:
            return CAIRO_EXTEND_REFLECT;
        case swf::SpreadMode::Repeat:
            return CAIRO_EXTEND_REPEAT;
        default:
            return CAIRO_EXTEND_PAD;
    }
}

std::shared_ptr<const swf::Bitmap> FindBitmap(std::uint16_t id, const PaintContext& context) {
    if (!context.lookup || !*context.lookup) {
        return nullptr;
    }
    const swf::Character* c = (*context.lookup)(id);
    if (!c) {
        return nullptr;
    }
    const auto* bitmap = std::get_if<std::shared_ptr<const swf::Bitmap>>(c);
    return bitmap ? *bitmap : nullptr;
}

Paint Opaque() {
    return {PatternRef(cairo_pattern_create_rgba(0, 0, 0, 1)), 1};
}

}  // namespace

PatternRef::~PatternRef() {
    if (pattern_) {
        cairo_pattern_destroy(pattern_);
    }
}

PatternRef& PatternRef::operator=(PatternRef&& other) noexcept {
    if (this != &other) {
        if (pattern_) {
            cairo_pattern_destroy(pattern_);
        }
        pattern_ = other.pattern_;
        other.pattern_ = nullptr;
    }
    return *this;
}

PatternRef MakeGradient(const swf::FillStyle& fill, const Matrix& gradientToDevice,
                        const ColorTransform& color) {
    const auto& records = fill.gradient.records;
    const std::size_t count = std::min(records.size(), kMaxGradientRecords);
    if (count == 0) {
        return {};
    }
    if (count == 1 || !IsUsable(gradientToDevice)) {
        // Nothing to spread over: the gradient collapses to one colour.
        const Rgba c = color.Apply(records[count - 1].color);
        return PatternRef(
            cairo_pattern_create_rgba(c.r / 255.0, c.g / 255.0, c.b / 255.0, c.a / 255.0));
    }
    cairo_pattern_t* p;
    if (fill.type == swf::FillType::LinearGradient) {
        p = cairo_pattern_create_linear(-kGradientHalf, 0, kGradientHalf, 0);
    } else {
        double focal = 0;
        if (fill.type == swf::FillType::FocalRadialGradient &&
            std::isfinite(fill.gradient.focalPoint)) {
            // On the circle itself the gradient would turn into a cone.
            focal = std::clamp(fill.gradient.focalPoint, -0.99, 0.99);
        }
        p = cairo_pattern_create_radial(focal * kGradientHalf, 0, 0, 0, 0, kGradientHalf);
    }
    PatternRef pattern(p);
    const bool linearLight = fill.gradient.interpolation == swf::InterpolationMode::LinearRgb;
    const std::vector<Stop> stops = TableStops(records, count, color, linearLight);
    for (std::size_t i = 0; i < stops.size(); ++i) {
        const double offset = std::min(stops[i].ratio / kTableSize, 1.0);
        if (i > 0 && linearLight && stops[i].ratio > stops[i - 1].ratio) {
            // Cairo ramps in sRGB values: stops between two records follow linear light.
            const Stop& prev = stops[i - 1];
            for (int k = 1; k < kLinearRgbSteps; ++k) {
                const double t = double(k) / kLinearRgbSteps;
                const double at =
                    std::min((prev.ratio + (stops[i].ratio - prev.ratio) * t) / kTableSize, 1.0);
                AddStop(p, at, Mix(prev.color, stops[i].color, t, true));
            }
        }
        AddStop(p, offset, stops[i].color);
    }
    cairo_pattern_set_extend(p, ExtendOf(fill.gradient.spread));
    if (!SetPatternSpace(p, gradientToDevice)) {
        return {};
    }
    return pattern;
}

Paint MakeSolidPaint(Rgba color, const ColorTransform& transform, const PaintContext& context) {
    if (context.mask) {
        return Opaque();
    }
    const Rgba c = transform.Apply(color);
    if (c.a == 0) {
        return {};
    }
    return {
        PatternRef(cairo_pattern_create_rgba(c.r / 255.0, c.g / 255.0, c.b / 255.0, c.a / 255.0)),
        1};
}

Paint MakeBitmapPaint(const std::shared_ptr<const swf::Bitmap>& bitmap,
                      const Matrix& bitmapToDevice, bool repeat, bool smooth,
                      const ColorTransform& color, const PaintContext& context) {
    if (context.mask) {
        return Opaque();
    }
    if (!bitmap || !context.bitmaps) {
        return {};
    }
    // A colour transform that only scales alpha down is an opacity; anything else recolours.
    const bool alphaOnly = color.rMult == 1 && color.gMult == 1 && color.bMult == 1 &&
                           color.rAdd == 0 && color.gAdd == 0 && color.bAdd == 0 &&
                           color.aAdd == 0 && color.aMult <= 1;
    double alpha = 1;
    cairo_surface_t* surface;
    if (alphaOnly) {
        alpha = color.aMult > 0 ? color.aMult : 0;  // also NaN
        if (alpha == 0) {
            return {};
        }
        surface = context.bitmaps->Surface(bitmap);
    } else {
        surface = context.bitmaps->Recolored(bitmap, color);
    }
    if (!surface) {
        return {};
    }
    PatternRef pattern(cairo_pattern_create_for_surface(surface));
    cairo_pattern_set_extend(pattern.get(), repeat ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_PAD);
    cairo_filter_t filter = CAIRO_FILTER_NEAREST;
    if (smooth && context.quality != Quality::Low) {
        filter = context.quality == Quality::Best ? CAIRO_FILTER_GOOD : CAIRO_FILTER_BILINEAR;
    }
    cairo_pattern_set_filter(pattern.get(), filter);
    if (!SetPatternSpace(pattern.get(), bitmapToDevice)) {
        return {};
    }
    return {std::move(pattern), alpha};
}

Paint MakeImagePaint(cairo_surface_t* surface, const Matrix& imageToDevice, bool smooth,
                     const ColorTransform& color, const PaintContext& context) {
    if (context.mask) {
        return Opaque();
    }
    if (surface == nullptr) {
        return {};
    }
    const bool alphaOnly = color.rMult == 1 && color.gMult == 1 && color.bMult == 1 &&
                           color.rAdd == 0 && color.gAdd == 0 && color.bAdd == 0 &&
                           color.aAdd == 0 && color.aMult <= 1;
    double alpha = 1;
    SurfaceRef recolored;
    if (alphaOnly) {
        alpha = color.aMult > 0 ? color.aMult : 0;  // also NaN
        if (alpha == 0) {
            return {};
        }
    } else {
        recolored = Recolor(surface, color);
        surface = recolored.get();
        if (surface == nullptr) {
            return {};
        }
    }
    // The pattern keeps its own reference to the surface.
    PatternRef pattern(cairo_pattern_create_for_surface(surface));
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
    cairo_filter_t filter = CAIRO_FILTER_NEAREST;
    if (smooth && context.quality != Quality::Low) {
        filter = context.quality == Quality::Best ? CAIRO_FILTER_GOOD : CAIRO_FILTER_BILINEAR;
    }
    cairo_pattern_set_filter(pattern.get(), filter);
    if (!SetPatternSpace(pattern.get(), imageToDevice)) {
        return {};
    }
    return {std::move(pattern), alpha};
}

Paint MakeFillPaint(const swf::FillStyle& fill, const Matrix& world, const ColorTransform& color,
                    const PaintContext& context) {
    if (fill.IsGradient()) {
        if (context.mask) {
            return Opaque();
        }
        return {MakeGradient(fill, world * fill.matrix, color), 1};
    }
    if (fill.IsBitmap()) {
        if (context.mask) {
            return Opaque();
        }
        return MakeBitmapPaint(FindBitmap(fill.bitmapId, context), world * fill.matrix,
                               fill.BitmapRepeats(), fill.BitmapSmoothed(), color, context);
    }
    return MakeSolidPaint(fill.color, color, context);
}

}  // namespace flash::render
