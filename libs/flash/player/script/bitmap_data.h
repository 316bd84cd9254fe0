#pragma once

// What the files of flash.display.BitmapData share: the script object holding the pixels and
// the readers of the arguments scripts pass.

#include <memory>
#include <optional>
#include <span>
#include <utility>

#include "flash/avm1/native_member.h"
#include "flash/avm1/object.h"
#include "flash/avm1/vm.h"
#include "flash/render/pixel_bitmap.h"

namespace flash::bitmap_data {

class BitmapDataObject final : public avm1::Object {
  public:
    BitmapDataObject(avm1::Object* proto, std::shared_ptr<render::PixelBitmap> bitmap)
        : avm1::Object(proto, avm1::ObjectClass::Host), bitmap_(std::move(bitmap)) {}
    render::PixelBitmap* Bitmap() const { return bitmap_.get(); }
    const std::shared_ptr<render::PixelBitmap>& Shared() const { return bitmap_; }
    void Dispose() { bitmap_.reset(); }

  private:
    std::shared_ptr<render::PixelBitmap> bitmap_;
};

// What a call on a disposed bitmap, or with too few arguments, answers.
inline avm1::Value Failed() {
    return avm1::Value::Number(-1);
}

// The live bitmap of a BitmapData value, or null.
render::PixelBitmap* BitmapOf(const avm1::Value& v);
// The bitmap a method runs on when it has at least `minArgs` arguments, or null.
render::PixelBitmap* Target(avm1::CallContext& c, std::size_t minArgs);

double Number(avm1::CallContext& c, const avm1::Value& v);
int Int(avm1::CallContext& c, const avm1::Value& v);
std::uint32_t Color(avm1::CallContext& c, const avm1::Value& v);
bool Bool(avm1::CallContext& c, const avm1::Value& v);
// Points and rectangles by their own x, y (width, height) members.
std::optional<std::pair<int, int>> PointOf(avm1::CallContext& c, const avm1::Value& v);
std::optional<render::PixelRect> RectOf(avm1::CallContext& c, const avm1::Value& v);
// A new BitmapData object holding `bitmap`.
avm1::Value Wrap(avm1::CallContext& c, std::shared_ptr<render::PixelBitmap> bitmap);

// Methods of the other files, listed in bitmap_data.cpp's table.
// bitmap_data_effects.cpp
avm1::Value ApplyFilter(avm1::CallContext& c);
avm1::Value Scroll(avm1::CallContext& c);
avm1::Value Threshold(avm1::CallContext& c);
avm1::Value PixelDissolve(avm1::CallContext& c);
avm1::Value PerlinNoise(avm1::CallContext& c);
avm1::Value PaletteMap(avm1::CallContext& c);
avm1::Value Merge(avm1::CallContext& c);
avm1::Value Noise(avm1::CallContext& c);
avm1::Value CopyChannel(avm1::CallContext& c);
avm1::Value GenerateFilterRect(avm1::CallContext& c);
avm1::Value Compare(avm1::CallContext& c);
// bitmap_data_draw.cpp
avm1::Value Draw(avm1::CallContext& c);
avm1::Value LoadBitmap(avm1::CallContext& c);

}  // namespace flash::bitmap_data
