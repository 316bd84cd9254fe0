#include "image_strips.h"

#include <wx/bmpbndl.h>
#include <wx/image.h>

#include <cstring>
#include <string>

#include "icon_sources.h"
#include "resource_ids.h"

namespace res {
namespace {

struct StripSource {
    int id;
    const char* folder;
    bool large;  // prefers "NN-...-large.svg" sources
};

constexpr StripSource kSources[] = {
    {IDB_NOW_PLAYING_16, "media/", false},
    {IDB_NOW_PLAYING_32, "media/", true},
    {IDB_RIBBON_32, "ribbon/", true},
    {IDB_RIBBON_16, "ribbon/", false},
};

bool EndsWith(const std::string& text, const char* suffix) {
    std::size_t n = std::strlen(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

// The source of image `index` in `folder`: "NN-name.svg", or for large strips
// "NN-name-large.svg" when there is one.
const char* FindSource(const char* folder, int index, bool large) {
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "%s%02d-", folder, index);
    const char* plain = nullptr;
    for (std::size_t i = 0; i < kIconSourceCount; ++i) {
        std::string name = kIconSources[i].name;
        if (name.rfind(prefix, 0) != 0) {
            continue;
        }
        if (EndsWith(name, "-large.svg")) {
            if (large) {
                return kIconSources[i].svg;
            }
        } else {
            plain = kIconSources[i].svg;
        }
    }
    return plain;
}

const char* FindNamed(const char* name) {
    for (std::size_t i = 0; i < kIconSourceCount; ++i) {
        if (std::strcmp(kIconSources[i].name, name) == 0) {
            return kIconSources[i].svg;
        }
    }
    return nullptr;
}

// Copies colour and alpha of `icon` into `strip` at x.
void Place(wxImage& strip, const wxImage& icon, int x) {
    for (int py = 0; py < icon.GetHeight(); ++py) {
        for (int px = 0; px < icon.GetWidth(); ++px) {
            strip.SetRGB(x + px, py, icon.GetRed(px, py), icon.GetGreen(px, py),
                         icon.GetBlue(px, py));
            strip.SetAlpha(x + px, py, icon.HasAlpha() ? icon.GetAlpha(px, py) : 255);
        }
    }
}

wxImage Render(const char* svg, int size) {
    if (svg == nullptr) {
        return {};
    }
    wxBitmap bitmap =
        wxBitmapBundle::FromSVG(svg, wxSize(size, size)).GetBitmap(wxSize(size, size));
    return bitmap.IsOk() ? bitmap.ConvertToImage() : wxImage();
}

wxBitmap RenderStrip(int bitmapId) {
    StripInfo info = StripInfoOf(bitmapId);
    if (info.imageCount == 0) {
        return wxNullBitmap;
    }
    wxImage strip(info.imageSize * info.imageCount, info.imageSize);
    strip.InitAlpha();
    std::memset(strip.GetAlpha(), 0,
                static_cast<std::size_t>(strip.GetWidth()) * strip.GetHeight());
    for (int i = 0; i < info.imageCount; ++i) {
        const char* svg = nullptr;
        if (bitmapId == IDB_APP_BUTTON) {
            svg = FindNamed("app-button.svg");
        } else {
            for (const StripSource& s : kSources) {
                if (s.id == bitmapId) {
                    svg = FindSource(s.folder, i, s.large);
                }
            }
        }
        wxImage icon = Render(svg, info.imageSize);
        if (icon.IsOk()) {
            Place(strip, icon, i * info.imageSize);
        }
    }
    return wxBitmap(strip);
}

}  // namespace

StripInfo StripInfoOf(int bitmapId) {
    switch (bitmapId) {
        case IDB_APP_BUTTON:
            return {27, 1};
        case IDB_NOW_PLAYING_16:
            return {16, 17};
        case IDB_NOW_PLAYING_32:
            return {32, 17};
        case IDB_RIBBON_32:
            return {32, 32};
        case IDB_RIBBON_16:
            return {16, 32};
        default:
            return {0, 0};
    }
}

const wxBitmap& ImageStrips::Strip(int bitmapId) {
    auto it = strips_.find(bitmapId);
    if (it == strips_.end()) {
        it = strips_.emplace(bitmapId, RenderStrip(bitmapId)).first;
    }
    return it->second;
}

wxBitmap ImageStrips::Image(int bitmapId, int index) {
    StripInfo info = StripInfoOf(bitmapId);
    if (index < 0 || index >= info.imageCount) {
        return wxNullBitmap;
    }
    auto key = std::make_pair(bitmapId, index);
    auto it = images_.find(key);
    if (it == images_.end()) {
        const wxBitmap& strip = Strip(bitmapId);
        wxBitmap image = strip.IsOk() ? strip.GetSubBitmap(wxRect(index * info.imageSize, 0,
                                                                  info.imageSize, info.imageSize))
                                      : wxNullBitmap;
        it = images_.emplace(key, image).first;
    }
    return it->second;
}

}  // namespace res
