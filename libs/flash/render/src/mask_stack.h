#pragma once

// Masks as Cairo groups: a mask is drawn into an alpha group, then what it clips into a
// colour group that is composited through the mask when the mask is popped.

#include <cairo.h>

#include <vector>

#include "path.h"

namespace flash::render {

class MaskStack {
  public:
    // Starts drawing a mask.
    void Begin(cairo_t* cr);
    // The mask is complete; what follows is clipped by it. `viewport` is the device area.
    void End(cairo_t* cr, const Box& viewport);
    // Composites what the innermost mask clipped; closes the mask first when still drawing it.
    void Pop(cairo_t* cr, const Box& viewport);
    void PopAll(cairo_t* cr, const Box& viewport);
    // Forgets every level without drawing (the frame's context is gone).
    void Reset();

    // Whether a mask is being drawn: fills are then opaque, and their device area is noted.
    bool Recording() const { return recording_ > 0; }
    void NoteDrawn(const Box& device);
    std::size_t Depth() const { return levels_.size(); }

  private:
    struct Level {
        bool recording = true;
        cairo_pattern_t* mask = nullptr;
        Box drawn;  // device area the mask's characters cover
    };
    std::vector<Level> levels_;
    int recording_ = 0;
};

}  // namespace flash::render
