// Render time per frame of an animated vector scene at 550x400 and 1920x1080, with the path
// cache on and off. Prints its figures; asserts nothing.
#include <time.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "flash/render/renderer.h"

namespace {

using namespace flash;

constexpr double kPi = 3.14159265358979;

// CPU time of this thread: what one core spends, whatever else the machine runs.
double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

swf::Edge MakeEdge(Point from, Point control, Point to, bool curved, std::uint16_t fill0,
                   std::uint16_t fill1, std::uint16_t line) {
    swf::Edge e;
    e.from = from;
    e.to = to;
    e.control = curved ? control : Point{(from.x + to.x) / 2, (from.y + to.y) / 2};
    e.curved = curved;
    e.fill0 = fill0;
    e.fill1 = fill1;
    e.line = line;
    return e;
}

// A flower-like blob of `petals` pie slices with curved outer edges, each slice its own fill
// sharing edges with its neighbours (as drawn artwork is), an outline, and a centre disc in
// a second layer.
std::shared_ptr<const swf::Shape> MakeBlob(std::mt19937& rng, int petals) {
    std::uniform_real_distribution<double> radius(1200, 2400), hue(0, 1);
    auto shape = std::make_shared<swf::Shape>();
    swf::ShapeLayer layer;
    for (int i = 0; i < petals; ++i) {
        swf::FillStyle f;
        const auto r = static_cast<std::uint8_t>(hue(rng) * 255);
        const auto g = static_cast<std::uint8_t>(hue(rng) * 255);
        f.color = {r, g, 200, static_cast<std::uint8_t>(i % 3 == 0 ? 160 : 255)};
        if (i % 4 == 1) {
            f.type = swf::FillType::LinearGradient;
            f.gradient.records = {{0, f.color}, {255, {g, r, 40, 255}}};
            f.matrix = {0.1, 0.03, -0.03, 0.1, 0, 0};
        } else if (i % 4 == 2) {
            f.type = swf::FillType::RadialGradient;
            f.gradient.records = {{0, {255, 255, 255, 255}}, {128, f.color}, {255, {0, 0, 0, 255}}};
            f.matrix = Matrix::Scale(0.12, 0.12);
        }
        layer.fills.push_back(f);
    }
    swf::LineStyle outline;
    outline.width = 40;
    outline.color = {20, 20, 20, 255};
    layer.lines.push_back(outline);
    std::vector<Point> rim;
    for (int i = 0; i < petals; ++i) {
        const double a = 2 * kPi * i / petals;
        const double rr = radius(rng);
        rim.push_back({rr * std::cos(a), rr * std::sin(a)});
    }
    const Point centre{0, 0};
    for (int i = 0; i < petals; ++i) {
        const Point p = rim[i], q = rim[(i + 1) % petals];
        const double mid = 2 * kPi * (i + 0.5) / petals;
        const Point bulge{3000 * std::cos(mid), 3000 * std::sin(mid)};
        const auto fill = static_cast<std::uint16_t>(i + 1);
        const auto next = static_cast<std::uint16_t>((i + 1) % petals + 1);
        // Spoke from the centre: this slice on one side, the next on the other.
        layer.edges.push_back(MakeEdge(centre, {}, q, false, next, fill, 0));
        layer.edges.push_back(MakeEdge(q, bulge, p, true, 0, fill, 1));
    }
    shape->layers.push_back(layer);
    swf::ShapeLayer disc;
    swf::FillStyle centreFill;
    centreFill.color = {250, 220, 40, 255};
    disc.fills.push_back(centreFill);
    const int n = 8;
    for (int i = 0; i < n; ++i) {
        const double a0 = 2 * kPi * i / n, a1 = 2 * kPi * (i + 1) / n, am = (a0 + a1) / 2;
        const double r = 500, rc = r / std::cos(kPi / n);
        disc.edges.push_back(MakeEdge({r * std::cos(a0), r * std::sin(a0)},
                                      {rc * std::cos(am), rc * std::sin(am)},
                                      {r * std::cos(a1), r * std::sin(a1)}, true, 0, 1, 0));
    }
    shape->layers.push_back(disc);
    shape->bounds = {-3000, 3000, -3000, 3000};
    return shape;
}

struct Instance {
    std::shared_ptr<const swf::Shape> shape;
    double x, y, scale, spin, phase;
};

std::vector<Instance> MakeScene(int count) {
    std::mt19937 rng(7);
    std::vector<std::shared_ptr<const swf::Shape>> shapes;
    for (int i = 0; i < 24; ++i) {
        shapes.push_back(MakeBlob(rng, 5 + i % 8));
    }
    std::uniform_real_distribution<double> x(0, 11000), y(0, 8000), s(0.2, 1.0), u(-1, 1);
    std::vector<Instance> scene;
    for (int i = 0; i < count; ++i) {
        scene.push_back({shapes[i % shapes.size()], x(rng), y(rng), s(rng), u(rng), u(rng) * kPi});
    }
    return scene;
}

double MsPerFrame(render::Renderer& renderer, const std::vector<Instance>& scene, int width,
                  int height, render::Quality quality, int frames) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    // Show all: the 550x400 stage scaled to fit and centred.
    const double scale = std::min(width / 550.0, height / 400.0);
    const Matrix stage = Matrix::Translate((width - 550 * scale) / 2, (height - 400 * scale) / 2) *
                         Matrix::Scale(scale / 20, scale / 20);
    render::FrameOptions options;
    options.quality = quality;
    options.stageScale = scale;
    const double start = CpuMs();
    for (int f = 0; f < frames; ++f) {
        renderer.BeginFrame(pixels.data(), width, height, width * 4, options);
        for (const Instance& in : scene) {
            const double a = in.phase + in.spin * f * 0.05;
            const double s = in.scale * (1 + 0.2 * std::sin(f * 0.1 + in.phase));
            const Matrix m =
                Matrix::Translate(in.x, in.y) *
                Matrix{s * std::cos(a), s * std::sin(a), -s * std::sin(a), s * std::cos(a), 0, 0};
            renderer.DrawShape(in.shape, {stage * m, {}}, {});
        }
        renderer.EndFrame();
    }
    return (CpuMs() - start) / frames;
}

}  // namespace

int main() {
    std::printf(
        "Animated vector scenes on a 550x400 stage, shown whole (scaled to fit) at each size.\n"
        "Each shape: 5..12 slices sharing edges (solid, translucent, linear and radial\n"
        "gradients), a curved outline and a disc in a second layer; every instance moves.\n"
        "Times are CPU time of one core per frame.\n");
    struct Scene {
        const char* name;
        int shapes;
    };
    struct Size {
        int w, h;
    };
    for (Scene sc : {Scene{"ordinary (40 shapes)", 40}, Scene{"heavy (120 shapes)", 120}}) {
        const std::vector<Instance> scene = MakeScene(sc.shapes);
        std::printf("-- %s\n", sc.name);
        for (Size size : {Size{550, 400}, Size{1920, 1080}}) {
            for (render::Quality q :
                 {render::Quality::High, render::Quality::Medium, render::Quality::Low}) {
                for (bool cache : {true, false}) {
                    render::Renderer renderer;
                    renderer.SetPathCaching(cache);
                    MsPerFrame(renderer, scene, size.w, size.h, q, 2);  // warm up
                    const double ms = MsPerFrame(renderer, scene, size.w, size.h, q, 20);
                    const char* quality = q == render::Quality::High     ? "high"
                                          : q == render::Quality::Medium ? "medium"
                                                                         : "low";
                    std::printf("%4dx%-4d %-6s path cache %-3s: %7.2f ms per frame (%6.1f fps)\n",
                                size.w, size.h, quality, cache ? "on" : "off", ms, 1000.0 / ms);
                }
            }
        }
    }
    return 0;
}
