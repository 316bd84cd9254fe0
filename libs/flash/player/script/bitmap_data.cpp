// flash.display.BitmapData: a bitmap scripts make and paint (pixels, rectangles, flood fill,
// copies, colour transforms, colour bounds and hit tests; the effects and drawing are in the
// other bitmap_data files). Sizes are refused as Flash refuses them, before anything is
// allocated; a disposed bitmap, or a call with too few arguments, answers -1.
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

#include "display/bitmap_object.h"
#include "display/movie_clip.h"
#include "flash/avm1/convert.h"
#include "flash/avm1/geom_values.h"
#include "flash/avm1/object.h"
#include "flash/render/pixel_bitmap.h"
#include "script/bitmap_data.h"
#include "script/script_classes.h"

namespace flash {

namespace bitmap_data {

using avm1::CallContext;
using avm1::Value;
using render::PixelBitmap;

PixelBitmap* BitmapOf(const Value& v) {
    auto* o = dynamic_cast<BitmapDataObject*>(v.AsObject());
    return o != nullptr ? o->Bitmap() : nullptr;
}

PixelBitmap* Target(CallContext& c, std::size_t minArgs) {
    return c.args.size() >= minArgs ? BitmapOf(c.thisValue) : nullptr;
}

double Number(CallContext& c, const Value& v) {
    return c.vm.ToNumber(v, c.version);
}

int Int(CallContext& c, const Value& v) {
    return avm1::ToInt32(Number(c, v));
}

std::uint32_t Color(CallContext& c, const Value& v) {
    return avm1::ToUint32(Number(c, v));
}

bool Bool(CallContext& c, const Value& v) {
    return avm1::ToBoolean(v, c.version);
}

namespace {

// A member the object has itself (points and rectangles are not looked up in prototypes).
std::optional<double> Own(CallContext& c, const Value& v, avm1::StringView name) {
    avm1::Object* o = v.AsObject();
    if (o == nullptr || o->Members().Find(name, true) == nullptr) {
        return std::nullopt;
    }
    return Number(c, c.vm.Get(o, name, c.version));
}

}  // namespace

std::optional<std::pair<int, int>> PointOf(CallContext& c, const Value& v) {
    std::optional<double> x = Own(c, v, u"x"), y = Own(c, v, u"y");
    if (!x || !y) {
        return std::nullopt;
    }
    return std::pair{avm1::ToInt32(*x), avm1::ToInt32(*y)};
}

std::optional<render::PixelRect> RectOf(CallContext& c, const Value& v) {
    std::optional<double> x = Own(c, v, u"x"), y = Own(c, v, u"y");
    std::optional<double> w = Own(c, v, u"width"), h = Own(c, v, u"height");
    if (!x || !y || !w || !h) {
        return std::nullopt;
    }
    return render::PixelRect{avm1::ToInt32(*x), avm1::ToInt32(*y), avm1::ToInt32(*w),
                             avm1::ToInt32(*h)};
}

namespace {

avm1::Object* Prototype(CallContext& c) {
    avm1::Value flash = c.vm.Get(c.vm.Global(), u"flash", 8);
    avm1::Object* display = c.vm.Get(flash.AsObject(), u"display", 8).AsObject();
    avm1::Object* ctor = c.vm.Get(display, u"BitmapData", 8).AsObject();
    return c.vm.Get(ctor, u"prototype", 8).AsObject();
}

}  // namespace

Value Wrap(CallContext& c, std::shared_ptr<PixelBitmap> bitmap) {
    return Value::Obj(c.vm.New<BitmapDataObject>(Prototype(c), std::move(bitmap)));
}

namespace {

// new BitmapData(width, height[, transparent[, fillColor]]): undefined for a refused size.
Value Construct(CallContext& c) {
    if (c.args.size() < 2) {
        return Value();
    }
    const double w = std::trunc(Number(c, c.Arg(0))), h = std::trunc(Number(c, c.Arg(1)));
    if (!PixelBitmap::SizeAllowed(w, h, c.version)) {
        return Value();
    }
    const bool transparent = c.args.size() < 3 || avm1::ToBoolean(c.Arg(2), c.version);
    const std::uint32_t fill = c.args.size() < 4 ? 0xFFFFFFFFu : Color(c, c.Arg(3));
    return Wrap(c, std::make_shared<PixelBitmap>(int(w), int(h), transparent, fill));
}

Value Width(CallContext& c) {
    PixelBitmap* b = Target(c, 0);
    return b ? Value::Number(b->Width()) : Failed();
}

Value Height(CallContext& c) {
    PixelBitmap* b = Target(c, 0);
    return b ? Value::Number(b->Height()) : Failed();
}

Value Transparent(CallContext& c) {
    PixelBitmap* b = Target(c, 0);
    return b ? Value::Bool(b->Transparent()) : Failed();
}

Value Rectangle(CallContext& c) {
    PixelBitmap* b = Target(c, 0);
    return b ? avm1::NewGeomRectangle(c.vm, 0, 0, b->Width(), b->Height(), c.version) : Failed();
}

Value GetPixel(CallContext& c) {
    PixelBitmap* b = Target(c, 2);
    if (b == nullptr) {
        return Failed();
    }
    return Value::Number(b->GetPixel32(Int(c, c.Arg(0)), Int(c, c.Arg(1))) & 0xFFFFFF);
}

Value GetPixel32(CallContext& c) {
    PixelBitmap* b = Target(c, 2);
    if (b == nullptr) {
        return Failed();
    }
    const std::uint32_t v = b->GetPixel32(Int(c, c.Arg(0)), Int(c, c.Arg(1)));
    return Value::Number(static_cast<std::int32_t>(v));
}

Value SetPixel(CallContext& c) {
    PixelBitmap* b = Target(c, 3);
    if (b == nullptr) {
        return Failed();
    }
    b->SetPixel(Int(c, c.Arg(0)), Int(c, c.Arg(1)), Color(c, c.Arg(2)));
    return Value::Number(0);
}

Value SetPixel32(CallContext& c) {
    PixelBitmap* b = Target(c, 3);
    if (b == nullptr) {
        return Failed();
    }
    b->SetPixel32(Int(c, c.Arg(0)), Int(c, c.Arg(1)), Color(c, c.Arg(2)));
    return Value::Number(0);
}

Value FillRect(CallContext& c) {
    PixelBitmap* b = Target(c, 2);
    std::optional<render::PixelRect> r = b ? RectOf(c, c.Arg(0)) : std::nullopt;
    if (!r) {
        return Failed();
    }
    b->FillRect(*r, Color(c, c.Arg(1)));
    return Value::Number(0);
}

Value FloodFill(CallContext& c) {
    PixelBitmap* b = Target(c, 3);
    if (b == nullptr) {
        return Failed();
    }
    b->FloodFill(Int(c, c.Arg(0)), Int(c, c.Arg(1)), Color(c, c.Arg(2)));
    return Value();
}

// copyPixels(source, sourceRect, destPoint[, alphaBitmap, alphaPoint, mergeAlpha]).
Value CopyPixels(CallContext& c) {
    PixelBitmap* b = Target(c, 3);
    if (b == nullptr) {
        return Failed();
    }
    PixelBitmap* source = BitmapOf(c.Arg(0));
    std::optional<render::PixelRect> from = RectOf(c, c.Arg(1));
    std::optional<std::pair<int, int>> to = PointOf(c, c.Arg(2));
    if (source != nullptr && from && to) {
        b->CopyPixels(*source, *from, to->first, to->second, Bool(c, c.Arg(5)));
    }
    return Value();
}

// colorTransform(rect, colorTransform): -2 for a bad rectangle, -3 for a bad transform, and
// -1 when done, as Flash answers.
Value ColorTransformFn(CallContext& c) {
    PixelBitmap* b = Target(c, 2);
    if (b == nullptr) {
        return Failed();
    }
    std::optional<render::PixelRect> r = RectOf(c, c.Arg(0));
    if (!r) {
        return Value::Number(-2);
    }
    std::optional<avm1::GeomColor> k = avm1::GeomColorOf(c.Arg(1));
    if (!k) {
        return Value::Number(-3);
    }
    b->ApplyColorTransform(*r, ColorTransform{k->rMult, k->gMult, k->bMult, k->aMult, k->rAdd,
                                              k->gAdd, k->bAdd, k->aAdd});
    return Failed();
}

Value GetColorBoundsRect(CallContext& c) {
    PixelBitmap* b = Target(c, 2);
    if (b == nullptr) {
        return Failed();
    }
    const bool find = c.args.size() < 3 || Bool(c, c.Arg(2));
    const render::PixelRect r = b->ColorBounds(Color(c, c.Arg(0)), Color(c, c.Arg(1)), find);
    return avm1::NewGeomRectangle(c.vm, r.x, r.y, r.width, r.height, c.version);
}

Value Clone(CallContext& c) {
    PixelBitmap* b = Target(c, 0);
    return b ? Wrap(c, std::make_shared<PixelBitmap>(*b)) : Failed();
}

Value Dispose(CallContext& c) {
    if (auto* o = dynamic_cast<BitmapDataObject*>(c.This())) {
        o->Dispose();
    }
    return Value();
}

// Whether a pixel is solid enough for a hit test: its alpha at or above the threshold.
bool Solid(const PixelBitmap& b, int x, int y, std::uint32_t threshold) {
    return b.Contains(x, y) && (b.GetPixel32(x, y) >> 24) >= threshold;
}

bool HitRect(const PixelBitmap& b, render::PixelRect r, std::uint32_t threshold) {
    std::optional<render::PixelRect> area = b.Clip(r);
    for (int y = area ? area->y : 0; area && y < area->y + area->height; ++y) {
        for (int x = area->x; x < area->x + area->width; ++x) {
            if (Solid(b, x, y, threshold)) {
                return true;
            }
        }
    }
    return false;
}

bool HitBitmaps(const PixelBitmap& a, std::pair<int, int> at, std::uint32_t ta,
                const PixelBitmap& b, std::pair<int, int> bt, std::uint32_t tb) {
    // The overlap in `a`'s pixels.
    std::optional<render::PixelRect> area =
        a.Clip({bt.first - at.first, bt.second - at.second, b.Width(), b.Height()});
    for (int y = area ? area->y : 0; area && y < area->y + area->height; ++y) {
        for (int x = area->x; x < area->x + area->width; ++x) {
            const int bx = x + at.first - bt.first, by = y + at.second - bt.second;
            if (Solid(a, x, y, ta) && Solid(b, bx, by, tb)) {
                return true;
            }
        }
    }
    return false;
}

// hitTest(firstPoint, firstAlphaThreshold, secondObject[, secondBitmapPoint,
// secondAlphaThreshold]): a point, a rectangle or another bitmap. Bad arguments give -2
// (first point), -3 (second object), -4 (second point).
Value HitTest(CallContext& c) {
    PixelBitmap* b = Target(c, 0);
    if (b == nullptr) {
        return Failed();
    }
    std::optional<std::pair<int, int>> first = PointOf(c, c.Arg(0));
    if (!first) {
        return Value::Number(-2);
    }
    const std::uint32_t threshold = Color(c, c.Arg(1)) & 0xFF;
    const Value& second = c.Arg(2);
    if (auto* other = dynamic_cast<BitmapDataObject*>(second.AsObject())) {
        if (other->Bitmap() == nullptr) {
            return Value::Number(-3);
        }
        std::optional<std::pair<int, int>> at = PointOf(c, c.Arg(3));
        if (!at) {
            return Value::Number(-4);
        }
        return Value::Bool(
            HitBitmaps(*b, *first, threshold, *other->Bitmap(), *at, Color(c, c.Arg(4)) & 0xFF));
    }
    if (std::optional<render::PixelRect> r = RectOf(c, second)) {
        r->x -= first->first;
        r->y -= first->second;
        return Value::Bool(HitRect(*b, *r, threshold));
    }
    if (std::optional<std::pair<int, int>> p = PointOf(c, second)) {
        // A single point never hits a pixel with no alpha at all.
        const int x = p->first - first->first, y = p->second - first->second;
        return Value::Bool(Solid(*b, x, y, std::max<std::uint32_t>(threshold, 1)));
    }
    return Value::Number(-3);
}

// clip.attachBitmap(bitmap, depth[, pixelSnapping[, smoothing]]).
Value AttachBitmap(CallContext& c) {
    avm1::Object* self = c.This();
    auto* clip = self != nullptr ? dynamic_cast<MovieClip*>(self->AsClip()) : nullptr;
    auto* data = dynamic_cast<BitmapDataObject*>(c.Arg(0).AsObject());
    const double depth = Number(c, c.Arg(1));
    if (clip == nullptr || data == nullptr || data->Bitmap() == nullptr || c.args.size() < 2 ||
        !std::isfinite(depth) || depth < -16384 || depth > 2130690045) {
        return Value();
    }
    const bool smoothing = Bool(c, c.Arg(3));
    clip->Insert(std::make_unique<BitmapObject>(clip->GetRuntime(), clip->SharedMovie(),
                                                data->Shared(), smoothing),
                 static_cast<int>(std::trunc(depth)) + 16384);
    return Value();
}

constexpr avm1::NativeMember kClip[] = {
    avm1::Method(u"attachBitmap", AttachBitmap),
};

constexpr std::uint16_t kShown = avm1::kDontDelete;

constexpr avm1::NativeMember kPrototype[] = {
    avm1::Accessor(u"width", Width, nullptr, kShown),
    avm1::Accessor(u"height", Height, nullptr, kShown),
    avm1::Accessor(u"rectangle", Rectangle, nullptr, kShown),
    avm1::Accessor(u"transparent", Transparent, nullptr, kShown),
    avm1::Method(u"getPixel", GetPixel, 0),
    avm1::Method(u"setPixel", SetPixel, 0),
    avm1::Method(u"fillRect", FillRect, 0),
    avm1::Method(u"copyPixels", CopyPixels, 0),
    avm1::Method(u"applyFilter", ApplyFilter, 0),
    avm1::Method(u"scroll", Scroll, 0),
    avm1::Method(u"threshold", Threshold, 0),
    avm1::Method(u"draw", Draw, 0),
    avm1::Method(u"pixelDissolve", PixelDissolve, 0),
    avm1::Method(u"getPixel32", GetPixel32, 0),
    avm1::Method(u"setPixel32", SetPixel32, 0),
    avm1::Method(u"floodFill", FloodFill, 0),
    avm1::Method(u"getColorBoundsRect", GetColorBoundsRect, 0),
    avm1::Method(u"perlinNoise", PerlinNoise, 0),
    avm1::Method(u"colorTransform", ColorTransformFn, 0),
    avm1::Method(u"hitTest", HitTest, 0),
    avm1::Method(u"paletteMap", PaletteMap, 0),
    avm1::Method(u"merge", Merge, 0),
    avm1::Method(u"noise", Noise, 0),
    avm1::Method(u"copyChannel", CopyChannel, 0),
    avm1::Method(u"clone", Clone, 0),
    avm1::Method(u"dispose", Dispose, 0),
    avm1::Method(u"generateFilterRect", GenerateFilterRect, 0),
    avm1::Method(u"compare", Compare, 0),
};

constexpr avm1::NativeMember kStatics[] = {
    avm1::Method(u"loadBitmap", LoadBitmap, 0), avm1::Constant(u"RED_CHANNEL", 1, 0),
    avm1::Constant(u"GREEN_CHANNEL", 2, 0),     avm1::Constant(u"BLUE_CHANNEL", 4, 0),
    avm1::Constant(u"ALPHA_CHANNEL", 8, 0),
};

}  // namespace

}  // namespace bitmap_data

void InstallBitmapData(avm1::Vm& vm) {
    using namespace bitmap_data;
    avm1::Object* flash = vm.Get(vm.Global(), u"flash", 8).AsObject();
    if (flash == nullptr) {
        return;
    }
    avm1::Object* display = vm.Get(flash, u"display", 8).AsObject();
    if (display == nullptr) {
        display = vm.NewObject();
        vm.Define(flash, u"display", Value::Obj(display), avm1::kDontEnum);
    }
    avm1::Object* ctor = vm.NewConstructor(Construct, Construct);
    avm1::DefineMembers(vm, ctor, kStatics);
    avm1::DefineMembers(vm, vm.Get(ctor, u"prototype", 8).AsObject(), kPrototype);
    vm.Define(display, u"BitmapData", Value::Obj(ctor), avm1::kDontEnum);
    avm1::DefineMembers(vm, vm.MovieClipPrototype(), kClip);
}

}  // namespace flash
