#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "flash/player/export.h"

namespace flash {

// A picture of premultiplied ARGB32 pixels in native byte order (Cairo's ARGB32), rows packed
// without padding, so it can be handed to Cairo as it is.
class FLASH_API Image {
  public:
    // Largest side accepted; larger requests throw FlashError.
    static constexpr int kMaxSide = 16384;

    Image() = default;
    Image(int width, int height, std::uint32_t fill = 0);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    int Stride() const { return width_ * 4; }

    std::uint32_t* Data() { return pixels_.data(); }
    const std::uint32_t* Data() const { return pixels_.data(); }
    std::uint32_t Pixel(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y) * width_ + x];
    }
    void SetPixel(int x, int y, std::uint32_t argb) {
        pixels_[static_cast<std::size_t>(y) * width_ + x] = argb;
    }
    void Fill(std::uint32_t argb);

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// Straight (not premultiplied) colour of a pixel.
struct StraightRgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
};
FLASH_API StraightRgba Unpremultiply(std::uint32_t argb);

// PNG files through Cairo; failures throw FlashError.
FLASH_API void WritePng(const Image& image, const std::filesystem::path& file);
FLASH_API Image ReadPng(const std::filesystem::path& file);

}  // namespace flash
