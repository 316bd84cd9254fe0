#include "device_bounds.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "stroke.h"

namespace flash::render {
namespace {

constexpr double kAntialias = 2;  // pixels beyond the geometry that drawing may touch

Box ToBox(const Rect& r) {
    if (r.empty()) {
        return {};
    }
    return {double(r.xmin), double(r.ymin), double(r.xmax), double(r.ymax)};
}

}  // namespace

Box ShapeDeviceBox(const swf::Shape& shape, const ShapePaths& paths, const Matrix& m,
                   double stageScale) {
    double reach = 0;
    for (const swf::ShapeLayer& layer : shape.layers) {
        for (const swf::LineStyle& line : layer.lines) {
            const double width = StrokeWidth(line, m, stageScale);
            const double miter =
                line.join == swf::JoinStyle::Miter && std::isfinite(line.miterLimit)
                    ? std::clamp(line.miterLimit, 1.0, 255.0) / 2
                    : 0;
            reach = std::max(reach, width * std::max(1.0, miter));
        }
    }
    return DeviceBox(paths.bounds, m).Grown(reach + kAntialias);
}

Box TextDeviceBox(const swf::Text& text, const Matrix& m) {
    const Matrix toDevice = m * text.matrix;
    Box box = DeviceBox(ToBox(text.bounds), toDevice);
    for (const swf::TextRecord& record : text.records) {
        double advance = 0;
        for (const swf::GlyphEntry& g : record.glyphs) {
            advance += std::max(0, g.advance);
        }
        const double h = record.height;
        const Box run{record.x - h, record.y - 2 * h, record.x + advance + h, record.y + h};
        box.Add(DeviceBox(run, toDevice));
    }
    return box.Grown(kAntialias);
}

PixelRect ToPixelRect(const Box& box) {
    constexpr double kLimit = 1 << 30;
    if (box.Empty() || !std::isfinite(box.x0) || !std::isfinite(box.y0) || !std::isfinite(box.x1) ||
        !std::isfinite(box.y1)) {
        return {};
    }
    const double x0 = std::floor(std::clamp(box.x0, -kLimit, kLimit));
    const double y0 = std::floor(std::clamp(box.y0, -kLimit, kLimit));
    const double x1 = std::ceil(std::clamp(box.x1, -kLimit, kLimit));
    const double y1 = std::ceil(std::clamp(box.y1, -kLimit, kLimit));
    return {int(x0), int(y0), std::max(1, int(x1 - x0)), std::max(1, int(y1 - y0))};
}

PixelRect DeviceRect(const Rect& twips, const Matrix& toDevice, double margin) {
    if (twips.empty() || !IsUsable(toDevice)) {
        return {};
    }
    return ToPixelRect(DeviceBox(ToBox(twips), toDevice).Grown(margin));
}

}  // namespace flash::render
