// Figures of the player core, printed: time to load a movie, the memory a loaded movie takes,
// and the time per frame of a complex vector scene at 550 x 400 and at 1920 x 1080.
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "flash/player/player.h"
#include "flash/swf/tag_codes.h"
#include "swfgen/action_builder.h"
#include "swfgen/shape_builder.h"
#include "swfgen/tag_writer.h"

namespace {

// Bytes currently allocated through operator new, to measure what a loaded movie keeps.
std::atomic<long long> g_liveBytes{0};

}  // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size + 16);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    *static_cast<std::size_t*>(p) = size;
    g_liveBytes += static_cast<long long>(size);
    return static_cast<char*>(p) + 16;
}

void operator delete(void* p) noexcept {
    if (p != nullptr) {
        char* block = static_cast<char*>(p) - 16;
        g_liveBytes -= static_cast<long long>(*reinterpret_cast<std::size_t*>(block));
        std::free(block);
    }
}

void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

using Clock = std::chrono::steady_clock;

// 40 shapes of curves with gradient and solid fills and outlines, 6 sprites that each hold
// all of them, turning and fading over 60 frames at 30 fps.
swfgen::Bytes ComplexScene() {
    swfgen::MovieWriter m(8, flash::Rect{0, 11000, 0, 8000}, 30);
    m.SetBackgroundColor({250, 250, 240, 255});
    for (std::uint16_t id = 1; id <= 40; ++id) {
        swfgen::ShapeBuilder shape;
        flash::swf::FillStyle gradient;
        gradient.type = flash::swf::FillType::RadialGradient;
        gradient.matrix = flash::Matrix::Scale(0.05, 0.05);
        gradient.gradient.records = {{0, {255, static_cast<std::uint8_t>(id * 6), 0, 255}},
                                     {255, {0, 0, static_cast<std::uint8_t>(255 - id * 6), 200}}};
        std::uint16_t fill =
            id % 2 ? shape.AddFill(gradient)
                   : shape.AddSolidFill({static_cast<std::uint8_t>(id * 6), 120, 200, 180});
        std::uint16_t line = shape.AddLine(40, {0, 0, 0, 255});
        shape.Fill1(fill).Line(line).MoveTo(0, -1000);
        for (int k = 1; k <= 12; ++k) {
            double a = k * M_PI / 6;
            double r = k % 2 ? 600 + id * 10 : 1000;
            shape.CurveTo(static_cast<int>(std::sin(a - 0.26) * r * 1.3),
                          static_cast<int>(-std::cos(a - 0.26) * r * 1.3),
                          static_cast<int>(std::sin(a) * r), static_cast<int>(-std::cos(a) * r));
        }
        m.Tag(flash::swf::kTagDefineShape3, shape.DefineShape(id, 3));
    }
    for (std::uint16_t s = 0; s < 6; ++s) {
        swfgen::TagList sprite(8);
        for (std::uint16_t id = 1; id <= 40; ++id) {
            swfgen::Place p;
            p.characterId = id;
            p.depth = id;
            p.matrix = flash::Matrix::Translate((id % 8) * 1300.0 - 4500, (id / 8) * 1300.0 - 3000);
            sprite.PlaceObject2(p);
        }
        sprite.ShowFrame();
        m.DefineSprite(static_cast<std::uint16_t>(100 + s), sprite);
    }
    for (int frame = 0; frame < 60; ++frame) {
        for (std::uint16_t s = 0; s < 6; ++s) {
            swfgen::Place p;
            p.depth = static_cast<std::uint16_t>(s + 1);
            if (frame == 0) {
                p.characterId = static_cast<std::uint16_t>(100 + s);
            } else {
                p.move = true;
            }
            double angle = frame * 0.05 + s;
            double scale = 0.6 + 0.1 * s;
            p.matrix =
                flash::Matrix{scale * std::cos(angle),         scale * std::sin(angle),
                              -scale * std::sin(angle),        scale * std::cos(angle),
                              5500.0 + 1500 * std::cos(angle), 4000.0 + 900 * std::sin(angle)};
            flash::ColorTransform cx;
            cx.aMult = 0.5 + 0.5 * std::cos(frame * 0.1 + s);
            p.colorTransform = cx;
            m.PlaceObject2(p);
        }
        m.ShowFrame();
    }
    return m.Build();
}

// An ordinary animation: 20 opaque shapes with outlines moving across the stage.
swfgen::Bytes OrdinaryScene() {
    swfgen::MovieWriter m(8, flash::Rect{0, 11000, 0, 8000}, 24);
    m.SetBackgroundColor({255, 255, 255, 255});
    for (std::uint16_t id = 1; id <= 20; ++id) {
        swfgen::ShapeBuilder shape;
        std::uint16_t fill = shape.AddSolidFill({static_cast<std::uint8_t>(id * 12), 100,
                                                 static_cast<std::uint8_t>(255 - id * 12), 255});
        std::uint16_t line = shape.AddLine(30, {0, 0, 0, 255});
        shape.Fill1(fill)
            .Line(line)
            .MoveTo(0, 0)
            .LineTo(1200, 0)
            .CurveTo(1500, 600, 1200, 1200)
            .LineTo(0, 1200)
            .LineTo(0, 0);
        m.Tag(flash::swf::kTagDefineShape3, shape.DefineShape(id, 3));
    }
    for (int frame = 0; frame < 48; ++frame) {
        for (std::uint16_t id = 1; id <= 20; ++id) {
            swfgen::Place p;
            p.depth = id;
            if (frame == 0) {
                p.characterId = id;
            } else {
                p.move = true;
            }
            p.matrix =
                flash::Matrix::Translate((id * 500 + frame * 100) % 10000, (id * 370) % 7000);
            m.PlaceObject2(p);
        }
        m.ShowFrame();
    }
    return m.Build();
}

void LoadFigures(const swfgen::Bytes& movie) {
    const int runs = 50;
    auto start = Clock::now();
    for (int i = 0; i < runs; ++i) {
        flash::Player p;
        p.LoadMovieBytes(0, movie, "bench.swf");
        p.Advance();
    }
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / runs;
    std::printf("load and first frame of a %zu-byte movie: %.3f ms\n", movie.size(), ms);

    long long before = g_liveBytes.load();
    auto* p = new flash::Player;
    p->LoadMovieBytes(0, movie, "bench.swf");
    p->Advance();
    long long after = g_liveBytes.load();
    std::printf("memory of the loaded movie after its first frame: %.1f KiB\n",
                (after - before) / 1024.0);
    delete p;
}

void RenderFigures(const char* name, const swfgen::Bytes& movie, int width, int height) {
    flash::Player p;
    p.LoadMovieBytes(0, movie, "bench.swf");
    p.Play();
    flash::Image image(width, height);
    for (int i = 0; i < 5; ++i) {  // warm up the caches
        p.Advance();
        p.Render(image);
    }
    const int frames = 120;
    double advanceMs = 0, renderMs = 0;
    for (int i = 0; i < frames; ++i) {
        auto t0 = Clock::now();
        p.Advance();
        auto t1 = Clock::now();
        p.Render(image);
        auto t2 = Clock::now();
        advanceMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
        renderMs += std::chrono::duration<double, std::milli>(t2 - t1).count();
    }
    double perFrame = (advanceMs + renderMs) / frames;
    std::printf(
        "%s at %dx%d: %.2f ms per frame (advance %.2f, render %.2f), "
        "%.0f frames per second on one core\n",
        name, width, height, perFrame, advanceMs / frames, renderMs / frames, 1000.0 / perFrame);
}

}  // namespace

int main() {
    swfgen::Bytes movie = ComplexScene();
    LoadFigures(movie);
    RenderFigures("complex scene (240 translucent gradient shapes)", movie, 550, 400);
    RenderFigures("complex scene (240 translucent gradient shapes)", movie, 1920, 1080);
    swfgen::Bytes ordinary = OrdinaryScene();
    RenderFigures("ordinary animation (20 shapes)", ordinary, 550, 400);
    RenderFigures("ordinary animation (20 shapes)", ordinary, 1920, 1080);
    return 0;
}
