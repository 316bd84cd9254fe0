#include "path_cache.h"

#include <algorithm>

namespace flash::render {
namespace {

template <typename T, typename Entry>
bool Owns(const Entry& e, const std::shared_ptr<const T>& p) {
    return e.owner.lock() == p;
}

MorphFrame BuildMorph(const swf::MorphShape& morph, std::uint16_t ratio) {
    MorphFrame f;
    f.shape = swf::MorphAt(morph, ratio);
    f.paths = BuildShapePaths(f.shape);
    return f;
}

}  // namespace

void PathCache::SetEnabled(bool on) {
    enabled_ = on;
    if (!on) {
        Clear();
    }
}

const ShapePaths& PathCache::Shape(const std::shared_ptr<const swf::Shape>& shape) {
    if (!enabled_) {
        scratchShape_ = BuildShapePaths(*shape);
        return scratchShape_;
    }
    auto it = shapes_.find(shape.get());
    if (it == shapes_.end() || !Owns(it->second, shape)) {
        it =
            shapes_.insert_or_assign(shape.get(), ShapeEntry{shape, BuildShapePaths(*shape)}).first;
    }
    return it->second.paths;
}

const MorphFrame& PathCache::Morph(const std::shared_ptr<const swf::MorphShape>& morph,
                                   std::uint16_t ratio) {
    if (!enabled_) {
        scratchMorph_ = BuildMorph(*morph, ratio);
        return scratchMorph_;
    }
    ++clock_;
    MorphEntry& entry = morphs_[morph.get()];
    if (!Owns(entry, morph)) {
        entry = MorphEntry{morph, {}};
    }
    auto it = entry.frames.find(ratio);
    if (it == entry.frames.end()) {
        if (entry.frames.size() >= kMorphFrames) {
            auto oldest = std::min_element(
                entry.frames.begin(), entry.frames.end(),
                [](const auto& x, const auto& y) { return x.second.second < y.second.second; });
            entry.frames.erase(oldest);
        }
        it = entry.frames.emplace(ratio, std::make_pair(BuildMorph(*morph, ratio), clock_)).first;
    }
    it->second.second = clock_;
    return it->second.first;
}

const Path& PathCache::Glyph(const std::shared_ptr<const swf::Font>& font, std::size_t index) {
    if (!enabled_) {
        scratchGlyph_ = BuildFillPath(font->glyphs[index].edges, 1);
        return scratchGlyph_;
    }
    FontEntry& entry = fonts_[font.get()];
    if (!Owns(entry, font)) {
        entry = FontEntry{font, {}};
        entry.glyphs.resize(font->glyphs.size());
    }
    std::optional<Path>& glyph = entry.glyphs[index];
    if (!glyph) {
        glyph = BuildFillPath(font->glyphs[index].edges, 1);
    }
    return *glyph;
}

void PathCache::Sweep() {
    std::erase_if(shapes_, [](const auto& kv) { return kv.second.owner.expired(); });
    std::erase_if(morphs_, [](const auto& kv) { return kv.second.owner.expired(); });
    std::erase_if(fonts_, [](const auto& kv) { return kv.second.owner.expired(); });
}

void PathCache::Clear() {
    shapes_.clear();
    morphs_.clear();
    fonts_.clear();
}

}  // namespace flash::render
