// TextField.StyleSheet: named styles (plain objects of CSS properties) kept in _css, each
// with the TextFormat transform makes of it kept in _styles; parseCSS reads them from CSS
// text, all or nothing.
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "flash/avm1/convert.h"
#include "flash/avm1/object.h"
#include "script/script_classes.h"
#include "script/text_format.h"

namespace flash {

namespace {

using avm1::CallContext;
using avm1::Method;
using avm1::String;
using avm1::Value;

constexpr std::uint16_t kSealed = avm1::kDontEnum | avm1::kDontDelete | avm1::kReadOnly;

bool IsWhite(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// The enumerable members of an object, in insertion order.
std::vector<std::pair<String, Value>> MembersOf(avm1::Object* o) {
    std::vector<std::pair<String, Value>> out;
    o->Members().ForEach([&](const avm1::Member& m) {
        if (!(m.attrs & avm1::kDontEnum) && !m.IsAccessor()) {
            out.emplace_back(m.name, m.value);
        }
    });
    return out;
}

avm1::Object* Copy(CallContext& c, avm1::Object* from) {
    avm1::Object* to = c.vm.NewObject();
    for (const auto& [name, value] : MembersOf(from)) {
        c.vm.Set(to, name, value, c.version);
    }
    return to;
}

// this._css or this._styles, made on first use.
avm1::Object* Table(CallContext& c, avm1::StringView name, bool make) {
    avm1::Object* self = c.This();
    if (self == nullptr) {
        return nullptr;
    }
    if (const avm1::Member* m = self->Members().Find(name, true)) {
        if (avm1::Object* o = m->value.AsObject()) {
            return o;
        }
    }
    if (!make) {
        return nullptr;
    }
    avm1::Object* table = c.vm.NewObject();
    c.vm.Define(self, name, Value::Obj(table), avm1::kDontEnum);
    return table;
}

void Remove(avm1::Object* table, avm1::StringView name) {
    if (table != nullptr) {
        if (avm1::Member* m = table->Members().Find(name, true)) {
            table->Members().Remove(m);
        }
    }
}

void SetStyleOf(CallContext& c, const String& name, const Value& style) {
    avm1::Object* css = Table(c, u"_css", true);
    avm1::Object* styles = Table(c, u"_styles", true);
    if (css == nullptr || styles == nullptr) {
        return;
    }
    avm1::Object* copy = style.AsObject() != nullptr ? Copy(c, style.AsObject()) : nullptr;
    Value args[] = {copy != nullptr ? Value::Obj(copy) : Value::Null()};
    // A style that is no object still takes its name, with nothing behind it.
    c.vm.Set(css, name, copy != nullptr ? Value::Obj(copy) : Value::Null(), c.version);
    const Value format = c.vm.CallMethod(c.This(), u"transform", args, c.version);
    if (copy != nullptr) {
        c.vm.Set(styles, name, format, c.version);
    } else {
        Remove(styles, name);
    }
}

Value SetStyle(CallContext& c) {
    if (c.This() != nullptr) {
        SetStyleOf(c, c.vm.ToString(c.Arg(0), c.version), c.Arg(1));
    }
    return Value();
}

Value GetStyle(CallContext& c) {
    avm1::Object* css = Table(c, u"_css", false);
    if (css == nullptr) {
        return Value::Null();
    }
    const avm1::Member* m = css->Members().Find(c.vm.ToString(c.Arg(0), c.version), true);
    avm1::Object* style = m != nullptr ? m->value.AsObject() : nullptr;
    return style != nullptr ? Value::Obj(Copy(c, style)) : Value::Null();
}

Value GetStyleNames(CallContext& c) {
    std::vector<Value> names;
    if (avm1::Object* css = Table(c, u"_css", false)) {
        for (const auto& member : MembersOf(css)) {
            names.push_back(Value::Str(member.first));
        }
    }
    return Value::Obj(c.vm.NewArray(names));
}

Value Clear(CallContext& c) {
    if (avm1::Object* self = c.This()) {
        c.vm.Set(self, u"_css", Value::Obj(c.vm.NewObject()), c.version);
        c.vm.Set(self, u"_styles", Value::Obj(c.vm.NewObject()), c.version);
    }
    return Value();
}

// CSS as Flash reads it: "sel1, sel2 { name: value; ... }" repeated; values run to ";" or
// "}", names to ":" (with dashes turned to camel case); a selector or name with white space
// inside, or a block cut off, fails the whole text.
class CssParser {
  public:
    struct Rule {
        std::vector<String> selectors;
        std::vector<std::pair<String, String>> properties;
    };

    explicit CssParser(avm1::StringView text) : text_(text) {}

    std::optional<std::vector<Rule>> Parse() {
        std::vector<Rule> rules;
        while (true) {
            SkipWhite();
            if (AtEnd()) {
                return rules;
            }
            Rule rule;
            if (!Selectors(rule) || !Block(rule) || rules.size() >= kMaxRules) {
                return std::nullopt;
            }
            rules.push_back(std::move(rule));
        }
    }

  private:
    static constexpr std::size_t kMaxRules = 100000;

    bool AtEnd() const { return at_ >= text_.size(); }
    void SkipWhite() {
        while (!AtEnd() && IsWhite(text_[at_])) {
            ++at_;
        }
    }

    static String Trimmed(avm1::StringView s) {
        std::size_t b = 0, e = s.size();
        while (b < e && IsWhite(s[b])) {
            ++b;
        }
        while (e > b && IsWhite(s[e - 1])) {
            --e;
        }
        return String(s.substr(b, e - b));
    }

    static bool HasWhite(avm1::StringView s) {
        for (char16_t c : s) {
            if (IsWhite(c)) {
                return true;
            }
        }
        return false;
    }

    bool Selectors(Rule& rule) {
        const std::size_t open = text_.find(u'{', at_);
        if (open == avm1::StringView::npos) {
            return false;
        }
        avm1::StringView list = text_.substr(at_, open - at_);
        at_ = open + 1;
        std::size_t start = 0;
        while (start <= list.size()) {
            std::size_t comma = list.find(u',', start);
            if (comma == avm1::StringView::npos) {
                comma = list.size();
            }
            String selector = Trimmed(list.substr(start, comma - start));
            if (selector.empty() || HasWhite(selector)) {
                return false;
            }
            rule.selectors.push_back(std::move(selector));
            start = comma + 1;
        }
        return true;
    }

    static String CamelCase(avm1::StringView name) {
        String out;
        for (std::size_t i = 0; i < name.size(); ++i) {
            if (name[i] == u'-' && i + 1 < name.size()) {
                char16_t next = name[++i];
                if (next >= u'a' && next <= u'z') {
                    next = static_cast<char16_t>(next - u'a' + u'A');
                }
                out += next;
            } else {
                out += name[i];
            }
        }
        return out;
    }

    bool Block(Rule& rule) {
        while (true) {
            SkipWhite();
            if (AtEnd()) {
                return true;  // the text may end where a property would start
            }
            if (text_[at_] == u'}') {
                ++at_;
                return true;
            }
            const std::size_t colon = text_.find(u':', at_);
            if (colon == avm1::StringView::npos) {
                return false;
            }
            avm1::StringView name = text_.substr(at_, colon - at_);
            if (HasWhite(Trimmed(name))) {
                return false;
            }
            at_ = colon + 1;
            SkipWhite();
            const std::size_t end = text_.find_first_of(u";}", at_);
            if (end == avm1::StringView::npos) {
                return false;
            }
            String value(text_.substr(at_, end - at_));
            at_ = end + 1;
            if (!name.empty()) {
                rule.properties.emplace_back(CamelCase(name), std::move(value));
            }
            if (text_[end] == u'}') {
                return true;
            }
        }
    }

    avm1::StringView text_;
    std::size_t at_ = 0;
};

Value ParseCss(CallContext& c) {
    if (c.This() == nullptr) {
        return Value::Bool(false);
    }
    const String text = c.vm.ToString(c.Arg(0), c.version);
    std::optional<std::vector<CssParser::Rule>> rules = CssParser(text).Parse();
    if (!rules) {
        return Value::Bool(false);
    }
    for (const CssParser::Rule& rule : *rules) {
        avm1::Object* style = c.vm.NewObject();
        for (const auto& [name, value] : rule.properties) {
            c.vm.Set(style, name, Value::Str(value), c.version);
        }
        for (const String& selector : rule.selectors) {
            SetStyleOf(c, selector, Value::Obj(style));
        }
    }
    return Value::Bool(true);
}

// parseInt of a style value: white space, a sign, decimal digits; NaN without digits.
double ParseInt(CallContext& c, const Value& v) {
    const String s = c.vm.ToString(v, c.version);
    std::size_t i = 0;
    while (i < s.size() && IsWhite(s[i])) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) {
        negative = s[i++] == u'-';
    }
    double n = 0;
    std::size_t digits = 0;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i, ++digits) {
        n = n * 10 + (s[i] - u'0');
    }
    if (digits == 0) {
        return NAN;
    }
    return negative ? -n : n;
}

// A style member that counts: present and true as a condition.
std::optional<Value> Given(CallContext& c, avm1::Object* style, avm1::StringView name) {
    Value v = c.vm.Get(style, name, c.version);
    if (!avm1::ToBoolean(v, c.version)) {
        return std::nullopt;
    }
    return v;
}

std::optional<String> GivenString(CallContext& c, avm1::Object* style, avm1::StringView name) {
    Value v = c.vm.Get(style, name, c.version);
    return v.IsString() ? std::optional<String>(v.AsString()) : std::nullopt;
}

void TransformFont(CallContext& c, avm1::Object* style, TextFormatValues& f) {
    if (auto v = Given(c, style, u"fontFamily")) {
        // A list of names, each without its leading white space, empty ones dropped.
        const String list = c.vm.ToString(*v, c.version);
        String font;
        std::size_t start = 0;
        while (start <= list.size()) {
            std::size_t comma = list.find(u',', start);
            if (comma == String::npos) {
                comma = list.size();
            }
            std::size_t b = start;
            while (b < comma && IsWhite(list[b])) {
                ++b;
            }
            if (b < comma) {
                font += (font.empty() ? u"" : u",") + list.substr(b, comma - b);
            }
            start = comma + 1;
        }
        f.font = font;
    }
    if (auto v = Given(c, style, u"fontSize")) {
        const double n = ParseInt(c, *v);
        if (n > 0) {
            f.size = n;
        }
    }
    if (auto s = GivenString(c, style, u"fontStyle")) {
        if (*s == u"normal" || *s == u"italic") {
            f.italic = *s == u"italic";
        }
    }
    if (auto s = GivenString(c, style, u"fontWeight")) {
        if (*s == u"normal" || *s == u"bold") {
            f.bold = *s == u"bold";
        }
    }
    if (auto s = GivenString(c, style, u"textDecoration")) {
        if (*s == u"none" || *s == u"underline") {
            f.underline = *s == u"underline";
        }
    }
}

void TransformParagraph(CallContext& c, avm1::Object* style, TextFormatValues& f) {
    auto integer = [&](const Value& v) {
        const double n = ParseInt(c, v);
        return std::isnan(n) ? 0.0 : n;
    };
    if (auto v = Given(c, style, u"leading")) {
        f.leading = integer(*v);
    }
    if (auto v = Given(c, style, u"letterSpacing")) {
        f.letterSpacing = ParseInt(c, *v);
    }
    if (auto v = Given(c, style, u"marginLeft")) {
        f.leftMargin = std::max(0.0, integer(*v));
    }
    if (auto v = Given(c, style, u"marginRight")) {
        f.rightMargin = std::max(0.0, integer(*v));
    }
    if (auto s = GivenString(c, style, u"textAlign")) {
        const String a = avm1::FoldCase(*s);
        if (a == u"left" || a == u"center" || a == u"right" || a == u"justify") {
            f.align = a;
        }
    }
    if (auto s = GivenString(c, style, u"color")) {
        if (s->size() == 7 && (*s)[0] == u'#') {
            std::uint32_t color = 0;
            bool ok = true;
            for (std::size_t i = 1; i < 7; ++i) {
                const char16_t ch = (*s)[i];
                const int d = ch >= u'0' && ch <= u'9'   ? ch - u'0'
                              : ch >= u'a' && ch <= u'f' ? ch - u'a' + 10
                              : ch >= u'A' && ch <= u'F' ? ch - u'A' + 10
                                                         : -1;
                ok = ok && d >= 0;
                color = color * 16 + static_cast<std::uint32_t>(std::max(d, 0));
            }
            if (ok) {
                f.color = color;
            }
        }
    }
}

// transform(style): the TextFormat a style object stands for; null for no object.
Value Transform(CallContext& c) {
    const Value& arg = c.Arg(0);
    if (arg.IsNullish()) {
        return Value::Null();
    }
    avm1::Object* style = arg.AsObject();
    TextFormatValues f;
    f.kerning = false;
    f.display = u"block";
    if (style != nullptr) {
        TransformFont(c, style, f);
        TransformParagraph(c, style, f);
        if (auto v = Given(c, style, u"kerning")) {
            f.kerning = (v->IsString() && v->AsString() == u"true") || [&] {
                const double n = ParseInt(c, *v);
                return !std::isnan(n) && n != 0;
            }();
        }
        if (auto s = GivenString(c, style, u"display")) {
            if (*s == u"inline" || *s == u"none") {
                f.display = *s;
            }
        }
    }
    return NewTextFormat(c.vm, f, c.version);
}

Value Load(CallContext&) {
    return Value::Bool(false);
}

Value Construct(CallContext&) {
    return Value();
}

constexpr avm1::NativeMember kPrototype[] = {
    Method(u"setStyle", SetStyle, kSealed),           Method(u"getStyle", GetStyle, kSealed),
    Method(u"getStyleNames", GetStyleNames, kSealed), Method(u"clear", Clear, kSealed),
    Method(u"parseCSS", ParseCss, kSealed),           Method(u"parse", ParseCss, kSealed),
    Method(u"transform", Transform, kSealed),         Method(u"load", Load, kSealed),
};

}  // namespace

void InstallStyleSheet(avm1::Vm& vm) {
    avm1::Object* textField = vm.Get(vm.Global(), u"TextField", 8).AsObject();
    if (textField == nullptr) {
        return;
    }
    avm1::Object* ctor = vm.NewFunction(Construct, 0);
    avm1::Object* proto = vm.NewObject();
    vm.Define(ctor, u"prototype", Value::Obj(proto), avm1::kDontEnum);
    vm.Define(proto, u"constructor", Value::Obj(ctor), avm1::kDontEnum);
    avm1::DefineMembers(vm, proto, kPrototype);
    vm.Define(textField, u"StyleSheet", Value::Obj(ctor), avm1::kDontEnum);
}

}  // namespace flash
