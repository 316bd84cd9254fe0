#include "simple_stage.h"

#include <variant>

namespace flash::render {

SimpleStage::SimpleStage() {
    lookup_ = [this](std::uint16_t id) -> const swf::Character* {
        auto it = dictionary_.find(id);
        return it == dictionary_.end() ? nullptr : &it->second;
    };
}

void SimpleStage::Apply(const swf::Frame& frame, DisplayList& list) {
    for (const swf::Tag& tag : frame.tags) {
        if (const auto* def = std::get_if<swf::DefineCharacter>(&tag)) {
            dictionary_.emplace(def->id, def->character);
        } else if (const auto* place = std::get_if<swf::PlaceObject>(&tag)) {
            Placed& p = list[place->depth];
            if (place->characterId) {
                p.id = *place->characterId;
            }
            p.matrix = place->matrix.value_or(p.matrix);
            p.color = place->colorTransform.value_or(p.color);
            p.ratio = place->ratio.value_or(p.ratio);
            p.clipDepth = place->clipDepth.value_or(p.clipDepth);
        } else if (const auto* remove = std::get_if<swf::RemoveObject>(&tag)) {
            list.erase(remove->depth);
        }
    }
}

void SimpleStage::Draw(Renderer& r, const DisplayList& list, const Transform& parent, int nesting) {
    std::vector<std::uint16_t> openMasks;
    for (const auto& [depth, placed] : list) {
        while (!openMasks.empty() && depth > openMasks.back()) {
            r.PopMask();
            openMasks.pop_back();
        }
        const Transform t{parent.matrix * placed.matrix, parent.color * placed.color};
        if (placed.clipDepth > depth) {
            r.BeginMask();
            DrawOne(r, placed, t, nesting);
            r.EndMask();
            openMasks.push_back(placed.clipDepth);
        } else {
            DrawOne(r, placed, t, nesting);
        }
    }
    while (!openMasks.empty()) {
        r.PopMask();
        openMasks.pop_back();
    }
}

void SimpleStage::DrawOne(Renderer& r, const Placed& placed, const Transform& t, int nesting) {
    auto it = dictionary_.find(placed.id);
    if (it == dictionary_.end()) {
        return;
    }
    if (const auto* sprite = std::get_if<std::shared_ptr<const swf::Sprite>>(&it->second)) {
        if (nesting < 4 && !(*sprite)->frames.empty()) {
            DisplayList inner;
            Apply((*sprite)->frames.front(), inner);
            Draw(r, inner, t, nesting + 1);
        }
        return;
    }
    r.DrawCharacter(it->second, placed.ratio, t, lookup_);
}

std::vector<std::uint32_t> RenderMovieFrame(const swf::Movie& movie, int frames, int width,
                                            int height, Quality quality) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    SimpleStage stage;
    DisplayList list;
    FrameOptions options;
    options.quality = quality;
    int shown = 0;
    for (const swf::Frame& f : movie.frames) {
        if (shown >= frames) {
            break;
        }
        stage.Apply(f, list);
        for (const swf::Tag& tag : f.tags) {
            if (const auto* bg = std::get_if<swf::SetBackgroundColor>(&tag)) {
                options.background = bg->color;
            }
        }
        ++shown;
    }
    const Rect& stageRect = movie.header.frameSize;
    const double sx = stageRect.width() > 0 ? double(width) / stageRect.width() : 1.0 / 20;
    const double sy = stageRect.height() > 0 ? double(height) / stageRect.height() : 1.0 / 20;
    options.stageScale = sx * 20;
    const Transform root{
        Matrix::Scale(sx, sy) * Matrix::Translate(-stageRect.xmin, -stageRect.ymin), {}};
    Renderer renderer;
    renderer.BeginFrame(pixels.data(), width, height, width * 4, options);
    stage.Draw(renderer, list, root);
    renderer.EndFrame();
    return pixels;
}

}  // namespace flash::render
