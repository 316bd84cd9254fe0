#pragma once

// Decoding the images bitmap tags hold (JPEG, PNG, GIF and the zlib lossless formats) into
// pixels, for the renderer and for hit tests that need a bitmap's size.

#include <optional>
#include <string>
#include <utility>

#include "flash/swf/bitmap.h"

namespace flash::render {

// Decodes a bitmap; nullopt (with the reason in *error when given) for data that does not decode.
std::optional<swf::Image> DecodeBitmap(const swf::Bitmap& bitmap, std::string* error = nullptr);

// The width and height a bitmap will have, read from its header without decoding it.
std::optional<std::pair<int, int>> BitmapSize(const swf::Bitmap& bitmap);

}  // namespace flash::render
