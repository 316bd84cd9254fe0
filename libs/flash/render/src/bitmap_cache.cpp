#include "bitmap_cache.h"

#include <algorithm>
#include <cstring>

#include "flash/render/bitmap_decode.h"

namespace flash::render {

SurfaceRef::~SurfaceRef() {
    if (surface_) {
        cairo_surface_destroy(surface_);
    }
}

SurfaceRef& SurfaceRef::operator=(SurfaceRef&& other) noexcept {
    if (this != &other) {
        if (surface_) {
            cairo_surface_destroy(surface_);
        }
        surface_ = other.surface_;
        other.surface_ = nullptr;
    }
    return *this;
}

SurfaceRef MakeSurface(const swf::Image& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() < static_cast<std::size_t>(image.width) * image.height) {
        return {};
    }
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return {};
    }
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4;
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(data + static_cast<std::size_t>(y) * stride,
                    image.pixels.data() + static_cast<std::size_t>(y) * image.width, rowBytes);
    }
    cairo_surface_mark_dirty(s);
    return SurfaceRef(s);
}

SurfaceRef Recolor(cairo_surface_t* source, const ColorTransform& color) {
    const int w = cairo_image_surface_get_width(source);
    const int h = cairo_image_surface_get_height(source);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return {};
    }
    cairo_surface_flush(source);
    cairo_surface_flush(s);
    const unsigned char* in = cairo_image_surface_get_data(source);
    unsigned char* out = cairo_image_surface_get_data(s);
    const int inStride = cairo_image_surface_get_stride(source);
    const int outStride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(in + std::size_t(y) * inStride);
        auto* dst = reinterpret_cast<std::uint32_t*>(out + std::size_t(y) * outStride);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = src[x];
            const unsigned a = p >> 24;
            Rgba c{0, 0, 0, 0};
            if (a != 0) {
                // Unpremultiply, rounding to nearest.
                auto un = [a](unsigned v) {
                    return static_cast<std::uint8_t>(std::min(255u, (v * 255 + a / 2) / a));
                };
                c = {un((p >> 16) & 0xFF), un((p >> 8) & 0xFF), un(p & 0xFF),
                     static_cast<std::uint8_t>(a)};
            }
            const Rgba t = color.Apply(c);
            auto pre = [&t](unsigned v) { return (v * t.a + 127) / 255; };
            dst[x] = (std::uint32_t(t.a) << 24) | (pre(t.r) << 16) | (pre(t.g) << 8) | pre(t.b);
        }
    }
    cairo_surface_mark_dirty(s);
    return SurfaceRef(s);
}

cairo_surface_t* BitmapCache::Surface(const std::shared_ptr<const swf::Bitmap>& bitmap) {
    if (!bitmap) {
        return nullptr;
    }
    auto it = entries_.find(bitmap.get());
    if (it != entries_.end() && it->second.owner.lock() == bitmap) {
        return it->second.surface.get();
    }
    Entry entry{bitmap, {}};
    if (auto image = DecodeBitmap(*bitmap)) {
        entry.surface = MakeSurface(*image);
    }
    cairo_surface_t* s = entry.surface.get();
    entries_.insert_or_assign(bitmap.get(), std::move(entry));
    return s;
}

cairo_surface_t* BitmapCache::Recolored(const std::shared_ptr<const swf::Bitmap>& bitmap,
                                        const ColorTransform& color) {
    ++clock_;
    for (RecoloredEntry& e : recolored_) {
        if (e.key == bitmap.get() && e.color == color && e.owner.lock() == bitmap) {
            e.lastUse = clock_;
            return e.surface.get();
        }
    }
    cairo_surface_t* base = Surface(bitmap);
    if (!base) {
        return nullptr;
    }
    auto bytesOf = [](cairo_surface_t* s) {
        return s ? std::size_t(cairo_image_surface_get_stride(s)) *
                       cairo_image_surface_get_height(s)
                 : 0;
    };
    std::size_t bytes = bytesOf(base);
    for (const RecoloredEntry& e : recolored_) {
        bytes += bytesOf(e.surface.get());
    }
    // Evict the least recently used until the new copy fits.
    while (!recolored_.empty() &&
           (recolored_.size() >= kMaxRecolored || bytes > kMaxRecoloredBytes)) {
        auto oldest = std::min_element(
            recolored_.begin(), recolored_.end(),
            [](const RecoloredEntry& x, const RecoloredEntry& y) { return x.lastUse < y.lastUse; });
        bytes -= bytesOf(oldest->surface.get());
        recolored_.erase(oldest);
    }
    recolored_.push_back({bitmap.get(), bitmap, color, Recolor(base, color), clock_});
    return recolored_.back().surface.get();
}

void BitmapCache::Sweep() {
    std::erase_if(entries_, [](const auto& kv) { return kv.second.owner.expired(); });
    std::erase_if(recolored_, [](const RecoloredEntry& e) { return e.owner.expired(); });
}

void BitmapCache::Clear() {
    entries_.clear();
    recolored_.clear();
}

}  // namespace flash::render
