#include "display/drawing.h"

#include <algorithm>
#include <cmath>

namespace flash {

namespace {

// Limits of one axis of a quadratic curve, its extremum included.
void CurveLimits(double a, double c, double b, double& lo, double& hi) {
    lo = std::min(lo, std::min(a, b));
    hi = std::max(hi, std::max(a, b));
    const double den = a - 2 * c + b;
    if (den != 0) {
        const double t = (a - c) / den;
        if (t > 0 && t < 1) {
            const double v = (1 - t) * (1 - t) * a + 2 * t * (1 - t) * c + t * t * b;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
}

std::int32_t ClampTwips(double v) {
    return static_cast<std::int32_t>(std::clamp(std::round(v), -2147483647.0, 2147483647.0));
}

}  // namespace

swf::ShapeLayer& Drawing::Layer() {
    if (shape_->layers.empty()) {
        shape_->layers.emplace_back();
    }
    return shape_->layers.back();
}

void Drawing::Changed() {
    ++revision_;
    published_.reset();
}

void Drawing::AddEdge(Point control, Point to, bool curved, std::uint16_t line) {
    if (!filling_ && line == 0) {
        pen_ = to;  // nothing to draw: the pen just moves
        return;
    }
    swf::Edge e;
    e.from = pen_;
    e.control = curved ? control : Point{(pen_.x + to.x) / 2, (pen_.y + to.y) / 2};
    e.to = to;
    e.curved = curved;
    e.fill0 = filling_ ? 1 : 0;
    e.line = line;
    Layer().edges.push_back(e);
    pen_ = to;
    Changed();
}

// The closing edge takes the current line, as Flash strokes it.
swf::Edge Drawing::ClosingEdge() const {
    swf::Edge e;
    e.from = pen_;
    e.to = fillStart_;
    e.control = Point{(pen_.x + fillStart_.x) / 2, (pen_.y + fillStart_.y) / 2};
    e.fill0 = 1;
    e.line = line_;
    return e;
}

void Drawing::CloseFill() {
    if (filling_ && pen_ != fillStart_) {
        Layer().edges.push_back(ClosingEdge());
        pen_ = fillStart_;
        Changed();
    }
}

void Drawing::BeginFill(const swf::FillStyle& fill) {
    EndFill();
    // Each fill gets a layer of its own, so it draws over what came before it.
    if (shape_->layers.empty() || !shape_->layers.back().edges.empty() ||
        !shape_->layers.back().fills.empty()) {
        shape_->layers.emplace_back();
    }
    swf::ShapeLayer& layer = Layer();
    layer.fills.push_back(fill);
    line_ = 0;
    if (lineStyle_) {
        layer.lines.push_back(*lineStyle_);
        line_ = static_cast<std::uint16_t>(layer.lines.size());
    }
    filling_ = true;
    fillStart_ = pen_;
    Changed();
}

void Drawing::EndFill() {
    if (!filling_) {
        return;
    }
    CloseFill();
    filling_ = false;
    pen_ = fillStart_;
}

void Drawing::SetLineStyle(const std::optional<swf::LineStyle>& line) {
    lineStyle_ = line;
    line_ = 0;
    if (!line) {
        return;
    }
    if (Layer().lines.size() >= 0xFFFF) {
        // The styles of a layer are counted in 16 bits: go on in a new one, same fill.
        std::vector<swf::FillStyle> fills = Layer().fills;
        shape_->layers.emplace_back().fills = std::move(fills);
    }
    Layer().lines.push_back(*line);
    line_ = static_cast<std::uint16_t>(Layer().lines.size());
    Changed();
}

void Drawing::MoveTo(Point p) {
    // A fill's contour closes before the pen leaves it.
    CloseFill();
    pen_ = p;
    fillStart_ = p;
}

void Drawing::LineTo(Point p) {
    AddEdge({}, p, false, line_);
}

void Drawing::CurveTo(Point control, Point to) {
    AddEdge(control, to, true, line_);
}

void Drawing::Clear() {
    shape_ = std::make_shared<swf::Shape>();
    pen_ = fillStart_ = Point{};
    filling_ = false;
    line_ = 0;
    lineStyle_.reset();
    Changed();
}

std::shared_ptr<const swf::Shape> Drawing::Shape() const {
    if (!published_) {
        auto shape = std::make_shared<swf::Shape>(*shape_);
        // A fill still open is drawn as if closed.
        if (filling_ && pen_ != fillStart_ && !shape->layers.empty()) {
            shape->layers.back().edges.push_back(ClosingEdge());
        }
        shape->bounds = shape->edgeBounds = Bounds();
        published_ = std::move(shape);
    }
    return published_;
}

Rect Drawing::Bounds() const {
    double xmin = INFINITY, xmax = -INFINITY, ymin = INFINITY, ymax = -INFINITY;
    for (const swf::ShapeLayer& layer : shape_->layers) {
        for (const swf::Edge& e : layer.edges) {
            double x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
            CurveLimits(e.from.x, e.control.x, e.to.x, x0, x1);
            CurveLimits(e.from.y, e.control.y, e.to.y, y0, y1);
            double half = 0;
            if (e.line > 0 && e.line <= layer.lines.size()) {
                half = layer.lines[e.line - 1].width / 2.0;
            }
            xmin = std::min(xmin, x0 - half);
            xmax = std::max(xmax, x1 + half);
            ymin = std::min(ymin, y0 - half);
            ymax = std::max(ymax, y1 + half);
        }
    }
    if (!(xmin <= xmax && ymin <= ymax)) {
        return Rect{1, 0, 1, 0};
    }
    return Rect{ClampTwips(xmin), ClampTwips(xmax), ClampTwips(ymin), ClampTwips(ymax)};
}

}  // namespace flash
