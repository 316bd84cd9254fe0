#include "movie_parts.h"

#include <numbers>

namespace data_movies {

void Circle(swfgen::ShapeBuilder& s, double cx, double cy, double r) {
    const double step = std::numbers::pi / 4;
    const double control = r / std::cos(step / 2);
    s.MoveTo(T(cx + r), T(cy));
    for (int i = 1; i <= 8; ++i) {
        const double mid = step * (i - 0.5);
        const double end = step * i;
        s.CurveTo(T(cx + control * std::cos(mid)), T(cy + control * std::sin(mid)),
                  T(cx + r * std::cos(end)), T(cy + r * std::sin(end)));
    }
}

swfgen::Place Put(std::uint16_t depth, std::uint16_t id, const flash::Matrix& m) {
    swfgen::Place p;
    p.depth = depth;
    p.characterId = id;
    p.matrix = m;
    return p;
}

flash::Matrix ScaledAt(double scale, double x, double y) {
    return {scale, 0, 0, scale, static_cast<double>(T(x)), static_cast<double>(T(y))};
}

}  // namespace data_movies
