// Per-frame CPU of four scenes built as SWF movies and played through the player, as the
// window plays them: Advance, then Render into an image of the view's size.
//   (a) 20 moving solid shapes with outlines, 550x400, 120 fps
//   (b) 250 overlapping translucent gradient shapes (a third outlined), each moving and
//       turning a little every frame, 550x400
//   (c) scene (b) shown whole on a 1920x1080 view
//   (d) a cartoon frame: scenery, characters made of moving parts, a morph shape, bitmaps and
//       static text, 24 fps, shown on a 1920x1080 view
// Prints CPU time of this thread per frame; asserts nothing.
// Usage: flash_scene_bench [--frames N] [--scene a|b|c|d] [--png FOLDER (last frames)]
//                          [--save FOLDER (the movies, to play them in the window)]
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "flash/player/image.h"
#include "flash/player/player.h"
#include "flash/swf/tag_codes.h"
#include "swfgen/image_encoder.h"
#include "swfgen/shape_builder.h"
#include "swfgen/tag_writer.h"

namespace {

using flash::Matrix;
using flash::Rgba;
using flash::swf::FillStyle;
using flash::swf::FillType;

constexpr double kPi = 3.14159265358979;
constexpr int kLoopFrames = 120;

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

std::uint8_t Byte(double v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
}

Matrix Turned(double x, double y, double angle, double scale) {
    const double c = std::cos(angle) * scale, s = std::sin(angle) * scale;
    return {c, s, -s, c, x, y};
}

// A closed blob of `lobes` curved edges around (cx, cy), radius about `r` twips.
void Blob(swfgen::ShapeBuilder& shape, std::mt19937& rng, int lobes, double r, double cx = 0,
          double cy = 0) {
    std::uniform_real_distribution<double> wobble(0.75, 1.25);
    auto at = [&](double a, double rr) {
        return std::pair<int, int>{static_cast<int>(cx + std::cos(a) * rr),
                                   static_cast<int>(cy + std::sin(a) * rr)};
    };
    const auto [x0, y0] = at(0, r);
    shape.MoveTo(x0, y0);
    for (int k = 1; k <= lobes; ++k) {
        const double a = 2 * kPi * k / lobes, mid = 2 * kPi * (k - 0.5) / lobes;
        const auto [qx, qy] = at(mid, r * 1.35 * wobble(rng));
        const auto [x, y] = k == lobes ? std::pair<int, int>{x0, y0} : at(a, r * wobble(rng));
        shape.CurveTo(qx, qy, x, y);
    }
}

FillStyle Gradient(bool radial, Rgba c0, Rgba c1, double size) {
    FillStyle f;
    f.type = radial ? FillType::RadialGradient : FillType::LinearGradient;
    f.matrix = Matrix::Scale(size / 32768, size / 32768) * Matrix{1, 0.3, -0.3, 1, 0, 0};
    f.gradient.records = {{0, c0}, {140, {c1.b, c0.g, c1.r, c1.a}}, {255, c1}};
    return f;
}

// Places (frame 0) or moves (later frames) `id` at `depth`.
void Place(swfgen::TagList& tags, int frame, std::uint16_t id, std::uint16_t depth,
           const Matrix& m) {
    swfgen::Place p;
    p.depth = depth;
    if (frame == 0) {
        p.characterId = id;
    } else {
        p.move = true;
    }
    p.matrix = m;
    tags.PlaceObject2(p);
}

swfgen::Bytes SceneA() {
    swfgen::MovieWriter m(8, flash::Rect{0, 11000, 0, 8000}, 120);
    m.SetBackgroundColor({255, 255, 255, 255});
    for (std::uint16_t id = 1; id <= 20; ++id) {
        swfgen::ShapeBuilder shape;
        const auto fill = shape.AddSolidFill({Byte(id * 12), 100, Byte(255 - id * 12), 255});
        const auto line = shape.AddLine(30, {0, 0, 0, 255});
        shape.Fill1(fill).Line(line).MoveTo(0, 0).LineTo(1200, 0).CurveTo(1500, 600, 1200, 1200);
        shape.LineTo(0, 1200).LineTo(0, 0);
        m.DefineShape(id, shape, 3);
    }
    for (int frame = 0; frame < kLoopFrames; ++frame) {
        for (std::uint16_t id = 1; id <= 20; ++id) {
            Place(m, frame, id, id,
                  Matrix::Translate((id * 500 + frame * 80) % 10000, (id * 370) % 7000));
        }
        m.ShowFrame();
    }
    return m.Build();
}

swfgen::Bytes SceneB() {
    swfgen::MovieWriter m(8, flash::Rect{0, 11000, 0, 8000}, 24);
    m.SetBackgroundColor({240, 240, 230, 255});
    std::mt19937 rng(22);
    std::uniform_int_distribution<int> channel(0, 255);
    constexpr int kShapes = 25, kInstances = 250;
    for (std::uint16_t id = 1; id <= kShapes; ++id) {
        swfgen::ShapeBuilder shape;
        const double r = 700 + 60 * (id % 10);
        const Rgba c0{Byte(channel(rng)), Byte(channel(rng)), Byte(channel(rng)), 200};
        const Rgba c1{Byte(channel(rng)), Byte(channel(rng)), Byte(channel(rng)), 120};
        const auto fill = shape.AddFill(Gradient(id % 2 == 0, c0, c1, r * 2.4));
        shape.Fill1(fill);
        if (id % 3 == 0) {
            shape.Line(shape.AddLine(40, {30, 30, 30, 255}));
        }
        Blob(shape, rng, 6 + id % 5, r);
        m.DefineShape(id, shape, 3);
    }
    std::uniform_real_distribution<double> x(0, 11000), y(0, 8000), u(-1, 1), s(0.6, 1.3);
    struct Mover {
        double x, y, vx, vy, angle, spin, scale;
    };
    std::vector<Mover> movers;
    for (int i = 0; i < kInstances; ++i) {
        movers.push_back(
            {x(rng), y(rng), u(rng) * 40, u(rng) * 40, u(rng) * kPi, u(rng) * 0.04, s(rng)});
    }
    for (int frame = 0; frame < kLoopFrames; ++frame) {
        for (int i = 0; i < kInstances; ++i) {
            const Mover& v = movers[i];
            // Out and back over the loop, so it repeats without a jump.
            const double t = std::sin(2 * kPi * frame / kLoopFrames) * kLoopFrames / (2 * kPi);
            Place(m, frame, static_cast<std::uint16_t>(i % kShapes + 1),
                  static_cast<std::uint16_t>(i + 1),
                  Turned(v.x + v.vx * t, v.y + v.vy * t, v.angle + v.spin * t, v.scale));
        }
        m.ShowFrame();
    }
    return m.Build();
}

// A bitmap of soft colour bands, `w` x `h` pixels.
swfgen::Pixels Picture(int w, int h, int seed) {
    swfgen::Pixels p{w, h, {}};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double v = std::sin(x * 0.05 + seed) + std::cos(y * 0.07 - seed);
            p.argb.push_back(0xFF000000u | Byte(128 + 60 * v) << 16 | Byte(90 + 40 * v) << 8 |
                             Byte(200 - 50 * v));
        }
    }
    return p;
}

// A polygon as straight edges with fill 1 on their right, in the reader's model.
std::vector<flash::swf::Edge> Polygon(const std::vector<flash::Point>& points) {
    std::vector<flash::swf::Edge> edges;
    for (std::size_t i = 0; i < points.size(); ++i) {
        flash::swf::Edge e;
        e.from = points[i];
        e.to = points[(i + 1) % points.size()];
        e.control = {(e.from.x + e.to.x) / 2, (e.from.y + e.to.y) / 2};
        e.fill1 = 1;
        edges.push_back(e);
    }
    return edges;
}

// A font of `n` blocky glyphs (a square with a notch of its own each), 1024 units to the em.
flash::swf::Font BlockFont(int n) {
    flash::swf::Font font;
    font.version = 2;
    font.name = "Blocks";
    for (int i = 0; i < n; ++i) {
        const double notch = 100 + 35 * i;
        flash::swf::Glyph glyph;
        glyph.code = static_cast<std::uint16_t>('A' + i);
        glyph.edges =
            Polygon({{60, -700}, {560, -700}, {560, 0}, {notch, 0}, {notch, -250}, {60, -250}});
        font.glyphs.push_back(glyph);
    }
    return font;
}

// A line of static text in the block font, `chars` glyphs of `height` twips.
flash::swf::Text TextLine(std::uint16_t fontId, int chars, int height, int glyphs, Rgba color) {
    flash::swf::Text text;
    text.version = 2;
    text.bounds = {0, chars * height * 3 / 5, -height, height / 4};
    flash::swf::TextRecord record;
    record.fontId = fontId;
    record.color = color;
    record.height = static_cast<std::uint16_t>(height);
    for (int i = 0; i < chars; ++i) {
        record.glyphs.push_back({static_cast<std::uint32_t>((i * 7) % glyphs), height * 3 / 5});
    }
    text.records.push_back(record);
    return text;
}

// Scenery that never moves: a sky, hills, houses and trees (about 150 shapes).
void Scenery(swfgen::MovieWriter& m, std::mt19937& rng, std::uint16_t& depth) {
    swfgen::ShapeBuilder sky;
    FillStyle skyFill = Gradient(false, {90, 150, 230, 255}, {230, 240, 255, 255}, 8000);
    skyFill.matrix = Matrix{0, 8000.0 / 32768, -11000.0 / 32768, 0, 5500, 4000};
    sky.Fill1(sky.AddFill(skyFill)).Rectangle({0, 11000, 0, 8000});
    m.DefineShape(1, sky, 3);
    m.PlaceObject(1, depth++);
    std::uniform_real_distribution<double> x(0, 11000), y(4500, 7800), u(0, 1);
    for (std::uint16_t id = 2; id <= 7; ++id) {  // hills
        swfgen::ShapeBuilder hill;
        hill.Fill1(hill.AddFill(
            Gradient(true, {80, Byte(140 + id * 10), 60, 255}, {40, 90, 30, 255}, 9000)));
        hill.Line(hill.AddLine(30, {30, 60, 20, 255}));
        hill.MoveTo(-4000, 2500).CurveTo(0, -2500, 4000, 2500).LineTo(-4000, 2500);
        m.DefineShape(id, hill, 3);
        m.PlaceObject(id, depth++, Matrix::Translate(id * 1800 - 2000, 5200 + id % 3 * 300));
    }
    swfgen::ShapeBuilder house;  // walls, roof, door, two windows
    house.Fill1(house.AddSolidFill({220, 200, 160, 255}))
        .Line(house.AddLine(30, {60, 40, 20, 255}));
    house.Rectangle({-500, 500, -600, 0});
    house.Fill1(house.AddSolidFill({170, 50, 40, 255})).MoveTo(-650, -600).LineTo(0, -1100);
    house.LineTo(650, -600).LineTo(-650, -600);
    house.Fill1(house.AddSolidFill({100, 60, 30, 255})).Rectangle({-120, 120, -350, 0});
    house.Fill1(house.AddSolidFill({180, 220, 250, 255})).Rectangle({-400, -200, -480, -280});
    house.Rectangle({200, 400, -480, -280});
    m.DefineShape(8, house, 3);
    swfgen::ShapeBuilder tree;  // trunk and a crown of curves
    tree.Fill1(tree.AddSolidFill({110, 70, 40, 255})).Line(tree.AddLine(20, {50, 30, 10, 255}));
    tree.Rectangle({-60, 60, -500, 0});
    tree.NewStyles();  // the crown in a layer of its own, over the trunk's outline
    tree.Fill1(tree.AddFill(Gradient(true, {120, 200, 90, 255}, {30, 100, 40, 255}, 1400)));
    tree.Line(tree.AddLine(20, {20, 60, 10, 255}));
    Blob(tree, rng, 9, 420, 0, -700);
    m.DefineShape(9, tree, 3);
    for (int i = 0; i < 12; ++i) {
        m.PlaceObject(8, depth++, Turned(x(rng), y(rng), 0, 0.6 + 0.5 * u(rng)));
    }
    for (int i = 0; i < 130; ++i) {
        m.PlaceObject(9, depth++, Turned(x(rng), y(rng), 0, 0.5 + 0.8 * u(rng)));
    }
}

// A sprite of `parts` limbs around a body; every limb swings each frame of its own timeline.
void Character(swfgen::MovieWriter& m, std::uint16_t id, std::uint16_t firstShape, int parts) {
    std::mt19937 rng(id);
    swfgen::ShapeBuilder body;
    body.Fill1(body.AddFill(Gradient(true, {250, 200, 150, 255}, {200, 120, 80, 255}, 1800)));
    body.Line(body.AddLine(40, {40, 20, 10, 255}));
    Blob(body, rng, 10, 600);
    m.DefineShape(firstShape, body, 3);
    swfgen::ShapeBuilder limb;
    limb.Fill1(limb.AddSolidFill({240, 180, 130, 255})).Line(limb.AddLine(30, {40, 20, 10, 255}));
    limb.MoveTo(0, -60).LineTo(500, -40).CurveTo(620, 0, 500, 40).LineTo(0, 60).LineTo(0, -60);
    m.DefineShape(static_cast<std::uint16_t>(firstShape + 1), limb, 3);
    swfgen::TagList sprite(8);
    constexpr int kFrames = 24;
    for (int frame = 0; frame < kFrames; ++frame) {
        for (int k = 0; k < parts; ++k) {
            const double base = 2 * kPi * k / parts;
            const double swing = 0.4 * std::sin(2 * kPi * frame / kFrames + k);
            Place(sprite, frame, static_cast<std::uint16_t>(firstShape + 1),
                  static_cast<std::uint16_t>(k + 1),
                  Turned(std::cos(base) * 450, std::sin(base) * 450, base + swing, 1));
        }
        if (frame == 0) {
            sprite.PlaceObject(firstShape, static_cast<std::uint16_t>(parts + 1));
        }
        sprite.ShowFrame();
    }
    m.DefineSprite(id, sprite);
}

// A flag that waves: a morph shape between two curved outlines.
void Flag(swfgen::MovieWriter& m, std::uint16_t id) {
    swfgen::MorphShapeBuilder b;
    flash::swf::MorphFillStyle fill;
    fill.start.color = {220, 30, 40, 255};
    fill.end.color = {250, 200, 30, 255};
    b.fills = {fill};
    flash::swf::MorphLineStyle line;
    line.start.width = line.end.width = 30;
    line.start.color = line.end.color = {40, 0, 0, 255};
    b.lines = {line};
    b.start.Fill0(1).Line(1).MoveTo(0, 0).CurveTo(600, -300, 1200, 0).LineTo(1200, 700);
    b.start.CurveTo(600, 400, 0, 700).LineTo(0, 0);
    b.end.MoveTo(0, 0).CurveTo(600, 300, 1200, 0).LineTo(1200, 700).CurveTo(600, 1000, 0, 700);
    b.end.LineTo(0, 0);
    m.DefineMorphShape(id, b, 1);
}

swfgen::Bytes SceneD() {
    swfgen::MovieWriter m(8, flash::Rect{0, 11000, 0, 8000}, 24);
    m.SetBackgroundColor({255, 255, 255, 255});
    std::mt19937 rng(4);
    std::uint16_t depth = 1;
    Scenery(m, rng, depth);
    // Bitmaps: a poster (lossless, as a clipped bitmap fill) and a photo (JPEG).
    const swfgen::Pixels poster = Picture(160, 120, 1);
    swfgen::Bytes rows;
    for (std::uint32_t argb : poster.argb) {
        for (int shift : {24, 16, 8, 0}) {
            rows.push_back(static_cast<std::uint8_t>(argb >> shift));
        }
    }
    m.DefineBitsLossless(20, 2, 5, 160, 120, rows);
    m.DefineBitsJpeg2(21, swfgen::EncodeJpeg(Picture(200, 150, 5)));
    for (std::uint16_t bitmap : {20, 21}) {
        swfgen::ShapeBuilder frame;
        FillStyle f;
        f.type = FillType::ClippedBitmap;
        f.bitmapId = bitmap;
        f.matrix = Matrix::Scale(20, 20);
        const int w = bitmap == 20 ? 3200 : 4000, h = bitmap == 20 ? 2400 : 3000;
        frame.Fill1(frame.AddFill(f)).Line(frame.AddLine(60, {60, 40, 20, 255}));
        frame.Rectangle({0, w, 0, h});
        m.DefineShape(static_cast<std::uint16_t>(bitmap + 2), frame, 3);
    }
    m.PlaceObject(22, depth++, Turned(600, 600, 0, 0.5));
    m.PlaceObject(23, depth++, Turned(8600, 500, 0.05, 0.5));
    // Title and caption in an embedded font.
    m.DefineFont(30, BlockFont(20));
    m.DefineText(31, TextLine(30, 24, 480, 20, {30, 30, 80, 255}));
    m.DefineText(32, TextLine(30, 60, 200, 20, {0, 0, 0, 255}));
    m.PlaceObject(31, depth++, Matrix::Translate(2600, 1200));
    m.PlaceObject(32, depth++, Matrix::Translate(1000, 7700));
    Flag(m, 40);
    Character(m, 50, 51, 24);
    Character(m, 60, 61, 30);
    // Birds and leaves moving across.
    swfgen::ShapeBuilder bird;
    bird.Fill1(bird.AddSolidFill({40, 40, 60, 255})).MoveTo(-200, 0).CurveTo(-100, -150, 0, 0);
    bird.CurveTo(100, -150, 200, 0).CurveTo(0, -60, -200, 0);
    m.DefineShape(70, bird, 3);
    const std::uint16_t movers = depth;
    std::uniform_real_distribution<double> x(0, 11000), y(0, 4000), u(-1, 1);
    std::vector<std::pair<double, double>> flock;
    for (int i = 0; i < 40; ++i) {
        flock.emplace_back(x(rng), y(rng));
    }
    for (int frame = 0; frame < kLoopFrames; ++frame) {
        std::uint16_t d = movers;
        swfgen::Place flag;
        flag.depth = d++;
        flag.move = frame > 0;
        if (frame == 0) {
            flag.characterId = 40;
            flag.matrix = Matrix::Translate(5000, 2000);
        }
        flag.ratio =
            static_cast<std::uint16_t>(32767 + 32767 * std::sin(2 * kPi * frame / kLoopFrames * 4));
        m.PlaceObject2(flag);
        const double t = std::sin(2 * kPi * frame / kLoopFrames);
        Place(m, frame, 50, d++, Turned(3000 + 1500 * t, 5800, 0.1 * t, 1));
        Place(m, frame, 60, d++, Turned(8000 - 1200 * t, 6200, -0.1 * t, 0.8));
        for (const auto& [bx, by] : flock) {
            Place(m, frame, 70, d++,
                  Turned(bx + 900 * t, by + 200 * std::sin(frame * 0.3 + bx), 0.2 * t, 0.8));
        }
        m.ShowFrame();
    }
    return m.Build();
}

struct Scene {
    char key;
    const char* name;
    swfgen::Bytes (*build)();
    int width, height;
};

// CPU per frame of `frames` frames after a warm-up: Advance, then the whole picture drawn
// (Render), or only what changed (RenderChanges, as the window draws).
struct Figures {
    double advance = 0, render = 0;
};

Figures Play(const Scene& scene, int frames, bool changesOnly, const char* png) {
    flash::Player player;
    player.LoadMovieBytes(0, scene.build(), "bench.swf");
    player.SetViewSize(scene.width, scene.height);
    player.Play();
    flash::Image image(scene.width, scene.height);
    auto draw = [&] {
        if (changesOnly) {
            player.RenderChanges(image);
        } else {
            player.Render(image);
        }
    };
    for (int i = 0; i < 3; ++i) {
        player.Advance();
        draw();
    }
    Figures f;
    for (int i = 0; i < frames; ++i) {
        const double t0 = CpuMs();
        player.Advance();
        const double t1 = CpuMs();
        draw();
        f.render += CpuMs() - t1;
        f.advance += t1 - t0;
    }
    if (png != nullptr && !changesOnly) {
        flash::WritePng(image, std::string(png) + "/scene_" + scene.key + ".png");
    }
    f.advance /= frames;
    f.render /= frames;
    return f;
}

void Measure(const Scene& scene, int frames, const char* png) {
    const Figures whole = Play(scene, frames, false, png);
    const Figures changes = Play(scene, frames, true, nullptr);
    const double perFrame = whole.advance + whole.render;
    std::printf(
        "(%c) %-44s %4dx%-4d %7.2f ms per frame (advance %5.2f, render %7.2f, "
        "changes only %7.2f), %6.1f fps\n",
        scene.key, scene.name, scene.width, scene.height, perFrame, whole.advance, whole.render,
        changes.render, 1000 / perFrame);
}

}  // namespace

int main(int argc, char** argv) {
    int frames = 60;
    char only = 0;
    const char* png = nullptr;
    const char* save = nullptr;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--frames") == 0) {
            frames = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--scene") == 0) {
            only = argv[i + 1][0];
        } else if (std::strcmp(argv[i], "--png") == 0) {
            png = argv[i + 1];
        } else if (std::strcmp(argv[i], "--save") == 0) {
            save = argv[i + 1];
        }
    }
    const Scene scenes[] = {
        {'a', "20 moving solid shapes with outlines", SceneA, 550, 400},
        {'b', "250 translucent gradient shapes, moving", SceneB, 550, 400},
        {'c', "250 translucent gradient shapes, moving", SceneB, 1920, 1080},
        {'d', "cartoon: ~220 shapes, bitmaps, text, morph", SceneD, 1920, 1080},
    };
    std::printf(
        "CPU time of one thread per frame, quality high, %d frames after 3 warm-up; render\n"
        "draws the whole picture, changes only draws what changed as the window does.\n",
        frames);
    for (const Scene& s : scenes) {
        if (only != 0 && only != s.key) {
            continue;
        }
        if (save != nullptr) {
            const swfgen::Bytes movie = s.build();
            const std::string path = std::string(save) + "/scene_" + s.key + ".swf";
            if (FILE* f = std::fopen(path.c_str(), "wb")) {
                std::fwrite(movie.data(), 1, movie.size(), f);
                std::fclose(f);
            }
            continue;
        }
        Measure(s, frames, png);
    }
    return 0;
}
