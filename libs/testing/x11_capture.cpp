#include "x11_capture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tovi::testing {

bool CaptureX11Screen(int x, int y, int width, int height, std::vector<std::uint8_t>* rgb) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    XImage* image =
        XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
    bool ok = image != nullptr;
    if (ok) {
        rgb->resize(static_cast<std::size_t>(width) * height * 3);
        std::uint8_t* out = rgb->data();
        for (int row = 0; row < height; ++row) {
            for (int col = 0; col < width; ++col) {
                unsigned long pixel = XGetPixel(image, col, row);
                *out++ = static_cast<std::uint8_t>((pixel & image->red_mask) >> 16);
                *out++ = static_cast<std::uint8_t>((pixel & image->green_mask) >> 8);
                *out++ = static_cast<std::uint8_t>(pixel & image->blue_mask);
            }
        }
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return ok;
}

}  // namespace tovi::testing
