#include "stroke.h"

#include <algorithm>
#include <cmath>

namespace flash::render {
namespace {

constexpr double kMaxWidth = 1 << 20;  // pixels; wider covers any surface anyway

cairo_line_cap_t CapOf(swf::CapStyle cap) {
    switch (cap) {
        case swf::CapStyle::None:
            return CAIRO_LINE_CAP_BUTT;
        case swf::CapStyle::Square:
            return CAIRO_LINE_CAP_SQUARE;
        default:
            return CAIRO_LINE_CAP_ROUND;
    }
}

cairo_line_join_t JoinOf(swf::JoinStyle join) {
    switch (join) {
        case swf::JoinStyle::Bevel:
            return CAIRO_LINE_JOIN_BEVEL;
        case swf::JoinStyle::Miter:
            return CAIRO_LINE_JOIN_MITER;
        default:
            return CAIRO_LINE_JOIN_ROUND;
    }
}

}  // namespace

double StrokeWidth(const swf::LineStyle& style, const Matrix& m, double stageScale) {
    const double sx = std::hypot(m.a, m.b);
    const double sy = std::hypot(m.c, m.d);
    double scale;
    if (style.noHScale && style.noVScale) {
        scale = stageScale / 20;
    } else if (style.noHScale) {
        scale = sy;
    } else if (style.noVScale) {
        scale = sx;
    } else {
        scale = (sx + sy) / 2;
    }
    const double w = style.width * scale;
    if (!(w >= 1)) {
        return 1;  // also NaN
    }
    return std::min(w, kMaxWidth);
}

void StrokePath(cairo_t* cr, const Path& path, const swf::LineStyle& style, const Transform& t,
                double stageScale, const PaintContext& context) {
    const Paint paint = style.hasFill ? MakeFillPaint(style.fill, t.matrix, t.color, context)
                                      : MakeSolidPaint(style.color, t.color, context);
    if (!paint.pattern) {
        return;
    }
    const double width = StrokeWidth(style, t.matrix, stageScale);
    Snap snap = Snap::None;
    if (style.pixelHinting) {
        // Odd widths centre on pixels, even ones on the lines between them.
        snap = std::lround(width) % 2 == 1 ? Snap::PixelCentres : Snap::PixelEdges;
    }
    if (paint.alpha < 1) {
        cairo_push_group(cr);
    }
    cairo_new_path(cr);
    AppendPath(cr, path, t.matrix, snap);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CapOf(style.startCap));
    cairo_set_line_join(cr, JoinOf(style.join));
    cairo_set_miter_limit(
        cr, std::isfinite(style.miterLimit) ? std::clamp(style.miterLimit, 1.0, 255.0) : 3.0);
    cairo_set_source(cr, paint.pattern.get());
    cairo_stroke(cr);
    if (paint.alpha < 1) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, paint.alpha);
    }
}

}  // namespace flash::render
