#include "data_movies.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "movie_parts.h"
#include "swfgen/action_builder.h"
#include "swfgen/shape_builder.h"
#include "swfgen/tag_writer.h"

namespace data_movies {
namespace {

using flash::ColorTransform;
using flash::Matrix;
using flash::Rect;
using flash::Rgba;
using swfgen::ActionBuilder;
using swfgen::Place;
using swfgen::ShapeBuilder;
using swfgen::TagList;

constexpr int kStageWidth = 550;
constexpr int kStageHeight = 400;
constexpr double kFps = 24;

// The program's name in strokes of our own letter shapes, baseline at y 0, starting at x 0.
// Capitals stand 60 pixels high, small letters 40.
double Lettering(ShapeBuilder& s, double x) {
    const double gap = 12;
    auto line = [&](std::initializer_list<std::pair<double, double>> points) {
        bool first = true;
        for (auto [px, py] : points) {
            if (first) {
                s.MoveTo(T(x + px), T(py));
                first = false;
            } else {
                s.LineTo(T(x + px), T(py));
            }
        }
    };
    auto curve = [&](double cx, double cy, double px, double py) {
        s.CurveTo(T(x + cx), T(cy), T(x + px), T(py));
    };
    // T
    line({{0, -60}, {40, -60}});
    line({{20, -60}, {20, 0}});
    x += 40 + gap;
    // o
    Circle(s, x + 18, -20, 19);
    x += 38 + gap;
    // v
    line({{0, -40}, {16, 0}, {32, -40}});
    x += 32 + gap;
    // i
    line({{3, -40}, {3, 0}});
    line({{3, -55}, {3, -53}});
    x += 6 + gap;
    // F
    line({{0, 0}, {0, -60}, {36, -60}});
    line({{0, -32}, {28, -32}});
    x += 36 + gap;
    // l
    line({{3, -62}, {3, 0}});
    x += 6 + gap;
    // a
    Circle(s, x + 16, -20, 17);
    line({{34, -40}, {34, 0}});
    x += 34 + gap;
    // s
    line({{30, -35}});
    curve(27, -40, 16, -40);
    curve(3, -40, 3, -30);
    curve(3, -21, 16, -20);
    curve(30, -19, 30, -10);
    curve(30, 0, 16, 0);
    curve(5, 0, 1, -5);
    x += 32 + gap;
    // h
    line({{0, -62}, {0, 0}});
    line({{0, -24}});
    curve(0, -40, 16, -40);
    curve(32, -40, 32, -24);
    s.LineTo(T(x + 32), 0);
    x += 32;
    return x;
}

ColorTransform Alpha(double alpha) {
    ColorTransform c;
    c.aMult = alpha;
    return c;
}

Place Move(std::uint16_t depth, const Matrix& m, const ColorTransform& c) {
    Place p;
    p.depth = depth;
    p.move = true;
    p.matrix = m;
    p.colorTransform = c;
    return p;
}

// A stage-sized background lit softly from its middle.
ShapeBuilder Background(Rgba inner, Rgba outer) {
    ShapeBuilder s;
    flash::swf::FillStyle fill;
    fill.type = flash::swf::FillType::RadialGradient;
    fill.gradient.records = {{0, inner}, {255, outer}};
    // The gradient square (32768 twips across) scaled to the stage's width.
    const double scale = T(kStageWidth) / 32768.0 * 1.2;
    fill.matrix = {scale,
                   0,
                   0,
                   scale,
                   static_cast<double>(T(kStageWidth / 2.0)),
                   static_cast<double>(T(kStageHeight / 2.0))};
    s.Fill1(s.AddFill(fill));
    s.Rectangle(Rect{0, T(kStageWidth), 0, T(kStageHeight)});
    return s;
}

}  // namespace

swfgen::Bytes StartMovie() {
    swfgen::MovieWriter movie(8, Rect{0, T(kStageWidth), 0, T(kStageHeight)}, kFps);
    movie.SetBackgroundColor({16, 23, 36, 255});

    movie.DefineShape(1, Background({40, 66, 98, 255}, {14, 20, 32, 255}));

    // A ring of radius 100 around its own origin; the ripple scales it.
    ShapeBuilder ring;
    ring.Line(ring.AddLine(T(2), {130, 185, 255, 255}));
    Circle(ring, 0, 0, 100);
    movie.DefineShape(2, ring);

    // The ripple: three rings, a third of a cycle apart, grow and fade out for 4 seconds, over
    // and over.
    const int cycle = 96;
    TagList ripple(8);
    for (int f = 0; f < cycle; ++f) {
        for (int r = 0; r < 3; ++r) {
            const double t = std::fmod(static_cast<double>(f) / cycle + r / 3.0, 1.0);
            const double scale = 0.35 + 1.6 * t;
            const double alpha = 0.55 * (1 - t) * std::min(1.0, t * 6);
            const std::uint16_t depth = static_cast<std::uint16_t>(r + 1);
            if (f == 0) {
                Place p = Put(depth, 2, ScaledAt(scale, 0, 0));
                p.colorTransform = Alpha(alpha);
                ripple.PlaceObject2(p);
            } else {
                ripple.PlaceObject2(Move(depth, ScaledAt(scale, 0, 0), Alpha(alpha)));
            }
        }
        ripple.ShowFrame();
    }
    movie.DefineSprite(3, ripple);

    // The name, centred.
    ShapeBuilder name;
    name.Line(name.AddLine(T(5), {240, 244, 250, 255}));
    const double width = Lettering(name, 0);
    movie.DefineShape(4, name);

    const double nameX = (kStageWidth - width) / 2;
    const double nameY = kStageHeight / 2.0 + 24;
    movie.PlaceObject2(Put(1, 1, {}));
    movie.PlaceObject2(Put(2, 3, ScaledAt(1, kStageWidth / 2.0, kStageHeight / 2.0)));
    // The name fades in over the first second, then the root stops while the ripple goes on.
    const int fadeIn = 24;
    for (int f = 0; f <= fadeIn; ++f) {
        const double alpha = static_cast<double>(f) / fadeIn;
        const Matrix at = ScaledAt(1, nameX, nameY - 6 * (1 - alpha));
        if (f == 0) {
            Place p = Put(3, 4, at);
            p.colorTransform = Alpha(alpha);
            movie.PlaceObject2(p);
        } else {
            movie.PlaceObject2(Move(3, at, Alpha(alpha)));
        }
        if (f == fadeIn) {
            movie.DoAction(ActionBuilder().Stop().Build());
        }
        movie.ShowFrame();
    }
    return movie.Build();
}

}  // namespace data_movies
