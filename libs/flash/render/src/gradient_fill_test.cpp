#include "gradient_fill.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "paint.h"

namespace flash::render {
namespace {

constexpr int kWidth = 120, kHeight = 90;

swf::FillStyle Style(swf::FillType type, swf::SpreadMode spread, double focal,
                     const Matrix& matrix) {
    swf::FillStyle f;
    f.type = type;
    f.matrix = matrix;
    f.gradient.spread = spread;
    f.gradient.focalPoint = focal;
    f.gradient.records = {{0, {255, 0, 0, 255}}, {100, {0, 200, 0, 128}}, {255, {0, 0, 255, 255}}};
    return f;
}

// A rectangle over the whole canvas, in twips.
Path Cover() {
    Path p;
    p.MoveTo({-200, -200});
    p.LineTo({(kWidth + 10) * 20.0, -200});
    p.LineTo({(kWidth + 10) * 20.0, (kHeight + 10) * 20.0});
    p.LineTo({-200, (kHeight + 10) * 20.0});
    p.Close();
    return p;
}

// The path filled on a white canvas, by the table fill or by Cairo's gradient, inside `clip`.
std::vector<std::uint32_t> Draw(const swf::FillStyle& fill, const ColorTransform& color, bool table,
                                const Box& clip) {
    std::vector<std::uint32_t> pixels(kWidth * kHeight, 0xFFFFFFFF);
    cairo_surface_t* s =
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels.data()),
                                            CAIRO_FORMAT_ARGB32, kWidth, kHeight, kWidth * 4);
    cairo_t* cr = cairo_create(s);
    cairo_rectangle(cr, clip.x0, clip.y0, clip.x1 - clip.x0, clip.y1 - clip.y0);
    cairo_clip(cr);
    const Matrix world = Matrix::Scale(0.05, 0.05);
    if (table) {
        GradientFiller filler;
        EXPECT_TRUE(filler.Fill(cr, Cover(), world, CAIRO_FILL_RULE_WINDING, fill, color));
    } else {
        const PatternRef pattern = MakeGradient(fill, world * fill.matrix, color);
        AppendPath(cr, Cover(), world);
        cairo_set_source(cr, pattern.get());
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return pixels;
}

int Difference(std::uint32_t a, std::uint32_t b) {
    int most = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        most = std::max(most, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
    }
    return most;
}

Matrix Turned(double scale, double angle, double x, double y) {
    const double c = std::cos(angle) * scale, s = std::sin(angle) * scale;
    return {c, s, -s, c, x, y};
}

// The table lookup agrees with Cairo's continuous gradient within a table step, in every
// kind, spread mode and placement, and draws nothing outside the clip.
TEST(GradientFillTest, MatchesCairosGradientWithinATableStep) {
    struct Case {
        const char* name;
        swf::FillType type;
        swf::SpreadMode spread;
        double focal;
        Matrix matrix;  // gradient square to twips
    };
    const Case cases[] = {
        {"linear pad", swf::FillType::LinearGradient, swf::SpreadMode::Pad, 0,
         Turned(0.05, 0.4, 1200, 900)},
        {"linear reflect", swf::FillType::LinearGradient, swf::SpreadMode::Reflect, 0,
         Turned(0.02, -1.1, 1000, 800)},
        {"linear repeat", swf::FillType::LinearGradient, swf::SpreadMode::Repeat, 0,
         Turned(0.02, 2.0, 1300, 700)},
        {"radial pad", swf::FillType::RadialGradient, swf::SpreadMode::Pad, 0,
         Matrix{0.05, 0.01, -0.02, 0.03, 1200, 900}},
        {"radial reflect", swf::FillType::RadialGradient, swf::SpreadMode::Reflect, 0,
         Turned(0.02, 0.3, 1100, 1000)},
        {"radial repeat", swf::FillType::RadialGradient, swf::SpreadMode::Repeat, 0,
         Turned(0.015, 0.3, 900, 800)},
        // Cairo's own focal gradients lose precision as the focal point nears the circle.
        {"focal", swf::FillType::FocalRadialGradient, swf::SpreadMode::Pad, 0.4,
         Turned(0.05, 0.8, 1200, 900)},
        {"focal behind", swf::FillType::FocalRadialGradient, swf::SpreadMode::Pad, -0.5,
         Turned(0.04, -0.3, 1200, 900)},
    };
    ColorTransform tinted;
    tinted.rMult = 0.5;
    tinted.aMult = 0.8;
    tinted.bAdd = 40;
    const Box clip{10, 5, 100, 80};
    for (const Case& c : cases) {
        for (const ColorTransform& color : {ColorTransform{}, tinted}) {
            SCOPED_TRACE(c.name);
            const swf::FillStyle fill = Style(c.type, c.spread, c.focal, c.matrix);
            const auto table = Draw(fill, color, true, clip);
            const auto cairo = Draw(fill, color, false, clip);
            long outliers = 0;
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < kWidth; ++x) {
                    const std::uint32_t p = table[y * kWidth + x], q = cairo[y * kWidth + x];
                    const bool inside = x >= clip.x0 && x < clip.x1 && y >= clip.y0 && y < clip.y1;
                    if (!inside) {
                        ASSERT_EQ(p, 0xFFFFFFFF) << "outside the clip at " << x << "," << y;
                        continue;
                    }
                    // Every colour is at least half opaque: every pixel gets painted, also
                    // where Cairo's fixed point runs out far from the gradient square and it
                    // paints nothing.
                    ASSERT_NE(p, 0xFFFFFFFF) << "unpainted at " << x << "," << y;
                    // Neighbouring entries of these records differ by up to 3 levels; the
                    // entry is at most one away and both sides round. Cairo blends
                    // the seam of a repeat over a fraction of an entry: a line of outliers.
                    if (q != 0xFFFFFFFF && Difference(p, q) > 4) {
                        ++outliers;
                    }
                }
            }
            EXPECT_LE(outliers, kWidth * kHeight / 50);
        }
    }
}

TEST(GradientFillTest, GradientsThatCannotBeDrawnSoAreLeftToTheCaller) {
    GradientFiller filler;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
    cairo_t* cr = cairo_create(s);
    swf::FillStyle none = Style(swf::FillType::LinearGradient, swf::SpreadMode::Pad, 0, {});
    none.gradient.records.clear();
    swf::FillStyle flat = Style(swf::FillType::RadialGradient, swf::SpreadMode::Pad, 0, {});
    flat.matrix = Matrix::Scale(0, 1);
    for (const swf::FillStyle& f : {none, flat}) {
        EXPECT_FALSE(
            filler.Fill(cr, Cover(), Matrix::Scale(0.05, 0.05), CAIRO_FILL_RULE_WINDING, f, {}));
    }
    cairo_destroy(cr);
    cairo_surface_destroy(s);
}

TEST(ColorTableTest, EntriesFollowTheRecordsPremultiplied) {
    swf::Gradient g;
    g.records = {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 0}}};
    const ColorTable t = BuildColorTable(g, {});
    EXPECT_EQ(t.argb[0], 0xFFFF0000u);
    EXPECT_EQ(t.argb[255], 0u);
    EXPECT_EQ(t.argb[256], 0u);  // past the last record: its colour
    // Entry 128 of 255: straight (127, 0, 128, 127), premultiplied.
    EXPECT_EQ(t.argb[128] >> 24, 127u);
    EXPECT_EQ(t.argb[128] >> 16 & 0xFF, 63u);
    EXPECT_EQ(t.argb[128] & 0xFF, 64u);
    g.interpolation = swf::InterpolationMode::LinearRgb;
    // Linear light lifts the middle of a ramp between two primaries.
    EXPECT_GT(BuildColorTable(g, {}).argb[128] >> 16 & 0xFF, 80u);
}

TEST(ColorTableTest, CacheReusesTablesAndStaysBounded) {
    ColorTableCache cache;
    swf::Gradient g;
    g.records = {{0, {10, 20, 30, 255}}, {255, {200, 100, 0, 255}}};
    const ColorTable* first = &cache.Get(g, {});
    EXPECT_EQ(first, &cache.Get(g, {}));
    ColorTransform half;
    half.rMult = 0.5;
    EXPECT_NE(cache.Get(g, half).argb[255], first->argb[255]);
    for (int i = 0; i < int(ColorTableCache::kMaxTables) + 40; ++i) {
        g.records[0].color.r = static_cast<std::uint8_t>(i);
        g.records[0].color.g = static_cast<std::uint8_t>(i >> 8);
        const ColorTable& t = cache.Get(g, {});
        EXPECT_EQ(t.argb[0] >> 16 & 0xFF, static_cast<std::uint32_t>(i & 0xFF));
    }
    EXPECT_LE(cache.Size(), ColorTableCache::kMaxTables);
}

}  // namespace
}  // namespace flash::render
