#include "stage/stage_renderer.h"

#include <cmath>
#include <vector>

#include "display/button_object.h"
#include "display/movie_clip.h"
#include "display/text_field.h"
#include "display/video_object.h"
#include "flash/player/image.h"
#include "runtime/movie_data.h"
#include "runtime/runtime.h"
#include "stage/view_transform.h"

namespace flash {

namespace {

class StageDrawer {
  public:
    explicit StageDrawer(render::Renderer& renderer) : renderer_(renderer) {}

    void DrawClip(const MovieClip& clip, const render::Transform& transform) {
        std::vector<int> masks;  // clip depths of the open masks, innermost last
        for (const auto& [depth, child] : clip.DisplayList()) {
            while (!masks.empty() && depth > masks.back()) {
                renderer_.PopMask();
                masks.pop_back();
            }
            if (child->ClipDepth() > 0) {
                renderer_.BeginMask();
                Draw(*child, transform, true);
                renderer_.EndMask();
                masks.push_back(child->ClipDepth());
                continue;
            }
            if (child->Visible()) {
                Draw(*child, transform, false);
            }
        }
        for (std::size_t i = 0; i < masks.size(); ++i) {
            renderer_.PopMask();
        }
    }

  private:
    void Draw(const DisplayObject& object, const render::Transform& parent, bool asMask) {
        render::Transform t{parent.matrix * object.GetMatrix(),
                            parent.color * object.GetColorTransform()};
        if (const auto* video = dynamic_cast<const VideoObject*>(&object)) {
            if (const swf::Image* picture = video->Picture()) {
                // Stretched over the video's size, whatever size the codec made.
                const Rect area = video->LocalBounds();
                renderer_.DrawImage(*picture, area.xmax, area.ymax, t, video->Smoothing());
            }
            return;
        }
        if (const auto* graphic = dynamic_cast<const GraphicObject*>(&object)) {
            const MovieData& movie = graphic->Movie();
            renderer_.DrawCharacter(graphic->Character(), graphic->Ratio(), t,
                                    [&movie](std::uint16_t id) { return movie.Character(id); });
            return;
        }
        if (const auto* field = dynamic_cast<const TextFieldObject*>(&object)) {
            const MovieData& movie = field->Movie();
            renderer_.DrawEditText(field->Definition(), field->ShownText(), field->ShowsHtml(),
                                   field->Look(), t,
                                   [&movie](std::uint16_t id) { return movie.Character(id); });
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

    void DrawMaskContent(const MovieClip& clip, const render::Transform& transform) {
        for (const auto& [depth, child] : clip.DisplayList()) {
            if (child->ClipDepth() == 0) {
                Draw(*child, transform, true);
            }
        }
    }

    render::Renderer& renderer_;
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

}  // namespace

void RenderStage(Runtime& runtime, render::Renderer& renderer, std::uint32_t background,
                 const ViewTransform& view, Quality quality, Image& target) {
    if (target.Empty()) {
        return;
    }
    render::FrameOptions options;
    options.background = Rgba{static_cast<std::uint8_t>(background >> 16),
                              static_cast<std::uint8_t>(background >> 8),
                              static_cast<std::uint8_t>(background), 255};
    options.quality = ToRenderQuality(quality);
    MovieClip* root = runtime.LevelClip(0);
    Matrix stage = root != nullptr ? view.ToView(root->Movie().Model().header.frameSize,
                                                 target.Width(), target.Height())
                                   : Matrix::Scale(0.05, 0.05);
    options.stageScale = std::sqrt(std::fabs(stage.a * stage.d - stage.b * stage.c)) * 20.0;
    renderer.BeginFrame(target.Data(), target.Width(), target.Height(), target.Stride(), options);
    StageDrawer drawer(renderer);
    for (const auto& [level, clip] : runtime.Levels()) {
        drawer.DrawClip(*clip,
                        render::Transform{stage * clip->GetMatrix(), clip->GetColorTransform()});
    }
    renderer.EndFrame();
}

}  // namespace flash
