#include "stage/stage_renderer.h"

#include <atomic>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "display/bitmap_object.h"
#include "display/button_object.h"
#include "display/movie_clip.h"
#include "display/text_field.h"
#include "display/video_object.h"
#include "flash/player/image.h"
#include "input/keyboard_input.h"
#include "runtime/movie_data.h"
#include "runtime/runtime.h"
#include "stage/focus_rect.h"
#include "stage/view_transform.h"

namespace flash {

namespace {

std::uint64_t MixMatrix(std::uint64_t look, const render::Transform& t) {
    for (double v : {t.matrix.a, t.matrix.b, t.matrix.c, t.matrix.d, t.matrix.tx, t.matrix.ty,
                     t.color.rMult, t.color.gMult, t.color.bMult, t.color.aMult, t.color.rAdd,
                     t.color.gAdd, t.color.bAdd, t.color.aAdd}) {
        look = MixLook(look, v);
    }
    return look;
}

const void* CharacterKey(const swf::Character& c) {
    return std::visit([](const auto& p) { return static_cast<const void*>(p.get()); }, c);
}

// Walks the display lists in drawing order. Without `records` it draws; with them it draws
// nothing and lists what each object would draw, for finding what changed.
class StageDrawer {
  public:
    StageDrawer(render::Renderer& renderer, std::vector<DrawRecord>* records, double stageScale)
        : renderer_(renderer), records_(records), stageScale_(stageScale) {}

    void DrawClip(const MovieClip& clip, const render::Transform& transform) {
        DrawDrawing(clip, transform, false);
        std::vector<int> masks;  // clip depths of the open masks, innermost last
        for (const auto& [depth, child] : clip.DisplayList()) {
            while (!masks.empty() && depth > masks.back()) {
                PopMask();
                masks.pop_back();
            }
            if (child->ClipDepth() > 0) {
                BeginMask(*child);
                Draw(*child, transform, true);
                EndMask();
                masks.push_back(child->ClipDepth());
                continue;
            }
            if (child->Visible()) {
                Draw(*child, transform, false);
            }
        }
        for (std::size_t i = 0; i < masks.size(); ++i) {
            PopMask();
        }
    }

  private:
    void BeginMask(const DisplayObject& mask) {
        if (records_ == nullptr) {
            renderer_.BeginMask();
            return;
        }
        maskContext_.push_back(
            MixLook(maskContext_.back(),
                    static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&mask))));
    }
    void EndMask() {
        if (records_ == nullptr) {
            renderer_.EndMask();
        }
    }
    void PopMask() {
        if (records_ == nullptr) {
            renderer_.PopMask();
            return;
        }
        maskContext_.pop_back();
    }

    // Lists one drawn object: its look with the masks it is drawn in or clipped by.
    void Note(const DisplayObject& object, std::uint64_t look, const render::PixelRect& area,
              bool asMask) {
        look = MixLook(MixLook(look, maskContext_.back()), std::uint64_t{asMask});
        records_->push_back({&object, look, area});
    }

    void DrawGraphic(const GraphicObject& graphic, const render::Transform& t, bool asMask) {
        const swf::Character& c = graphic.Character();
        if (records_ == nullptr) {
            const MovieData& movie = graphic.Movie();
            renderer_.DrawCharacter(c, graphic.Ratio(), t,
                                    [&movie](std::uint16_t id) { return movie.Character(id); });
            return;
        }
        std::uint64_t look = MixMatrix(reinterpret_cast<std::uintptr_t>(CharacterKey(c)), t);
        look = MixLook(look, std::uint64_t{graphic.Ratio()});
        Note(graphic, look, renderer_.DeviceBounds(c, graphic.Ratio(), t, stageScale_), asMask);
    }

    // A video's frames come from its stream, which says nothing of change: it is drawn
    // again every frame.
    void DrawVideo(const VideoObject& video, const render::Transform& t, bool asMask) {
        const swf::Image* picture = video.Picture();
        if (picture == nullptr) {
            return;
        }
        // Stretched over the video's size, whatever size the codec made.
        const Rect area = video.LocalBounds();
        if (records_ == nullptr) {
            renderer_.DrawImage(*picture, area.xmax, area.ymax, t, video.Smoothing());
            return;
        }
        static std::atomic<std::uint64_t> frames{0};
        Note(video, MixMatrix(++frames, t),
             render::DeviceRect({0, area.xmax, 0, area.ymax}, t.matrix, 2), asMask);
    }

    void DrawField(const TextFieldObject& field, const render::Transform& t, bool asMask) {
        if (records_ == nullptr) {
            const MovieData& movie = field.Movie();
            renderer_.DrawEditText(field.Definition(), field.ShownText(), field.ShowsHtml(),
                                   field.Look(), t,
                                   [&movie](std::uint16_t id) { return movie.Character(id); });
            return;
        }
        const render::EditTextLook& l = field.Look();
        std::uint64_t look =
            MixMatrix(reinterpret_cast<std::uintptr_t>(field.Definition().get()), t);
        look = MixLook(look, std::hash<std::string>()(field.ShownText()));
        look = MixLook(look, std::uint64_t{field.ShowsHtml()} | std::uint64_t{l.border} << 1 |
                                 std::uint64_t{l.background} << 2);
        for (Rgba c : {l.borderColor, l.backgroundColor}) {
            look = MixLook(look, std::uint64_t{c.r} << 24 | std::uint64_t{c.g} << 16 |
                                     std::uint64_t{c.b} << 8 | c.a);
        }
        const swf::Character c = field.Definition();
        Note(field, look, renderer_.DeviceBounds(c, 0, t, stageScale_), asMask);
    }

    void Draw(const DisplayObject& object, const render::Transform& parent, bool asMask) {
        render::Transform t{parent.matrix * object.GetMatrix(),
                            parent.color * object.GetColorTransform()};
        if (const auto* video = dynamic_cast<const VideoObject*>(&object)) {
            DrawVideo(*video, t, asMask);
            return;
        }
        if (const auto* graphic = dynamic_cast<const GraphicObject*>(&object)) {
            DrawGraphic(*graphic, t, asMask);
            return;
        }
        if (const auto* bitmap = dynamic_cast<const BitmapObject*>(&object)) {
            DrawAttachedBitmap(*bitmap, t, asMask);
            return;
        }
        if (const auto* field = dynamic_cast<const TextFieldObject*>(&object)) {
            DrawField(*field, t, asMask);
            return;
        }
        if (const auto* clip = dynamic_cast<const MovieClip*>(&object)) {
            if (asMask) {
                // Everything inside a mask clip makes the mask.
                DrawMaskContent(*clip, t);
            } else {
                DrawClip(*clip, t);
            }
            return;
        }
        if (const auto* button = dynamic_cast<const ButtonObject*>(&object)) {
            // The characters of the state it shows, in depth order.
            button->ForEachChild([&](DisplayObject& part) {
                if (asMask || part.Visible()) {
                    Draw(part, t, asMask);
                }
            });
        }
    }

    void DrawAttachedBitmap(const BitmapObject& object, const render::Transform& t, bool asMask) {
        const render::PixelBitmap& bitmap = object.Bitmap();
        const Rect area = object.LocalBounds();
        if (records_ == nullptr) {
            renderer_.DrawImage(bitmap.Image(), area.xmax, area.ymax, t, object.Smoothing());
            return;
        }
        std::uint64_t look = MixMatrix(reinterpret_cast<std::uintptr_t>(&bitmap), t);
        Note(object, MixLook(look, bitmap.Revision()), render::DeviceRect(area, t.matrix, 2),
             asMask);
    }

    // What scripts drew into the clip, under its display list.
    void DrawDrawing(const MovieClip& clip, const render::Transform& t, bool asMask) {
        const Drawing& drawing = clip.DrawnContent();
        if (drawing.Empty()) {
            return;
        }
        const swf::Character shape = drawing.Shape();
        if (records_ == nullptr) {
            const MovieData& movie = clip.Movie();
            renderer_.DrawCharacter(shape, 0, t,
                                    [&movie](std::uint16_t id) { return movie.Character(id); });
            return;
        }
        std::uint64_t look = MixMatrix(reinterpret_cast<std::uintptr_t>(&drawing), t);
        look = MixLook(look, drawing.Revision());
        records_->push_back({&drawing,
                             MixLook(MixLook(look, maskContext_.back()), std::uint64_t{asMask}),
                             renderer_.DeviceBounds(shape, 0, t, stageScale_)});
    }

    void DrawMaskContent(const MovieClip& clip, const render::Transform& transform) {
        DrawDrawing(clip, transform, true);
        for (const auto& [depth, child] : clip.DisplayList()) {
            if (child->ClipDepth() == 0) {
                Draw(*child, transform, true);
            }
        }
    }

    render::Renderer& renderer_;
    std::vector<DrawRecord>* records_;
    double stageScale_;
    std::vector<std::uint64_t> maskContext_{0};  // a look of the open masks, innermost last
};

render::Quality ToRenderQuality(Quality quality) {
    switch (quality) {
        case Quality::Low:
            return render::Quality::Low;
        case Quality::Medium:
            return render::Quality::Medium;
        case Quality::High:
            break;
    }
    return render::Quality::High;
}

// The frame's settings and stage transform for `target`.
struct StageFrame {
    render::FrameOptions options;
    Matrix stage;
};

StageFrame FrameFor(Runtime& runtime, std::uint32_t background, const ViewTransform& view,
                    Quality quality, const Image& target) {
    StageFrame f;
    f.options.background = Rgba{static_cast<std::uint8_t>(background >> 16),
                                static_cast<std::uint8_t>(background >> 8),
                                static_cast<std::uint8_t>(background), 255};
    f.options.quality = ToRenderQuality(quality);
    MovieClip* root = runtime.LevelClip(0);
    f.stage = root != nullptr ? view.ToView(root->Movie().Model().header.frameSize, target.Width(),
                                            target.Height())
                              : Matrix::Scale(0.05, 0.05);
    f.options.stageScale =
        std::sqrt(std::fabs(f.stage.a * f.stage.d - f.stage.b * f.stage.c)) * 20.0;
    return f;
}

void WalkLevels(Runtime& runtime, StageDrawer& drawer, const Matrix& stage) {
    for (const auto& [level, clip] : runtime.Levels()) {
        drawer.DrawClip(*clip,
                        render::Transform{stage * clip->GetMatrix(), clip->GetColorTransform()});
    }
}

void DrawFrame(Runtime& runtime, render::Renderer& renderer, const StageFrame& frame,
               Image& target) {
    renderer.BeginFrame(target.Data(), target.Width(), target.Height(), target.Stride(),
                        frame.options);
    StageDrawer drawer(renderer, nullptr, frame.options.stageScale);
    WalkLevels(runtime, drawer, frame.stage);
    renderer.EndFrame();
}

}  // namespace

void RenderStage(Runtime& runtime, render::Renderer& renderer, std::uint32_t background,
                 const ViewTransform& view, Quality quality, Image& target) {
    if (target.Empty()) {
        return;
    }
    const StageFrame frame = FrameFor(runtime, background, view, quality, target);
    DrawFrame(runtime, renderer, frame, target);
    if (std::optional<render::PixelRect> focus = FocusRectArea(runtime, frame.stage)) {
        DrawFocusRect(target, *focus);
    }
}

void RenderClipLayer(const MovieClip& clip, render::Renderer& renderer,
                     const render::Transform& transform, render::Quality quality,
                     std::uint32_t* pixels, int width, int height) {
    render::FrameOptions options;
    options.background = Rgba{0, 0, 0, 0};
    options.quality = quality;
    renderer.BeginFrame(pixels, width, height, width * 4, options);
    StageDrawer drawer(renderer, nullptr, 1);
    drawer.DrawClip(clip, transform);
    renderer.EndFrame();
}

std::vector<render::PixelRect> RenderStageChanges(Runtime& runtime, render::Renderer& renderer,
                                                  std::uint32_t background,
                                                  const ViewTransform& view, Quality quality,
                                                  Image& target, StageDamage& damage) {
    if (target.Empty()) {
        damage.Reset();
        return {};
    }
    StageFrame frame = FrameFor(runtime, background, view, quality, target);
    std::vector<DrawRecord> records;
    StageDrawer lister(renderer, &records, frame.options.stageScale);
    WalkLevels(runtime, lister, frame.stage);
    // The focus rectangle is one more thing drawn, over everything.
    const std::optional<render::PixelRect> focus = FocusRectArea(runtime, frame.stage);
    if (focus) {
        std::uint64_t look =
            MixLook(MixLook(std::uint64_t{1}, std::uint64_t(focus->x)), std::uint64_t(focus->y));
        look = MixLook(MixLook(look, std::uint64_t(focus->width)), std::uint64_t(focus->height));
        records.push_back({&runtime.Keyboard(), look, *focus});
    }
    const std::uint64_t settings =
        MixLook(std::uint64_t{background}, static_cast<std::uint64_t>(quality));
    std::vector<render::PixelRect> areas =
        damage.Update(std::move(records), target.Width(), target.Height(), settings);
    for (const render::PixelRect& area : areas) {
        frame.options.redraw = area;
        DrawFrame(runtime, renderer, frame, target);
    }
    if (focus && !areas.empty()) {
        DrawFocusRect(target, *focus);
    }
    return areas;
}

}  // namespace flash
