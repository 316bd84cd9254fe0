// Parse speed of a large generated movie and the heap a loaded movie takes. Prints figures.
#include <malloc.h>

#include <chrono>
#include <cmath>
#include <cstdio>

#include "flash/swf/movie.h"
#include "swfgen/action_builder.h"
#include "swfgen/shape_builder.h"
#include "swfgen/tag_writer.h"

namespace {

using namespace flash;
using namespace flash::swf;

// A busy movie: many shapes of many curves and gradients, a font and text, and a long
// timeline moving dozens of objects with a script per frame.
swfgen::MovieWriter LargeMovie() {
    swfgen::MovieWriter m(8, Rect{0, 11000, 0, 8000}, 24);
    const int kShapes = 400;
    for (int s = 0; s < kShapes; ++s) {
        swfgen::ShapeBuilder b;
        FillStyle g;
        g.type = FillType::RadialGradient;
        g.matrix = {0.05, 0, 0, 0.05, 0, 0};
        g.gradient.records = {
            {0, {255, 0, 0, 255}}, {128, {0, 255, 0, 200}}, {255, {0, 0, 255, 255}}};
        const auto fill = b.AddFill(g);
        const auto solid = b.AddSolidFill({std::uint8_t(s), 100, 200, 255});
        const auto line = b.AddLine(20, {0, 0, 0, 255});
        b.Fill1(s % 2 ? fill : solid).Line(line).MoveTo(0, 0);
        // A star of 150 curves.
        for (int i = 0; i < 150; ++i) {
            const double a = i * 2 * M_PI / 150;
            const double r = i % 2 ? 800 : 1500;
            b.CurveTo(static_cast<std::int32_t>(std::cos(a) * r * 1.1),
                      static_cast<std::int32_t>(std::sin(a) * r * 1.1),
                      static_cast<std::int32_t>(std::cos(a) * r),
                      static_cast<std::int32_t>(std::sin(a) * r));
        }
        b.LineTo(0, 0);
        m.DefineShape(static_cast<std::uint16_t>(s + 1), b, 3);
    }
    Font font;
    font.version = 3;
    font.unitsPerEm = 20480;
    font.name = "Bench";
    font.wideCodes = true;
    font.hasLayout = true;
    for (int c = 0; c < 96; ++c) {
        Glyph glyph;
        glyph.code = static_cast<std::uint16_t>(32 + c);
        glyph.advance = 12000;
        for (int i = 0; i < 20; ++i) {
            const double a0 = i * 2 * M_PI / 20, a1 = (i + 1) * 2 * M_PI / 20;
            glyph.edges.push_back(
                {{std::round(std::cos(a0) * 8000), std::round(std::sin(a0) * 8000)},
                 {},
                 {std::round(std::cos(a1) * 8000), std::round(std::sin(a1) * 8000)},
                 false,
                 1,
                 0,
                 0});
            glyph.edges.back().control = {
                (glyph.edges.back().from.x + glyph.edges.back().to.x) / 2,
                (glyph.edges.back().from.y + glyph.edges.back().to.y) / 2};
        }
        font.glyphs.push_back(glyph);
    }
    m.DefineFont(1000, font);
    Text text;
    text.version = 2;
    text.bounds = {0, 10000, 0, 2000};
    for (int line = 0; line < 20; ++line) {
        TextRecord r{1000, {0, 0, 0, 255}, 0, line * 300, 240, {}};
        for (int i = 0; i < 60; ++i) {
            r.glyphs.push_back({static_cast<std::uint32_t>(i % 96), 140});
        }
        text.records.push_back(r);
    }
    m.DefineText(1001, text);

    const auto script = swfgen::ActionBuilder()
                            .Push("counter")
                            .Push("counter")
                            .GetVariable()
                            .PushInteger(1)
                            .Op(swfgen::kActionAdd2)
                            .SetVariable()
                            .Build();
    for (int frame = 0; frame < 3000; ++frame) {
        for (int d = 0; d < 40; ++d) {
            swfgen::Place p;
            p.depth = static_cast<std::uint16_t>(d + 1);
            if (frame == 0) {
                p.characterId = static_cast<std::uint16_t>(d * 7 % kShapes + 1);
            } else {
                p.move = true;
            }
            p.matrix =
                Matrix{1 + d * 0.01, 0.1, -0.1, 1, double(frame * 10 % 11000), double(d * 200)};
            p.colorTransform = ColorTransform{1, 1, 1, 0.5 + d * 0.01, 0, 0, 0, 0};
            m.PlaceObject2(p);
        }
        m.DoAction(script);
        m.ShowFrame();
    }
    return m;
}

std::size_t HeapInUse() {
    return mallinfo2().uordblks;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main() {
    const auto writer = LargeMovie();
    const auto plain = writer.Build(Compression::None);
    for (Compression c : {Compression::None, Compression::Zlib, Compression::Lzma}) {
        const auto file = writer.Build(c);
        const int runs = 5;
        double best = 1e9;
        for (int i = 0; i < runs; ++i) {
            const auto start = std::chrono::steady_clock::now();
            const Movie movie = ParseMovie(file);
            best = std::min(best, Seconds(start));
            if (movie.frames.size() != 3000) {
                std::fprintf(stderr, "unexpected frame count %zu\n", movie.frames.size());
                return 1;
            }
        }
        const char* name = c == Compression::None ? "FWS" : c == Compression::Zlib ? "CWS" : "ZWS";
        std::printf(
            "parse %s: file %.2f MB, movie %.2f MB, best of %d: %.1f ms, %.1f MB/s "
            "(uncompressed)\n",
            name, file.size() / 1e6, plain.size() / 1e6, runs, best * 1e3,
            plain.size() / 1e6 / best);
    }
    const std::size_t before = HeapInUse();
    {
        const Movie movie = ParseMovie(plain);
        const std::size_t after = HeapInUse();
        std::printf("loaded movie: %.2f MB of heap for %.2f MB of movie (%.2f x), %zu frames\n",
                    (after - before) / 1e6, plain.size() / 1e6,
                    double(after - before) / plain.size(), movie.frames.size());
    }
    return 0;
}
