#include "paint_frame.h"

#include <cairo.h>
#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/image.h>

#include "flash/player/image.h"

namespace flash {

namespace {

void PaintWithCairo(cairo_t* cr, const Image& frame) {
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(frame.Data())),
        CAIRO_FORMAT_ARGB32, frame.Width(), frame.Height(), frame.Stride());
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_rectangle(cr, 0, 0, frame.Width(), frame.Height());
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_surface_destroy(surface);
}

void PaintWithBitmap(wxDC& dc, const Image& frame) {
    wxImage image(frame.Width(), frame.Height(), false);
    unsigned char* rgb = image.GetData();
    for (int y = 0; y < frame.Height(); ++y) {
        for (int x = 0; x < frame.Width(); ++x) {
            // Frames are opaque (the stage background is drawn first).
            std::uint32_t p = frame.Pixel(x, y);
            *rgb++ = static_cast<unsigned char>(p >> 16);
            *rgb++ = static_cast<unsigned char>(p >> 8);
            *rgb++ = static_cast<unsigned char>(p);
        }
    }
    dc.DrawBitmap(wxBitmap(image), 0, 0, false);
}

}  // namespace

void PaintFrame(wxDC& dc, const Image& frame) {
    if (frame.Empty()) {
        return;
    }
    if (wxDCImpl* impl = dc.GetImpl()) {
        if (auto* cr = static_cast<cairo_t*>(impl->GetCairoContext())) {
            PaintWithCairo(cr, frame);
            return;
        }
    }
    PaintWithBitmap(dc, frame);
}

}  // namespace flash
