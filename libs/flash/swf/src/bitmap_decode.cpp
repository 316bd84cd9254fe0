// Bitmap decoding to premultiplied ARGB32.

#include "flash/swf/bitmap.h"

namespace flash::swf {

std::optional<Image> DecodeBitmap(const Bitmap&, std::string* error) {
    if (error != nullptr) {
        *error = "bitmap decoding is not available yet";
    }
    return std::nullopt;
}

std::optional<std::pair<int, int>> BitmapSize(const Bitmap& bitmap) {
    if (bitmap.kind == BitmapKind::Lossless || bitmap.kind == BitmapKind::Lossless2) {
        return std::make_pair(int(bitmap.width), int(bitmap.height));
    }
    return std::nullopt;
}

}  // namespace flash::swf
