#include "flash/render/renderer.h"

#include "flash/render/bitmap_decode.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <variant>

#include "bitmap_cache.h"
#include "device_bounds.h"
#include "gradient_fill.h"
#include "mask_stack.h"
#include "paint.h"
#include "path.h"
#include "path_cache.h"
#include "shape_paths.h"
#include "stroke.h"
#include "text_draw.h"

namespace flash::render {
namespace {

constexpr int kMaxSide = 32767;     // Cairo's image surface limit
constexpr int kSweepInterval = 64;  // frames between drops of dead cache entries

cairo_antialias_t AntialiasOf(Quality q) {
    switch (q) {
        case Quality::Low:
            return CAIRO_ANTIALIAS_NONE;
        case Quality::Medium:
            return CAIRO_ANTIALIAS_FAST;
        default:
            return CAIRO_ANTIALIAS_GOOD;
    }
}

// Fills the current path with a paint (an opacity below one goes through a clip).
void FillWith(cairo_t* cr, const Paint& paint) {
    cairo_set_source(cr, paint.pattern.get());
    if (paint.alpha < 1) {
        cairo_save(cr);
        cairo_clip(cr);
        cairo_paint_with_alpha(cr, paint.alpha);
        cairo_restore(cr);
    } else {
        cairo_fill(cr);
    }
}

}  // namespace

class Renderer::Impl {
  public:
    ~Impl() { Release(); }

    void BeginFrame(std::uint32_t* pixels, int width, int height, int stride,
                    const FrameOptions& options);
    void EndFrame();
    void DrawShape(const swf::Shape& shape, const ShapePaths& paths, const Transform& t,
                   const CharacterLookup& lookup);
    void DrawText(const swf::Text& text, const Transform& t, const CharacterLookup& lookup);
    void DrawEditText(const swf::EditText& field, std::string_view text, bool html,
                      const EditTextLook& look, const Transform& t, const CharacterLookup& lookup);
    void DrawBitmap(const std::shared_ptr<const swf::Bitmap>& bitmap, const Transform& t,
                    bool smoothing);
    void DrawImage(const swf::Image& image, double width, double height, const Transform& t,
                   bool smoothing);

    // Whether a draw call can do anything now.
    bool Ready() const { return cr_ && cairo_status(cr_) == CAIRO_STATUS_SUCCESS; }

    cairo_t* cr_ = nullptr;
    cairo_surface_t* surface_ = nullptr;
    FrameOptions options_;
    Box viewport_;
    MaskStack masks_;
    PathCache paths_;
    BitmapCache bitmaps_;
    GradientFiller gradients_;
    int frames_ = 0;

  private:
    void Release();
    PaintContext Context(const CharacterLookup* lookup) {
        return {options_.quality, masks_.Recording(), &bitmaps_, lookup};
    }
    void DrawFills(const LayerPaths& layer, const swf::ShapeLayer& styles, cairo_fill_rule_t rule,
                   const Transform& t, const PaintContext& context);
    void FillPath(const Path& path, const Matrix& m, cairo_fill_rule_t rule, const Paint& paint);
};

void Renderer::Impl::Release() {
    masks_.Reset();
    if (cr_) {
        cairo_destroy(cr_);
        cr_ = nullptr;
    }
    if (surface_) {
        cairo_surface_finish(surface_);
        cairo_surface_destroy(surface_);
        surface_ = nullptr;
    }
}

void Renderer::Impl::BeginFrame(std::uint32_t* pixels, int width, int height, int stride,
                                const FrameOptions& options) {
    Release();
    options_ = options;
    if (!pixels || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        stride < width * 4 || stride % 4 != 0) {
        return;
    }
    surface_ = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels),
                                                   CAIRO_FORMAT_ARGB32, width, height, stride);
    cr_ = cairo_create(surface_);
    if (!Ready()) {
        Release();
        return;
    }
    viewport_ = {0, 0, double(width), double(height)};
    if (options.redraw) {
        const PixelRect& r = *options.redraw;
        const int x0 = std::clamp(r.x, 0, width), y0 = std::clamp(r.y, 0, height);
        const int x1 = std::clamp(r.x + std::max(r.width, 0), x0, width);
        const int y1 = std::clamp(r.y + std::max(r.height, 0), y0, height);
        cairo_rectangle(cr_, x0, y0, x1 - x0, y1 - y0);
        cairo_clip(cr_);
        viewport_ =
            x1 > x0 && y1 > y0 ? Box{double(x0), double(y0), double(x1), double(y1)} : Box{};
    }
    cairo_set_antialias(cr_, AntialiasOf(options.quality));
    const Rgba bg = options.background;
    cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr_, bg.r / 255.0, bg.g / 255.0, bg.b / 255.0, bg.a / 255.0);
    cairo_paint(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
}

void Renderer::Impl::EndFrame() {
    if (cr_ && cairo_status(cr_) == CAIRO_STATUS_SUCCESS) {
        masks_.PopAll(cr_, viewport_);
    }
    if (surface_) {
        cairo_surface_flush(surface_);
    }
    Release();
    if (++frames_ % kSweepInterval == 0) {
        paths_.Sweep();
        bitmaps_.Sweep();
    }
}

void Renderer::Impl::FillPath(const Path& path, const Matrix& m, cairo_fill_rule_t rule,
                              const Paint& paint) {
    cairo_new_path(cr_);
    Box drawn;
    AppendPath(cr_, path, m, Snap::None, masks_.Recording() ? &drawn : nullptr);
    masks_.NoteDrawn(drawn);
    cairo_set_fill_rule(cr_, rule);
    FillWith(cr_, paint);
}

void Renderer::Impl::DrawFills(const LayerPaths& layer, const swf::ShapeLayer& styles,
                               cairo_fill_rule_t rule, const Transform& t,
                               const PaintContext& context) {
    auto fill = [&](const StylePath& sp) {
        if (sp.style == 0 || sp.style > styles.fills.size()) {
            return;
        }
        const swf::FillStyle& style = styles.fills[sp.style - 1];
        if (style.IsGradient() && !context.mask &&
            gradients_.Fill(cr_, sp.path, t.matrix, rule, style, t.color)) {
            return;
        }
        const Paint paint = MakeFillPaint(style, t.matrix, t.color, context);
        if (paint.pattern) {
            FillPath(sp.path, t.matrix, rule, paint);
        }
    };
    const bool antialiased = options_.quality != Quality::Low;
    if (!layer.sharedEdges || layer.fills.size() < 2 || !antialiased) {
        for (const StylePath& sp : layer.fills) {
            fill(sp);
        }
        return;
    }
    // Fills that share edges: added up in a group, so a pixel split between two fills gets
    // both in full and nothing of what lies below (no seam). The edges of a layer part its
    // fills without overlap, which is what makes adding them right.
    Box area;
    for (const StylePath& sp : layer.fills) {
        area.Add(DeviceBox(sp.path.Bounds(), t.matrix));
    }
    area = area.Grown(1);
    if (!area.Intersects(viewport_)) {
        return;
    }
    const double x0 = std::floor(std::max(area.x0, viewport_.x0));
    const double y0 = std::floor(std::max(area.y0, viewport_.y0));
    const double x1 = std::ceil(std::min(area.x1, viewport_.x1));
    const double y1 = std::ceil(std::min(area.y1, viewport_.y1));
    cairo_save(cr_);
    cairo_new_path(cr_);
    cairo_rectangle(cr_, x0, y0, x1 - x0, y1 - y0);
    cairo_clip(cr_);
    cairo_push_group(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_ADD);
    for (const StylePath& sp : layer.fills) {
        fill(sp);
    }
    cairo_pop_group_to_source(cr_);
    cairo_paint(cr_);
    cairo_restore(cr_);
}

void Renderer::Impl::DrawShape(const swf::Shape& shape, const ShapePaths& paths, const Transform& t,
                               const CharacterLookup& lookup) {
    if (!Ready() || !IsUsable(t.matrix)) {
        return;
    }
    // Skip what lies wholly outside the surface.
    double widest = 0;
    for (const swf::ShapeLayer& layer : shape.layers) {
        for (const swf::LineStyle& line : layer.lines) {
            widest = std::max(widest, StrokeWidth(line, t.matrix, options_.stageScale));
        }
    }
    if (!DeviceBox(paths.bounds, t.matrix).Grown(widest + 2).Intersects(viewport_)) {
        return;
    }
    const PaintContext context = Context(&lookup);
    const cairo_fill_rule_t rule =
        shape.usesFillWindingRule ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD;
    const std::size_t layers = std::min(paths.layers.size(), shape.layers.size());
    for (std::size_t i = 0; i < layers; ++i) {
        const LayerPaths& layer = paths.layers[i];
        const swf::ShapeLayer& styles = shape.layers[i];
        DrawFills(layer, styles, rule, t, context);
        if (context.mask) {
            continue;  // a mask is the area of its fills; lines do not count
        }
        for (const StylePath& sp : layer.lines) {
            if (sp.style == 0 || sp.style > styles.lines.size()) {
                continue;
            }
            StrokePath(cr_, sp.path, styles.lines[sp.style - 1], t, options_.stageScale, context);
        }
    }
}

void Renderer::Impl::DrawText(const swf::Text& text, const Transform& t,
                              const CharacterLookup& lookup) {
    if (!Ready() || !IsUsable(t.matrix)) {
        return;
    }
    const PaintContext context = Context(&lookup);
    TextDrawer drawer(cr_, paths_, context);
    Box drawn;
    drawer.Draw(text, t, masks_.Recording() ? &drawn : nullptr);
    masks_.NoteDrawn(drawn);
}

void Renderer::Impl::DrawEditText(const swf::EditText& field, std::string_view text, bool html,
                                  const EditTextLook& look, const Transform& t,
                                  const CharacterLookup& lookup) {
    if (!Ready() || !IsUsable(t.matrix)) {
        return;
    }
    const PaintContext context = Context(&lookup);
    TextDrawer drawer(cr_, paths_, context);
    Box drawn;
    drawer.DrawEditText(field, text, html, look, t, masks_.Recording() ? &drawn : nullptr);
    masks_.NoteDrawn(drawn);
}

void Renderer::Impl::DrawBitmap(const std::shared_ptr<const swf::Bitmap>& bitmap,
                                const Transform& t, bool smoothing) {
    if (!Ready() || !bitmap || !IsUsable(t.matrix)) {
        return;
    }
    cairo_surface_t* surface = bitmaps_.Surface(bitmap);
    if (!surface) {
        return;
    }
    // One bitmap pixel is 20 twips.
    const double w = cairo_image_surface_get_width(surface) * 20.0;
    const double h = cairo_image_surface_get_height(surface) * 20.0;
    const Matrix bitmapToDevice = t.matrix * Matrix::Scale(20, 20);
    const Paint paint =
        MakeBitmapPaint(bitmap, bitmapToDevice, false, smoothing, t.color, Context(nullptr));
    if (!paint.pattern) {
        return;
    }
    Path rect;
    rect.MoveTo({0, 0});
    rect.LineTo({w, 0});
    rect.LineTo({w, h});
    rect.LineTo({0, h});
    rect.Close();
    FillPath(rect, t.matrix, CAIRO_FILL_RULE_WINDING, paint);
}

void Renderer::Impl::DrawImage(const swf::Image& image, double width, double height,
                               const Transform& t, bool smoothing) {
    if (!Ready() || image.width <= 0 || image.height <= 0 ||
        image.pixels.size() < static_cast<std::size_t>(image.width) * image.height ||
        !(width > 0) || !(height > 0) || !IsUsable(t.matrix)) {
        return;
    }
    // Read in place for the one fill below: Cairo only reads the pixels.
    SurfaceRef surface(cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(image.pixels.data())),
        CAIRO_FORMAT_ARGB32, image.width, image.height, image.width * 4));
    const Matrix imageToDevice =
        t.matrix * Matrix::Scale(width / image.width, height / image.height);
    const Paint paint =
        MakeImagePaint(surface.get(), imageToDevice, smoothing, t.color, Context(nullptr));
    if (!paint.pattern) {
        return;
    }
    Path rect;
    rect.MoveTo({0, 0});
    rect.LineTo({width, 0});
    rect.LineTo({width, height});
    rect.LineTo({0, height});
    rect.Close();
    FillPath(rect, t.matrix, CAIRO_FILL_RULE_WINDING, paint);
}

Renderer::Renderer() : impl_(std::make_unique<Impl>()) {}
Renderer::~Renderer() = default;
Renderer::Renderer(Renderer&&) noexcept = default;
Renderer& Renderer::operator=(Renderer&&) noexcept = default;

void Renderer::BeginFrame(std::uint32_t* pixels, int width, int height, int stride,
                          const FrameOptions& options) {
    impl_->BeginFrame(pixels, width, height, stride, options);
}

void Renderer::DrawImage(const swf::Image& image, double width, double height,
                         const Transform& transform, bool smoothing) {
    impl_->DrawImage(image, width, height, transform, smoothing);
}

void Renderer::EndFrame() {
    impl_->EndFrame();
}

void Renderer::DrawShape(const std::shared_ptr<const swf::Shape>& shape, const Transform& transform,
                         const CharacterLookup& lookup) {
    if (shape && impl_->Ready()) {
        impl_->DrawShape(*shape, impl_->paths_.Shape(shape), transform, lookup);
    }
}

void Renderer::DrawMorphShape(const std::shared_ptr<const swf::MorphShape>& morph,
                              std::uint16_t ratio, const Transform& transform,
                              const CharacterLookup& lookup) {
    if (morph && impl_->Ready()) {
        const MorphFrame& frame = impl_->paths_.Morph(morph, ratio);
        impl_->DrawShape(frame.shape, frame.paths, transform, lookup);
    }
}

void Renderer::DrawText(const std::shared_ptr<const swf::Text>& text, const Transform& transform,
                        const CharacterLookup& lookup) {
    if (text) {
        impl_->DrawText(*text, transform, lookup);
    }
}

void Renderer::DrawEditText(const std::shared_ptr<const swf::EditText>& field,
                            std::string_view text, bool html, const EditTextLook& look,
                            const Transform& transform, const CharacterLookup& lookup) {
    if (field) {
        impl_->DrawEditText(*field, text, html, look, transform, lookup);
    }
}

void Renderer::DrawBitmap(const std::shared_ptr<const swf::Bitmap>& bitmap,
                          const Transform& transform, bool smoothing) {
    impl_->DrawBitmap(bitmap, transform, smoothing);
}

bool Renderer::DrawCharacter(const swf::Character& character, std::uint16_t ratio,
                             const Transform& transform, const CharacterLookup& lookup) {
    if (const auto* shape = std::get_if<std::shared_ptr<const swf::Shape>>(&character)) {
        DrawShape(*shape, transform, lookup);
    } else if (const auto* morph =
                   std::get_if<std::shared_ptr<const swf::MorphShape>>(&character)) {
        DrawMorphShape(*morph, ratio, transform, lookup);
    } else if (const auto* text = std::get_if<std::shared_ptr<const swf::Text>>(&character)) {
        DrawText(*text, transform, lookup);
    } else if (const auto* bitmap = std::get_if<std::shared_ptr<const swf::Bitmap>>(&character)) {
        DrawBitmap(*bitmap, transform, true);
    } else if (const auto* edit = std::get_if<std::shared_ptr<const swf::EditText>>(&character)) {
        if (*edit) {
            DrawEditText(*edit, (*edit)->initialText, (*edit)->html, EditTextLook::Of(**edit),
                         transform, lookup);
        }
    } else {
        return false;
    }
    return true;
}

PixelRect Renderer::DeviceBounds(const swf::Character& character, std::uint16_t ratio,
                                 const Transform& transform, double stageScale) {
    const Matrix& m = transform.matrix;
    if (!IsUsable(m)) {
        return {};
    }
    if (const auto* shape = std::get_if<std::shared_ptr<const swf::Shape>>(&character)) {
        if (*shape) {
            return ToPixelRect(ShapeDeviceBox(**shape, impl_->paths_.Shape(*shape), m, stageScale));
        }
    } else if (const auto* morph =
                   std::get_if<std::shared_ptr<const swf::MorphShape>>(&character)) {
        if (*morph) {
            const MorphFrame& frame = impl_->paths_.Morph(*morph, ratio);
            return ToPixelRect(ShapeDeviceBox(frame.shape, frame.paths, m, stageScale));
        }
    } else if (const auto* text = std::get_if<std::shared_ptr<const swf::Text>>(&character)) {
        if (*text) {
            return ToPixelRect(TextDeviceBox(**text, m));
        }
    } else if (const auto* edit = std::get_if<std::shared_ptr<const swf::EditText>>(&character)) {
        if (*edit) {
            return DeviceRect((*edit)->bounds, m, 2);  // drawn clipped to its bounds
        }
    } else if (const auto* bitmap = std::get_if<std::shared_ptr<const swf::Bitmap>>(&character)) {
        if (*bitmap) {
            if (const auto size = BitmapSize(**bitmap)) {
                return DeviceRect({0, size->first * 20, 0, size->second * 20}, m, 2);
            }
        }
    }
    return {};
}

void Renderer::BeginMask() {
    if (impl_->Ready()) {
        impl_->masks_.Begin(impl_->cr_);
    }
}

void Renderer::EndMask() {
    if (impl_->Ready()) {
        impl_->masks_.End(impl_->cr_, impl_->viewport_);
    }
}

void Renderer::PopMask() {
    if (impl_->Ready()) {
        impl_->masks_.Pop(impl_->cr_, impl_->viewport_);
    }
}

void Renderer::SetPathCaching(bool on) {
    impl_->paths_.SetEnabled(on);
}

void Renderer::ClearCaches() {
    impl_->paths_.Clear();
    impl_->bitmaps_.Clear();
    impl_->gradients_.Clear();
}

}  // namespace flash::render
