// BitmapData.draw (a clip or another bitmap drawn into the pixels) and BitmapData.loadBitmap
// (a bitmap of the library by its linkage name).
#include <cmath>
#include <memory>
#include <optional>
#include <variant>

#include "display/movie_clip.h"
#include "flash/avm1/geom_values.h"
#include "flash/render/bitmap_decode.h"
#include "flash/render/renderer.h"
#include "runtime/movie_data.h"
#include "runtime/runtime.h"
#include "script/bitmap_data.h"
#include "script/script_classes.h"
#include "stage/stage_renderer.h"

namespace flash::bitmap_data {

namespace {

using avm1::CallContext;
using avm1::Value;
using render::PixelBitmap;

// The pixels a source draws: a clip's content or a bitmap, in a cleared layer of the
// target's size.
bool DrawLayer(const Value& source, const render::Transform& t, bool smoothing, swf::Image& layer) {
    render::Renderer renderer;
    if (PixelBitmap* bitmap = BitmapOf(source)) {
        render::FrameOptions options;
        options.background = Rgba{0, 0, 0, 0};
        renderer.BeginFrame(layer.pixels.data(), layer.width, layer.height, layer.width * 4,
                            options);
        renderer.DrawImage(bitmap->Image(), bitmap->Width() * 20.0, bitmap->Height() * 20.0, t,
                           smoothing);
        renderer.EndFrame();
        return true;
    }
    avm1::Object* o = source.AsObject();
    const auto* clip = o != nullptr ? dynamic_cast<const MovieClip*>(o->AsClip()) : nullptr;
    if (clip == nullptr) {
        return false;
    }
    RenderClipLayer(*clip, renderer, t, render::Quality::High, layer.pixels.data(), layer.width,
                    layer.height);
    return true;
}

}  // namespace

// draw(source[, matrix, colorTransform, blendMode, clipRect, smoothing]): the source's own
// matrix and colour transform do not apply; `matrix` maps its pixels into the bitmap's.
Value Draw(CallContext& c) {
    PixelBitmap* b = Target(c, 1);
    if (b == nullptr) {
        return Failed();
    }
    Matrix m = Matrix::Scale(0.05, 0.05);
    if (std::optional<avm1::GeomMatrix> g = avm1::GeomMatrixOf(c.vm, c.Arg(1), c.version)) {
        const Matrix user{g->a, g->b, g->c, g->d, g->tx, g->ty};
        const bool finite = std::isfinite(g->a) && std::isfinite(g->b) && std::isfinite(g->c) &&
                            std::isfinite(g->d) && std::isfinite(g->tx) && std::isfinite(g->ty);
        if (!finite) {
            return Value();
        }
        m = user * m;
    }
    render::Transform t{m, {}};
    if (std::optional<avm1::GeomColor> k = avm1::GeomColorOf(c.Arg(2))) {
        t.color = ColorTransform{k->rMult, k->gMult, k->bMult, k->aMult,
                                 k->rAdd,  k->gAdd,  k->bAdd,  k->aAdd};
    }
    swf::Image layer;
    layer.width = b->Width();
    layer.height = b->Height();
    layer.pixels.assign(std::size_t(layer.width) * std::size_t(layer.height), 0);
    if (!DrawLayer(c.Arg(0), t, Bool(c, c.Arg(5)), layer)) {
        return Value();
    }
    b->DrawOver(layer, RectOf(c, c.Arg(4)));
    return Value();
}

// BitmapData.loadBitmap(linkageId): a new bitmap of the exported bitmap character of the
// first level's movie; transparent when the character has alpha. Undefined when there is
// none or it does not decode.
Value LoadBitmap(CallContext& c) {
    MovieClip* root = RuntimeOf(c).LevelClip(0);
    if (root == nullptr || c.args.empty()) {
        return Value();
    }
    const MovieData& movie = root->Movie();
    std::optional<std::uint16_t> id = movie.ExportedId(c.vm.ToString(c.Arg(0), c.version));
    const swf::Character* character = id ? movie.Character(*id) : nullptr;
    const auto* bitmap =
        character ? std::get_if<std::shared_ptr<const swf::Bitmap>>(character) : nullptr;
    if (bitmap == nullptr) {
        return Value();
    }
    std::optional<swf::Image> image = render::DecodeBitmap(**bitmap);
    if (!image || image->width <= 0 || image->height <= 0) {
        return Value();
    }
    const swf::BitmapKind kind = (*bitmap)->kind;
    const bool transparent = kind == swf::BitmapKind::Lossless2 || kind == swf::BitmapKind::Jpeg3 ||
                             kind == swf::BitmapKind::Jpeg4;
    return Wrap(c, std::make_shared<PixelBitmap>(std::move(*image), transparent));
}

}  // namespace flash::bitmap_data
