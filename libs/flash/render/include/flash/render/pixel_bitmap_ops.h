#pragma once

// The BitmapData operations beyond pixels and rectangles: noise, thresholds, dissolves,
// palettes, merges, channel copies, scrolling and comparing. Colours are straight ARGB as
// scripts give them; the work of each is bounded by the bitmaps' sizes.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "flash/render/pixel_bitmap.h"

namespace flash::render {

// Where `from` of `source` lands at `toX`, `toY` of `dest`: both clipped, `dest` in dest's
// pixels and `sx`, `sy` the source pixel of its corner. nullopt when nothing overlaps.
struct CopyArea {
    PixelRect dest;
    int sx = 0, sy = 0;
};
std::optional<CopyArea> MapCopy(const PixelBitmap& source, PixelRect from, int toX, int toY,
                                const PixelBitmap& dest);

// Flash's random numbers (the minimal standard generator) from a seed.
class ParkMiller {
  public:
    explicit ParkMiller(std::int64_t seed);
    std::uint32_t Next();
    // An integer in low .. high (both included).
    int Between(int low, int high);

  private:
    std::uint32_t state_;
};

// Channel bits as BitmapDataChannel gives them.
inline constexpr unsigned kRedChannel = 1, kGreenChannel = 2, kBlueChannel = 4, kAlphaChannel = 8;

// Random values low .. high in the channels asked for (the others 0, alpha 255 when not
// asked); with `gray` one value for red, green and blue.
void Noise(PixelBitmap& b, std::int64_t seed, int low, int high, unsigned channels, bool gray);

struct PerlinOptions {
    double baseX = 1, baseY = 1;
    int octaves = 1;
    std::int64_t seed = 0;
    bool stitch = false;
    bool fractal = false;
    unsigned channels = kRedChannel | kGreenChannel | kBlueChannel;
    bool gray = false;
    std::vector<std::pair<double, double>> offsets;  // per octave, missing ones 0, 0
};
void PerlinNoise(PixelBitmap& b, const PerlinOptions& options);

enum class ThresholdTest : std::uint8_t { Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual };
// The test of an operation string ("<", "<=", ">", ">=", "==", "!="); nullopt for others.
std::optional<ThresholdTest> ThresholdTestOf(std::u16string_view op);
// Sets `color` where (source pixel & mask) passes the test against (threshold & mask),
// elsewhere copies the source pixel when `copySource`. Returns the pixels that passed.
int Threshold(PixelBitmap& dest, const PixelBitmap& source, PixelRect from, int toX, int toY,
              ThresholdTest test, std::uint32_t threshold, std::uint32_t color, std::uint32_t mask,
              bool copySource);

// Replaces `pixels` more pixels of the area after the one `seed` names (and that one) with
// the source's, or with `fill` when source and destination are one bitmap, visiting every
// pixel of the area once before any again. Returns the seed of the next call.
int PixelDissolve(PixelBitmap& dest, const PixelBitmap& source, PixelRect from, int toX, int toY,
                  std::int64_t seed, std::int64_t pixels, std::uint32_t fill);

// Moves the pixels by dx, dy; what is uncovered keeps its pixels.
void Scroll(PixelBitmap& b, int dx, int dy);

// Copies one channel of the source into one of the destination (channel bits as above; a
// value naming no single channel does nothing).
void CopyChannel(PixelBitmap& dest, const PixelBitmap& source, PixelRect from, int toX, int toY,
                 unsigned sourceChannel, unsigned destChannel);

// Per channel: (source * mult + dest * (256 - mult)) / 256, multipliers 0 .. 256.
void Merge(PixelBitmap& dest, const PixelBitmap& source, PixelRect from, int toX, int toY,
           const std::array<std::uint32_t, 4>& argbMultipliers);

// Each pixel becomes the sum of the tables' entries for its channels; a channel without a
// table keeps its value in its place.
using PaletteTable = std::optional<std::array<std::uint32_t, 256>>;
void PaletteMap(PixelBitmap& dest, const PixelBitmap& source, PixelRect from, int toX, int toY,
                const std::array<PaletteTable, 4>& argbTables);

// A colour matrix filter on straight colours: each channel out of the row
// (r, g, b, a, offset) of its channel, rows red, green, blue, alpha.
void ApplyColorMatrix(PixelBitmap& b, PixelRect area, const std::array<double, 20>& matrix);

// The difference of two bitmaps of one size as Flash's compare gives it: per pixel, 0 where
// they are equal, the colour difference with alpha 255 where the colours differ, else white
// with the alpha difference. nullopt when the bitmaps are equal.
std::optional<PixelBitmap> Compare(const PixelBitmap& a, const PixelBitmap& b);

}  // namespace flash::render
