// TextFormat: a set of character and paragraph properties, each null until given. The
// constructor takes them in order (font, size, color, bold, italic, underline, url, target,
// align, leftMargin, rightMargin, indent, leading); getTextExtent measures a string in it.
#include "script/text_format.h"

#include <array>
#include <cmath>
#include <utility>

#include "flash/avm1/convert.h"
#include "flash/avm1/object.h"
#include "flash/render/field_text.h"
#include "script/script_classes.h"

namespace flash {

namespace {

using avm1::Accessor;
using avm1::CallContext;
using avm1::Method;
using avm1::Value;

constexpr char16_t kStateMember[] = u"__textFormat";

class TextFormatState final : public avm1::Object {
  public:
    TextFormatState() : Object(nullptr, avm1::ObjectClass::Host) {}
    TextFormatValues values;
};

TextFormatState* StateOf(avm1::Object* object) {
    if (object == nullptr) {
        return nullptr;
    }
    const avm1::Member* m = object->Members().Find(kStateMember, true);
    return m != nullptr ? dynamic_cast<TextFormatState*>(m->value.AsObject()) : nullptr;
}

TextFormatValues* ValuesOf(CallContext& c) {
    TextFormatState* s = StateOf(c.This());
    return s != nullptr ? &s->values : nullptr;
}

double Number(CallContext& c, const Value& v) {
    return c.vm.ToNumber(v, c.version);
}

// Integers as the constructor and older movies take them: truncated.
double Truncated(CallContext& c, const Value& v) {
    return static_cast<double>(avm1::ToInt32(Number(c, v)));
}

// From SWF 8 the setters round to the nearest integer, halves to even.
double Rounded(CallContext& c, const Value& v) {
    if (c.version < 8) {
        return Truncated(c, v);
    }
    const double n = Number(c, v);
    return std::isfinite(n) ? static_cast<double>(avm1::ToInt32(std::nearbyint(n))) : 0;
}

std::optional<avm1::String> AlignValue(CallContext& c, const Value& v) {
    avm1::String s = avm1::FoldCase(c.vm.ToString(v, c.version));
    if (s == u"left" || s == u"right" || s == u"center" || s == u"justify") {
        return s;
    }
    return std::nullopt;
}

std::optional<std::vector<double>> TabStopsValue(CallContext& c, const Value& v) {
    avm1::Object* array = v.AsObject();
    if (array == nullptr) {
        return std::nullopt;
    }
    const double length = Number(c, c.vm.Get(array, u"length", c.version));
    std::vector<double> stops;
    for (double i = 0; i < length && i < 1024; ++i) {
        const Value e = c.vm.Get(array, avm1::NumberToString(i), c.version);
        stops.push_back(Truncated(c, e));
    }
    return stops;
}

// How each property is read from a script value; null and undefined clear it.
enum class Kind { Text, Size, Color, Flag, Align, Margin, Signed, Spacing, TabStops, Display };

struct Property {
    const char16_t* name;
    Kind kind;
    std::optional<avm1::String> TextFormatValues::*text = nullptr;
    std::optional<double> TextFormatValues::*number = nullptr;
    std::optional<bool> TextFormatValues::*flag = nullptr;
};

using F = TextFormatValues;
const Property kProperties[] = {
    {u"font", Kind::Text, &F::font},
    {u"size", Kind::Size, nullptr, &F::size},
    {u"color", Kind::Color},
    {u"bold", Kind::Flag, nullptr, nullptr, &F::bold},
    {u"italic", Kind::Flag, nullptr, nullptr, &F::italic},
    {u"underline", Kind::Flag, nullptr, nullptr, &F::underline},
    {u"url", Kind::Text, &F::url},
    {u"target", Kind::Text, &F::target},
    {u"align", Kind::Align, &F::align},
    {u"leftMargin", Kind::Margin, nullptr, &F::leftMargin},
    {u"rightMargin", Kind::Margin, nullptr, &F::rightMargin},
    {u"indent", Kind::Signed, nullptr, &F::indent},
    {u"leading", Kind::Signed, nullptr, &F::leading},
    {u"blockIndent", Kind::Signed, nullptr, &F::blockIndent},
    {u"bullet", Kind::Flag, nullptr, nullptr, &F::bullet},
    {u"tabStops", Kind::TabStops},
    {u"letterSpacing", Kind::Spacing, nullptr, &F::letterSpacing},
    {u"kerning", Kind::Flag, nullptr, nullptr, &F::kerning},
    {u"display", Kind::Display, &F::display},
};

Value Get(const TextFormatValues& f, const Property& p, avm1::Vm& vm) {
    switch (p.kind) {
        case Kind::Text:
        case Kind::Align:
        case Kind::Display:
            return f.*p.text ? Value::Str(*(f.*p.text)) : Value::Null();
        case Kind::Color:
            return f.color ? Value::Number(*f.color) : Value::Null();
        case Kind::Flag:
            return f.*p.flag ? Value::Bool(*(f.*p.flag)) : Value::Null();
        case Kind::TabStops: {
            if (!f.tabStops) {
                return Value::Null();
            }
            std::vector<Value> stops;
            for (double s : *f.tabStops) {
                stops.push_back(Value::Number(s));
            }
            return Value::Obj(vm.NewArray(stops));
        }
        default:
            return f.*p.number ? Value::Number(*(f.*p.number)) : Value::Null();
    }
}

// Stores `v` in property `p`: `setter` says a script assigned it (with the setters'
// rounding and limits) rather than passing it to the constructor.
void Put(CallContext& c, TextFormatValues& f, const Property& p, const Value& v, bool setter) {
    if (v.IsNullish()) {
        if (setter && p.kind == Kind::Align) {
            return;  // an alignment is only replaced by another
        }
        switch (p.kind) {
            case Kind::Text:
            case Kind::Align:
            case Kind::Display:
                (f.*p.text).reset();
                break;
            case Kind::Color:
                f.color.reset();
                break;
            case Kind::Flag:
                (f.*p.flag).reset();
                break;
            case Kind::TabStops:
                f.tabStops.reset();
                break;
            default:
                (f.*p.number).reset();
        }
        return;
    }
    // Margins never go below 0, and before SWF 8 neither do indent, leading and blockIndent.
    auto limited = [&](double n, bool always) {
        return setter && (always || c.version < 8) ? std::max(n, 0.0) : n;
    };
    switch (p.kind) {
        case Kind::Text:
            f.*p.text = c.vm.ToString(v, c.version);
            break;
        case Kind::Align:
            if (auto a = AlignValue(c, v)) {
                f.align = a;
            } else if (!setter) {
                f.align.reset();
            }
            break;
        case Kind::Display: {
            const avm1::String d = c.vm.ToString(v, c.version);
            if (d == u"inline" || d == u"none" || d == u"block") {
                f.display = d;
            } else {
                f.display = u"block";
            }
            break;
        }
        case Kind::Color:
            f.color = avm1::ToUint32(Number(c, v));
            break;
        case Kind::Flag:
            f.*p.flag = avm1::ToBoolean(c.vm.ToPrimitive(v, c.version), c.version);
            break;
        case Kind::Size:
            f.size = setter ? Rounded(c, v) : Truncated(c, v);
            break;
        case Kind::Margin:
            f.*p.number = limited(setter ? Rounded(c, v) : Truncated(c, v), true);
            break;
        case Kind::Signed:
            f.*p.number = limited(setter ? Rounded(c, v) : Truncated(c, v), false);
            break;
        case Kind::Spacing:
            f.letterSpacing = Number(c, v);
            break;
        case Kind::TabStops:
            f.tabStops = TabStopsValue(c, v);
            break;
    }
}

template <std::size_t I>
Value GetProperty(CallContext& c) {
    const TextFormatValues* f = ValuesOf(c);
    return f != nullptr ? Get(*f, kProperties[I], c.vm) : Value();
}

template <std::size_t I>
Value SetProperty(CallContext& c) {
    if (TextFormatValues* f = ValuesOf(c)) {
        Put(c, *f, kProperties[I], c.Arg(0), true);
    }
    return Value();
}

Value Construct(CallContext& c) {
    avm1::Object* self = c.This();
    if (self == nullptr) {
        return Value();
    }
    auto* state = c.vm.New<TextFormatState>();
    c.vm.Define(self, kStateMember, Value::Obj(state), avm1::kDontEnum);
    // The arguments in order, as the first thirteen properties.
    for (std::size_t i = 0; i < c.args.size() && i < 13; ++i) {
        Put(c, state->values, kProperties[i], c.args[i], false);
    }
    return Value();
}

Value GetTextExtent(CallContext& c) {
    const TextFormatValues* f = ValuesOf(c);
    if (f == nullptr) {
        return Value();
    }
    const avm1::String text = c.vm.ToString(c.Arg(0), c.version);
    swf::EditText field;
    field.fontHeight =
        static_cast<std::uint16_t>(std::clamp(f->size.value_or(12), 0.0, 3000.0) * 20);
    const bool wrap = c.args.size() > 1 && !c.Arg(1).IsUndefined();
    double wrapWidth = 0;
    if (wrap) {
        wrapWidth = Number(c, c.Arg(1));
        if (!std::isfinite(wrapWidth) || wrapWidth < 0) {
            wrapWidth = 0;
        }
    }
    field.wordWrap = wrap;
    field.multiline = true;
    field.bounds = Rect{0, static_cast<std::int32_t>(wrap ? wrapWidth * 20 : 1e8), 0, 0};
    const render::FieldTextExtent e =
        render::MeasureEditText(field, avm1::ToUtf8(text), false, nullptr);
    const double width = std::round(e.width) / 20;
    const double height = std::round(e.height) / 20;
    const double size = f->size.value_or(12);
    avm1::Object* out = c.vm.NewObject();
    c.vm.Set(out, u"ascent", Value::Number(std::round(size * 0.9)), c.version);
    c.vm.Set(out, u"descent", Value::Number(std::round(size * 0.2)), c.version);
    c.vm.Set(out, u"width", Value::Number(width), c.version);
    c.vm.Set(out, u"height", Value::Number(height), c.version);
    c.vm.Set(out, u"textFieldHeight", Value::Number(height + 4), c.version);
    c.vm.Set(out, u"textFieldWidth", Value::Number(wrap ? wrapWidth : width + 4), c.version);
    return Value::Obj(out);
}

template <std::size_t... I>
constexpr auto MakeTable(std::index_sequence<I...>) {
    return std::array<avm1::NativeMember, sizeof...(I) + 1>{
        Accessor(kProperties[I].name, GetProperty<I>, SetProperty<I>)...,
        Method(u"getTextExtent", GetTextExtent)};
}

}  // namespace

const TextFormatValues* TextFormatOf(const avm1::Value& value) {
    TextFormatState* s = StateOf(value.AsObject());
    return s != nullptr ? &s->values : nullptr;
}

avm1::Value NewTextFormat(avm1::Vm& vm, const TextFormatValues& format, int version) {
    avm1::Object* ctor = vm.Get(vm.Global(), u"TextFormat", version).AsObject();
    avm1::Object* proto =
        ctor != nullptr ? vm.Get(ctor, u"prototype", version).AsObject() : nullptr;
    avm1::Object* object = vm.NewObject();
    if (proto != nullptr) {
        object->SetProto(proto);
        vm.Define(object, u"constructor", Value::Obj(ctor), avm1::kDontEnum);
    }
    auto* state = vm.New<TextFormatState>();
    state->values = format;
    vm.Define(object, kStateMember, Value::Obj(state), avm1::kDontEnum);
    return Value::Obj(object);
}

void InstallTextFormat(avm1::Vm& vm) {
    static const auto kPrototype = MakeTable(std::make_index_sequence<std::size(kProperties)>());
    avm1::Object* global = vm.Global();
    avm1::Object* ctor = vm.NewFunction(Construct, 0);
    avm1::Object* proto = vm.NewObject();
    vm.Define(ctor, u"prototype", Value::Obj(proto), avm1::kDontEnum);
    vm.Define(proto, u"constructor", Value::Obj(ctor), avm1::kDontEnum);
    avm1::DefineMembers(vm, proto, kPrototype);
    vm.Define(global, u"TextFormat", Value::Obj(ctor), avm1::kDontEnum);
}

}  // namespace flash
