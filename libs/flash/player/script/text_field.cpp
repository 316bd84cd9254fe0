// TextField: the properties of text fields as getters and setters on the prototype, the
// formatting methods (getTextFormat, setTextFormat, getNewTextFormat, setNewTextFormat),
// replaceSel, replaceText, removeTextField and getDepth. On anything but a text field the
// getters give undefined and the setters do nothing.
#include <algorithm>
#include <cmath>

#include "display/movie_clip.h"
#include "display/text_field.h"
#include "flash/avm1/convert.h"
#include "flash/avm1/object.h"
#include "runtime/runtime.h"
#include "script/script_classes.h"
#include "script/text_format.h"

namespace flash {

namespace {

using avm1::Accessor;
using avm1::CallContext;
using avm1::Method;
using avm1::Value;

constexpr int kDepthOffset = 16384;

TextFieldObject* FieldOf(CallContext& c) {
    avm1::Object* o = c.This();
    return o != nullptr ? dynamic_cast<TextFieldObject*>(o->AsClip()) : nullptr;
}

bool Flag(CallContext& c) {
    return avm1::ToBoolean(c.vm.ToPrimitive(c.Arg(0), c.version), c.version);
}

double Number(CallContext& c, const Value& v) {
    return c.vm.ToNumber(v, c.version);
}

std::uint32_t ColorNumber(Rgba c) {
    return (std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b;
}

Rgba NumberColor(double n) {
    const auto v = static_cast<std::uint32_t>(avm1::ToInt32(n));
    return Rgba{static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                static_cast<std::uint8_t>(v), 255};
}

// A getter and a setter for one member of the field's settings.
template <bool TextFieldSettings::*M>
Value GetSetting(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Bool(f->Settings().*M) : Value();
}

template <bool TextFieldSettings::*M>
Value SetSetting(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        const bool v = Flag(c);
        f->ChangeSettings([&](TextFieldSettings& s) { s.*M = v; });
    }
    return Value();
}

// The properties Flash 8 added: a movie of an older version that sets one on something
// other than a field gets a plain member.
Value SetOwnIfOld(CallContext& c, avm1::StringView name) {
    if (c.version < 8 && FieldOf(c) == nullptr && c.This() != nullptr) {
        c.vm.Define(c.This(), name, c.Arg(0));
    }
    return Value();
}

template <avm1::String TextFieldSettings::*M>
Value GetName(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Str(f->Settings().*M) : Value();
}

// Objects a field keeps (its style sheet, its filters) hang on its script object, where the
// collector sees them.
constexpr char16_t kStyleSheetMember[] = u"__styleSheet";
constexpr char16_t kFiltersMember[] = u"__filters";

avm1::Object* Kept(CallContext& c, avm1::StringView name) {
    const avm1::Member* m = c.This()->Members().Find(name, true);
    return m != nullptr ? m->value.AsObject() : nullptr;
}

void Keep(CallContext& c, avm1::StringView name, avm1::Object* object) {
    avm1::Member* m = c.This()->Members().Find(name, true);
    const Value v = object != nullptr ? Value::Obj(object) : Value();
    if (m != nullptr) {
        m->value = v;
    } else {
        c.vm.Define(c.This(), name, v, avm1::kDontEnum);
    }
}

Value GetStyleSheet(CallContext& c) {
    if (FieldOf(c) == nullptr) {
        return Value();
    }
    avm1::Object* sheet = Kept(c, kStyleSheetMember);
    return sheet != nullptr ? Value::Obj(sheet) : Value();
}

Value SetStyleSheet(CallContext& c) {
    if (FieldOf(c) != nullptr) {
        Keep(c, kStyleSheetMember, c.Arg(0).AsObject());
    }
    return Value();
}

Value GetRestrict(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    if (f == nullptr) {
        return Value();
    }
    const auto& r = f->Settings().restrict;
    return r ? Value::Str(*r) : Value::Null();
}

Value SetRestrict(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        std::optional<avm1::String> r;
        if (!c.Arg(0).IsNullish()) {
            r = c.vm.ToString(c.Arg(0), c.version);
            if (r->empty()) {
                r.reset();
            }
        }
        f->ChangeSettings([&](TextFieldSettings& s) { s.restrict = r; });
    }
    return Value();
}

Value GetTextHeight(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Number(f->TextHeight()) : Value();
}

Value GetTextWidth(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Number(f->TextWidth()) : Value();
}

Value GetBottomScroll(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Number(f->BottomScroll()) : Value();
}

Value GetLength(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Number(static_cast<double>(f->Text().size())) : Value();
}

Value GetHtml(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Bool(f->Settings().html) : Value();
}

Value SetHtml(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        const bool v = Flag(c);
        f->ChangeSettings([&](TextFieldSettings& s) { s.html = v; });
    }
    return Value();
}

Value GetBorder(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Bool(f->Look().border) : Value();
}

Value SetBorder(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        f->MutableLook().border = Flag(c);
    }
    return Value();
}

Value GetBackground(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Bool(f->Look().background) : Value();
}

Value SetBackground(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        f->MutableLook().background = Flag(c);
    }
    return Value();
}

Value GetMaxChars(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    if (f == nullptr) {
        return Value();
    }
    const int n = f->Settings().maxChars;
    return n > 0 ? Value::Number(n) : Value::Null();
}

Value SetMaxChars(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        const int n = c.Arg(0).IsNullish() ? 0 : avm1::ToInt32(Number(c, c.Arg(0)));
        f->ChangeSettings([&](TextFieldSettings& s) { s.maxChars = std::max(n, 0); });
    }
    return Value();
}

Value GetMaxHScroll(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Number(f->MaxHScroll()) : Value();
}

Value GetHScroll(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Number(std::min(f->Settings().hscroll, f->MaxHScroll())) : Value();
}

Value SetHScroll(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        const double n = Number(c, c.Arg(0));
        if (!std::isnan(n)) {
            const int v = std::clamp(avm1::ToInt32(n), 0, f->MaxHScroll());
            f->ChangeSettings([&](TextFieldSettings& s) { s.hscroll = v; });
        }
    }
    return Value();
}

Value GetVariable(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    if (f == nullptr) {
        return Value();
    }
    return f->Variable().empty() ? Value::Null() : Value::Str(f->Variable());
}

Value SetVariable(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        const Value& v = c.Arg(0);
        f->SetVariable(v.IsNullish() ? avm1::String() : c.vm.ToString(v, c.version));
    }
    return Value();
}

Value GetHtmlText(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    if (f == nullptr) {
        return Value();
    }
    return Value::Str(f->HtmlText());
}

Value SetHtmlText(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        f->SetText(c.vm.ToString(c.Arg(0), c.version), true);
    }
    return Value();
}

Value GetType(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Str(f->Settings().editable ? u"input" : u"dynamic") : Value();
}

Value SetType(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        const avm1::String t = avm1::FoldCase(c.vm.ToString(c.Arg(0), c.version));
        if (t == u"input" || t == u"dynamic") {
            f->ChangeSettings([&](TextFieldSettings& s) { s.editable = t == u"input"; });
        }
    }
    return Value();
}

Value GetText(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Str(f->Text()) : Value();
}

Value SetText(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        f->SetText(c.vm.ToString(c.Arg(0), c.version), false);
    }
    return Value();
}

Value GetAutoSize(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    if (f == nullptr) {
        return Value();
    }
    switch (f->Settings().autoSize) {
        case AutoSize::Left:
            return Value::Str(u"left");
        case AutoSize::Center:
            return Value::Str(u"center");
        case AutoSize::Right:
            return Value::Str(u"right");
        default:
            return Value::Str(u"none");
    }
}

Value SetAutoSize(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    if (f == nullptr) {
        return Value();
    }
    const Value& v = c.Arg(0);
    AutoSize mode = AutoSize::None;
    if (v.IsBool()) {
        mode = v.AsBool() ? AutoSize::Left : AutoSize::None;
    } else {
        const avm1::String s = c.vm.ToString(v, c.version);
        if (s == u"left") {
            mode = AutoSize::Left;
        } else if (s == u"center") {
            mode = AutoSize::Center;
        } else if (s == u"right") {
            mode = AutoSize::Right;
        }
    }
    f->ChangeSettings([&](TextFieldSettings& s) { s.autoSize = mode; });
    return Value();
}

Value GetTabIndex(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    if (f == nullptr || !f->Settings().tabIndex) {
        return Value();
    }
    // Fields read their tabIndex back unsigned.
    const auto index = static_cast<std::int32_t>(*f->Settings().tabIndex);
    return Value::Number(static_cast<double>(static_cast<std::uint32_t>(index)));
}

Value SetTabIndex(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        std::optional<double> index;
        if (!c.Arg(0).IsNullish()) {
            index = static_cast<double>(avm1::ToInt32(Number(c, c.Arg(0))));
        }
        f->ChangeSettings([&](TextFieldSettings& s) { s.tabIndex = index; });
    }
    return Value();
}

Value GetTextColor(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Number(f->NewTextFormat().color.value_or(0)) : Value();
}

Value SetTextColor(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        const double n = Number(c, c.Arg(0));
        if (!std::isnan(n)) {
            TextFormatValues format;
            format.color = ColorNumber(NumberColor(n));
            f->ApplyFormat(0, f->Content().size(), format);
            f->SetNewTextFormat(format);
        }
    }
    return Value();
}

template <Rgba render::EditTextLook::*M>
Value GetLookColor(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Number(ColorNumber(f->Look().*M)) : Value();
}

template <Rgba render::EditTextLook::*M>
Value SetLookColor(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        const double n = Number(c, c.Arg(0));
        if (!std::isnan(n)) {
            f->MutableLook().*M = NumberColor(n);
        }
    }
    return Value();
}

Value GetMaxScroll(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Number(f->MaxScroll()) : Value();
}

Value GetScroll(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Number(f->Scroll()) : Value();
}

Value SetScroll(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        const double n = Number(c, c.Arg(0));
        if (!std::isnan(n)) {
            const int v = std::clamp(avm1::ToInt32(n), 1, f->MaxScroll());
            f->ChangeSettings([&](TextFieldSettings& s) { s.scroll = v; });
        }
    }
    return Value();
}

Value GetFilters(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    if (f == nullptr) {
        return Value();
    }
    // A copy: changing it changes nothing until it is assigned again.
    std::vector<Value> items;
    if (avm1::Object* list = Kept(c, kFiltersMember)) {
        const double n = Number(c, c.vm.Get(list, u"length", c.version));
        for (double i = 0; i < n && i < 1024; ++i) {
            items.push_back(c.vm.Get(list, avm1::NumberToString(i), c.version));
        }
    }
    return Value::Obj(c.vm.NewArray(items));
}

Value SetFilters(CallContext& c) {
    if (FieldOf(c) != nullptr) {
        Keep(c, kFiltersMember, c.Arg(0).AsObject());
        return Value();
    }
    return SetOwnIfOld(c, u"filters");
}

Value GetSharpness(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Number(f->Settings().sharpness) : Value();
}

Value SetSharpness(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        const double n = Number(c, c.Arg(0));
        f->ChangeSettings([&](TextFieldSettings& s) { s.sharpness = n; });
        return Value();
    }
    return SetOwnIfOld(c, u"sharpness");
}

Value GetThickness(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Number(f->Settings().thickness) : Value();
}

Value SetThickness(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        const double n = Number(c, c.Arg(0));
        f->ChangeSettings([&](TextFieldSettings& s) { s.thickness = n; });
        return Value();
    }
    return SetOwnIfOld(c, u"thickness");
}

Value SetAntiAliasType(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        const avm1::String t = c.vm.ToString(c.Arg(0), c.version);
        if (t == u"normal" || t == u"advanced") {
            f->ChangeSettings([&](TextFieldSettings& s) { s.antiAliasType = t; });
        }
        return Value();
    }
    return SetOwnIfOld(c, u"antiAliasType");
}

Value SetGridFitType(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        const avm1::String t = c.vm.ToString(c.Arg(0), c.version);
        if (t == u"none" || t == u"pixel" || t == u"subpixel") {
            f->ChangeSettings([&](TextFieldSettings& s) { s.gridFitType = t; });
        }
        return Value();
    }
    return SetOwnIfOld(c, u"gridFitType");
}

// A range argument pair: [begin, end) from (index) or (begin, end), within the text.
std::pair<std::size_t, std::size_t> Range(CallContext& c, TextFieldObject& f, std::size_t first) {
    const auto length = static_cast<double>(f.Content().size());
    auto at = [&](std::size_t i, double fallback) {
        if (c.args.size() <= first + i || c.Arg(first + i).IsUndefined()) {
            return fallback;
        }
        const double n = avm1::ToIntegerNumber(Number(c, c.Arg(first + i)));
        return n < 0 ? fallback : std::min(n, length);
    };
    const bool one = c.args.size() == first + 1;
    const double begin = at(0, 0);
    const double end = one ? std::min(begin + 1, length) : at(1, length);
    return {static_cast<std::size_t>(begin), static_cast<std::size_t>(std::max(begin, end))};
}

Value GetTextFormat(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    if (f == nullptr) {
        return Value();
    }
    const auto [begin, end] = Range(c, *f, 0);
    std::optional<TextFormatValues> format = f->Content().FormatOf(begin, end);
    return NewTextFormat(c.vm, format ? *format : f->NewTextFormat(), c.version);
}

Value SetTextFormat(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    if (f == nullptr || c.args.empty()) {
        return Value();
    }
    // The format comes last: (format), (index, format) or (begin, end, format).
    const std::size_t formatAt = std::min<std::size_t>(c.args.size() - 1, 2);
    const TextFormatValues* format = TextFormatOf(c.Arg(formatAt));
    if (format == nullptr) {
        return Value();
    }
    const auto length = static_cast<double>(f->Content().size());
    std::size_t begin = 0;
    std::size_t end = f->Content().size();
    if (formatAt >= 1) {
        const double b = avm1::ToIntegerNumber(Number(c, c.Arg(0)));
        if (b < 0 || b >= length) {
            return Value();
        }
        begin = static_cast<std::size_t>(b);
        end = begin + 1;
        if (formatAt == 2) {
            const double e = avm1::ToIntegerNumber(Number(c, c.Arg(1)));
            end = static_cast<std::size_t>(std::clamp(e, b, length));
        }
    }
    f->ApplyFormat(begin, end, *format);
    return Value();
}

Value GetNewTextFormat(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? NewTextFormat(c.vm, f->NewTextFormat(), c.version) : Value();
}

Value SetNewTextFormat(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    if (f != nullptr) {
        if (const TextFormatValues* format = TextFormatOf(c.Arg(0))) {
            f->SetNewTextFormat(*format);
        }
    }
    return Value();
}

Value ReplaceSel(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    if (f != nullptr && !c.args.empty()) {
        f->ReplaceSelection(c.vm.ToString(c.Arg(0), c.version));
    }
    return Value();
}

Value ReplaceText(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    if (f == nullptr || c.args.size() < 3) {
        return Value();
    }
    const double length = static_cast<double>(f->Content().size());
    const double b = avm1::ToIntegerNumber(Number(c, c.Arg(0)));
    const double e = avm1::ToIntegerNumber(Number(c, c.Arg(1)));
    if (b < 0 || e < b || b > length) {
        return Value();
    }
    const auto begin = static_cast<std::size_t>(b);
    const auto end = static_cast<std::size_t>(std::min(e, length));
    // The new text takes the format of the first character it replaces.
    std::optional<TextFormatValues> format = f->Content().FormatOf(begin, begin);
    f->ReplaceText(begin, end, c.vm.ToString(c.Arg(2), c.version),
                   format ? *format : f->NewTextFormat());
    return Value();
}

Value RemoveTextField(CallContext& c) {
    if (TextFieldObject* f = FieldOf(c)) {
        c.vm.host().RemoveSprite(*f);
    }
    return Value();
}

Value GetDepth(CallContext& c) {
    TextFieldObject* f = FieldOf(c);
    return f != nullptr ? Value::Number(f->Depth() - kDepthOffset) : Value();
}

constexpr std::uint16_t kEnumerable = avm1::kDontDelete;

// In the reverse of the order for..in lists them.
constexpr avm1::NativeMember kPrototype[] = {
    Method(u"replaceSel", ReplaceSel),
    Method(u"getTextFormat", GetTextFormat),
    Method(u"setTextFormat", SetTextFormat),
    Method(u"removeTextField", RemoveTextField),
    Method(u"getNewTextFormat", GetNewTextFormat),
    Method(u"setNewTextFormat", SetNewTextFormat),
    Method(u"getDepth", GetDepth),
    Method(u"replaceText", ReplaceText),
    Accessor(u"gridFitType", GetName<&TextFieldSettings::gridFitType>, SetGridFitType, kEnumerable),
    Accessor(u"antiAliasType", GetName<&TextFieldSettings::antiAliasType>, SetAntiAliasType,
             kEnumerable),
    Accessor(u"thickness", GetThickness, SetThickness, kEnumerable),
    Accessor(u"sharpness", GetSharpness, SetSharpness, kEnumerable),
    Accessor(u"filters", GetFilters, SetFilters, kEnumerable),
    Accessor(u"scroll", GetScroll, SetScroll, kEnumerable),
    Accessor(u"maxscroll", GetMaxScroll, nullptr, kEnumerable),
    Accessor(u"borderColor", GetLookColor<&render::EditTextLook::borderColor>,
             SetLookColor<&render::EditTextLook::borderColor>, kEnumerable),
    Accessor(u"backgroundColor", GetLookColor<&render::EditTextLook::backgroundColor>,
             SetLookColor<&render::EditTextLook::backgroundColor>, kEnumerable),
    Accessor(u"textColor", GetTextColor, SetTextColor, kEnumerable),
    Accessor(u"tabIndex", GetTabIndex, SetTabIndex, kEnumerable),
    Accessor(u"autoSize", GetAutoSize, SetAutoSize, kEnumerable),
    Accessor(u"text", GetText, SetText, kEnumerable),
    Accessor(u"type", GetType, SetType, kEnumerable),
    Accessor(u"htmlText", GetHtmlText, SetHtmlText, kEnumerable),
    Accessor(u"variable", GetVariable, SetVariable, kEnumerable),
    Accessor(u"hscroll", GetHScroll, SetHScroll, kEnumerable),
    Accessor(u"maxhscroll", GetMaxHScroll, nullptr, kEnumerable),
    Accessor(u"maxChars", GetMaxChars, SetMaxChars, kEnumerable),
    Accessor(u"embedFonts", GetSetting<&TextFieldSettings::embedFonts>,
             SetSetting<&TextFieldSettings::embedFonts>, kEnumerable),
    Accessor(u"html", GetHtml, SetHtml, kEnumerable),
    Accessor(u"border", GetBorder, SetBorder, kEnumerable),
    Accessor(u"background", GetBackground, SetBackground, kEnumerable),
    Accessor(u"wordWrap", GetSetting<&TextFieldSettings::wordWrap>,
             SetSetting<&TextFieldSettings::wordWrap>, kEnumerable),
    Accessor(u"password", GetSetting<&TextFieldSettings::password>,
             SetSetting<&TextFieldSettings::password>, kEnumerable),
    Accessor(u"multiline", GetSetting<&TextFieldSettings::multiline>,
             SetSetting<&TextFieldSettings::multiline>, kEnumerable),
    Accessor(u"selectable", GetSetting<&TextFieldSettings::selectable>,
             SetSetting<&TextFieldSettings::selectable>, kEnumerable),
    Accessor(u"length", GetLength, nullptr, kEnumerable),
    Accessor(u"bottomScroll", GetBottomScroll, nullptr, kEnumerable),
    Accessor(u"textWidth", GetTextWidth, nullptr, kEnumerable),
    Accessor(u"textHeight", GetTextHeight, nullptr, kEnumerable),
    Accessor(u"restrict", GetRestrict, SetRestrict, kEnumerable),
    Accessor(u"condenseWhite", GetSetting<&TextFieldSettings::condenseWhite>,
             SetSetting<&TextFieldSettings::condenseWhite>, kEnumerable),
    Accessor(u"mouseWheelEnabled", GetSetting<&TextFieldSettings::mouseWheelEnabled>,
             SetSetting<&TextFieldSettings::mouseWheelEnabled>, kEnumerable),
    Accessor(u"styleSheet", GetStyleSheet, SetStyleSheet, kEnumerable),
};

// createTextField(name, depth, x, y, width, height) on a clip: a new empty field of
// Times New Roman 12 at (x, y), the numbers cut to integers.
Value CreateTextField(CallContext& c) {
    avm1::Object* self = c.This();
    auto* parent = self != nullptr ? dynamic_cast<MovieClip*>(self->AsClip()) : nullptr;
    if (parent == nullptr || c.args.size() < 6) {
        return Value();
    }
    Runtime& runtime = parent->GetRuntime();
    const double depth = Number(c, c.Arg(1));
    if (!std::isfinite(depth) || depth < -kDepthOffset || depth > 2130690045 ||
        runtime.LiveObjects() >= runtime.Limits().maxDisplayObjects) {
        return Value();
    }
    auto at = [&](std::size_t i) {
        return static_cast<std::int32_t>(
            std::clamp<std::int64_t>(avm1::ToInt32(Number(c, c.Arg(i))), -107374182, 107374182));
    };
    const std::int32_t x = at(2), y = at(3), w = at(4), h = at(5);
    auto definition = std::make_shared<swf::EditText>();
    definition->bounds =
        Rect{std::min(0, w) * 20, std::max(0, w) * 20, std::min(0, h) * 20, std::max(0, h) * 20};
    definition->readOnly = true;
    definition->fontHeight = 240;
    auto field =
        std::make_unique<TextFieldObject>(runtime, parent->SharedMovie(), 0, std::move(definition));
    field->SetInstanceName(c.vm.ToString(c.Arg(0), c.version));
    field->PlaceAtMatrix();
    Matrix m;
    m.tx = x * 20.0;
    m.ty = y * 20.0;
    field->SetMatrix(m);
    DisplayObject* placed =
        parent->Insert(std::move(field), static_cast<int>(std::trunc(depth)) + kDepthOffset);
    avm1::Clip* clip = placed->ScriptClip();
    return clip != nullptr ? Value::Obj(c.vm.ObjectOf(*clip)) : Value();
}

constexpr avm1::NativeMember kMovieClipMembers[] = {
    Method(u"createTextField", CreateTextField),
};

}  // namespace

void InstallTextField(avm1::Vm& vm) {
    avm1::DefineMembers(vm, vm.TextFieldPrototype(), kPrototype);
    avm1::DefineMembers(vm, vm.MovieClipPrototype(), kMovieClipMembers);
}

}  // namespace flash
