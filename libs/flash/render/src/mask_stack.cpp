#include "mask_stack.h"

#include <algorithm>
#include <cmath>

namespace flash::render {

void MaskStack::Begin(cairo_t* cr) {
    cairo_push_group_with_content(cr, CAIRO_CONTENT_ALPHA);
    levels_.push_back({});
    ++recording_;
}

void MaskStack::End(cairo_t* cr, const Box& viewport) {
    if (levels_.empty() || !levels_.back().recording) {
        return;
    }
    Level& level = levels_.back();
    level.mask = cairo_pop_group(cr);
    level.recording = false;
    --recording_;
    // The content group only needs the area the mask covers.
    cairo_save(cr);
    cairo_new_path(cr);
    Box area = level.drawn.Grown(1);
    if (area.Intersects(viewport)) {
        area = {std::max(area.x0, viewport.x0), std::max(area.y0, viewport.y0),
                std::min(area.x1, viewport.x1), std::min(area.y1, viewport.y1)};
        const double x0 = std::floor(area.x0), y0 = std::floor(area.y0);
        cairo_rectangle(cr, x0, y0, std::ceil(area.x1) - x0, std::ceil(area.y1) - y0);
    } else {
        cairo_rectangle(cr, 0, 0, 0, 0);
    }
    cairo_clip(cr);
    cairo_push_group(cr);
}

void MaskStack::Pop(cairo_t* cr, const Box& viewport) {
    if (levels_.empty()) {
        return;
    }
    if (levels_.back().recording) {
        End(cr, viewport);
    }
    Level level = levels_.back();
    levels_.pop_back();
    cairo_pattern_t* content = cairo_pop_group(cr);
    cairo_set_source(cr, content);
    cairo_mask(cr, level.mask);
    cairo_pattern_destroy(content);
    cairo_pattern_destroy(level.mask);
    cairo_restore(cr);
}

void MaskStack::PopAll(cairo_t* cr, const Box& viewport) {
    while (!levels_.empty()) {
        Pop(cr, viewport);
    }
}

void MaskStack::Reset() {
    for (Level& level : levels_) {
        if (level.mask) {
            cairo_pattern_destroy(level.mask);
        }
    }
    levels_.clear();
    recording_ = 0;
}

void MaskStack::NoteDrawn(const Box& device) {
    // Every mask being drawn gets it: a mask drawn inside another mask's drawing.
    for (Level& level : levels_) {
        if (level.recording) {
            level.drawn.Add(device);
        }
    }
}

}  // namespace flash::render
