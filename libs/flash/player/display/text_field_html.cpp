#include "display/text_field_html.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "flash/avm1/convert.h"
#include "flash/avm1/xml_text.h"

namespace flash {

namespace {

using avm1::String;
using avm1::StringView;

bool IsWhite(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

char16_t Lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

String Lowered(StringView s) {
    String out(s);
    for (char16_t& c : out) {
        c = Lower(c);
    }
    return out;
}

struct Tag {
    String name;  // lower case
    bool closing = false;
    std::vector<std::pair<String, String>> attributes;  // names lower case

    const String* Attribute(StringView key) const {
        for (const auto& [k, v] : attributes) {
            if (k == key) {
                return &v;
            }
        }
        return nullptr;
    }
};

Tag ParseTag(StringView body) {
    Tag tag;
    std::size_t i = 0;
    auto skipWhite = [&] {
        while (i < body.size() && IsWhite(body[i])) {
            ++i;
        }
    };
    skipWhite();
    if (i < body.size() && body[i] == u'/') {
        tag.closing = true;
        ++i;
    }
    std::size_t start = i;
    while (i < body.size() && !IsWhite(body[i]) && body[i] != u'/') {
        ++i;
    }
    tag.name = Lowered(body.substr(start, i - start));
    while (i < body.size()) {
        skipWhite();
        start = i;
        while (i < body.size() && !IsWhite(body[i]) && body[i] != u'=') {
            ++i;
        }
        String key = Lowered(body.substr(start, i - start));
        skipWhite();
        String value;
        if (i < body.size() && body[i] == u'=') {
            ++i;
            skipWhite();
            if (i < body.size() && (body[i] == u'"' || body[i] == u'\'')) {
                const char16_t quote = body[i++];
                start = i;
                while (i < body.size() && body[i] != quote) {
                    ++i;
                }
                value = String(body.substr(start, i - start));
                ++i;
            } else {
                start = i;
                while (i < body.size() && !IsWhite(body[i])) {
                    ++i;
                }
                value = String(body.substr(start, i - start));
            }
        } else if (key.empty()) {
            ++i;  // a stray character
            continue;
        }
        if (!key.empty() && key != u"/") {
            tag.attributes.emplace_back(std::move(key), std::move(value));
        }
    }
    return tag;
}

// "&amp;" and the other entities Flash knows; nothing for an unknown one.
std::optional<char16_t> Entity(StringView name) {
    const String n = Lowered(name);
    if (n == u"lt")
        return u'<';
    if (n == u"gt")
        return u'>';
    if (n == u"amp")
        return u'&';
    if (n == u"quot")
        return u'"';
    if (n == u"apos")
        return u'\'';
    if (n == u"nbsp")
        return char16_t{0xA0};
    if (n.size() > 1 && n.size() <= 8 && n[0] == u'#') {
        const bool hex = n[1] == u'x';
        unsigned long v = 0;
        for (std::size_t i = hex ? 2 : 1; i < n.size(); ++i) {
            const char16_t c = n[i];
            int d = -1;
            if (c >= u'0' && c <= u'9') {
                d = c - u'0';
            } else if (hex && c >= u'a' && c <= u'f') {
                d = c - u'a' + 10;
            }
            if (d < 0) {
                return std::nullopt;
            }
            v = v * (hex ? 16 : 10) + static_cast<unsigned long>(d);
        }
        if (v > 0 && v < 0x10000) {
            return static_cast<char16_t>(v);
        }
    }
    return std::nullopt;
}

std::optional<std::uint32_t> ParseColor(const String& v) {
    StringView s = v;
    if (!s.empty() && s[0] == u'#') {
        s.remove_prefix(1);
        while (!s.empty() && IsWhite(s[0])) {
            s.remove_prefix(1);
        }
    } else if (s.size() > 2 && s[0] == u'0' && Lower(s[1]) == u'x') {
        s.remove_prefix(2);
    } else {
        return std::nullopt;
    }
    std::uint32_t c = 0;
    std::size_t digits = 0;
    for (char16_t ch : s) {
        const char16_t l = Lower(ch);
        int d = -1;
        if (l >= u'0' && l <= u'9') {
            d = l - u'0';
        } else if (l >= u'a' && l <= u'f') {
            d = l - u'a' + 10;
        }
        if (d < 0) {
            break;  // the digits up to here count, their low 24 bits
        }
        ++digits;
        c = c * 16 + static_cast<std::uint32_t>(d);
    }
    if (digits == 0) {
        return std::nullopt;
    }
    return c & 0xFFFFFF;
}

std::optional<double> ParseNumber(const String& v) {
    const double n = avm1::StringToNumber(v, 7);
    if (std::isnan(n)) {
        return std::nullopt;
    }
    return n;
}

class HtmlParser {
  public:
    HtmlParser(const TextFormatValues& base, const HtmlOptions& options)
        : options_(options), last_(base) {
        stack_.push_back({String(), base});
    }

    FormattedText Parse(StringView html) {
        std::size_t i = 0;
        String segment;
        while (i < html.size()) {
            if (html[i] == u'<') {
                const std::size_t end = html.find(u'>', i + 1);
                if (end == StringView::npos) {
                    break;  // an unfinished tag ends the text
                }
                Flush(segment);
                StringView body = html.substr(i + 1, end - i - 1);
                if (!body.empty() && body[0] != u'!' && body[0] != u'?') {
                    OnTag(ParseTag(body));
                }
                i = end + 1;
                continue;
            }
            segment += html[i++];
        }
        Flush(segment);
        return std::move(out_);
    }

  private:
    const TextFormatValues& Current() const { return stack_.back().second; }

    void Add(const String& text) {
        out_.Append(text, Current());
        last_ = Current();
    }

    bool EndsParagraph() const {
        const String& text = out_.Text();
        return text.empty() || text[text.size() - 1] == u'\r';
    }

    // A paragraph's end: in the format last used (the last text or FONT), as Flash gives it.
    void EndParagraph() { out_.Append(u"\r", last_); }

    // A run of text between tags: entities read, line breaks as paragraph ends.
    void Flush(String& segment) {
        bool white = true;
        for (char16_t c : segment) {
            white = white && IsWhite(c);
        }
        if (white) {
            segment.clear();
            return;
        }
        String text;
        for (std::size_t i = 0; i < segment.size(); ++i) {
            char16_t c = segment[i];
            if (c == u'&') {
                const std::size_t end = segment.find(u';', i + 1);
                if (end != String::npos && end - i <= 10) {
                    if (auto e = Entity(StringView(segment).substr(i + 1, end - i - 1))) {
                        text += *e;
                        i = end;
                        continue;
                    }
                }
            }
            if (c == u'\r' && i + 1 < segment.size() && segment[i + 1] == u'\n') {
                continue;
            }
            if (options_.condenseWhite && IsWhite(c)) {
                if (!text.empty() && text.back() == u' ') {
                    continue;
                }
                c = u' ';
            } else if (c == u'\n') {
                c = u'\r';
            }
            text += c;
        }
        segment.clear();
        Add(text);
    }

    void Push(const Tag& tag, TextFormatValues format) {
        if (stack_.size() < kMaxNesting) {
            stack_.push_back({tag.name, std::move(format)});
        }
    }

    void Pop(const String& name) {
        for (std::size_t i = stack_.size(); i-- > 1;) {
            if (stack_[i].first == name) {
                stack_.resize(i);
                return;
            }
        }
    }

    bool Has(const String& name) const {
        for (std::size_t i = 1; i < stack_.size(); ++i) {
            if (stack_[i].first == name) {
                return true;
            }
        }
        return false;
    }

    void OnTag(const Tag& tag) {
        const String& n = tag.name;
        if (n == u"br" || n == u"sbr") {
            if (!tag.closing) {
                Add(u"\r");
            }
            return;
        }
        const bool block = n == u"p" || n == u"li";
        if (tag.closing) {
            if (block && Has(n)) {
                EndParagraph();
            }
            Pop(n);
            return;
        }
        if (block && !EndsParagraph()) {
            EndParagraph();  // a block starts a paragraph of its own
        }
        TextFormatValues f = Current();
        if (n == u"p") {
            if (const String* a = tag.Attribute(u"align")) {
                const String align = Lowered(*a);
                if (align == u"left" || align == u"right" || align == u"center" ||
                    align == u"justify") {
                    f.align = align;
                }
            }
        } else if (n == u"li") {
            f.bullet = true;
        } else if (n == u"b") {
            f.bold = true;
        } else if (n == u"i") {
            f.italic = true;
        } else if (n == u"u") {
            f.underline = true;
        } else if (n == u"a") {
            const String* href = tag.Attribute(u"href");
            const String* target = tag.Attribute(u"target");
            f.url = href != nullptr ? *href : String();
            f.target = target != nullptr ? *target : String();
        } else if (n == u"font") {
            FontAttributes(tag, f);
        } else if (n == u"textformat") {
            TextFormatAttributes(tag, f);
        } else if (n != u"span") {
            return;  // not a tag Flash knows: dropped
        }
        const bool setsFormat = n == u"p" || n == u"li" || n == u"font" || n == u"textformat";
        Push(tag, std::move(f));
        if (setsFormat) {
            last_ = Current();
        }
    }

    static void FontAttributes(const Tag& tag, TextFormatValues& f) {
        if (const String* a = tag.Attribute(u"face")) {
            f.font = *a;
        }
        if (const String* a = tag.Attribute(u"size")) {
            if (auto n = ParseNumber(*a)) {
                const bool relative = !a->empty() && ((*a)[0] == u'+' || (*a)[0] == u'-');
                f.size = std::trunc(relative ? f.size.value_or(12) + *n : *n);
            }
        }
        if (const String* a = tag.Attribute(u"color")) {
            if (auto c = ParseColor(*a)) {
                f.color = *c;
            }
        }
        if (const String* a = tag.Attribute(u"letterspacing")) {
            if (auto n = ParseNumber(*a)) {
                f.letterSpacing = *n;
            }
        }
    }

    static void TextFormatAttributes(const Tag& tag, TextFormatValues& f) {
        const std::pair<const char16_t*, std::optional<double> TextFormatValues::*> numbers[] = {
            {u"leftmargin", &TextFormatValues::leftMargin},
            {u"rightmargin", &TextFormatValues::rightMargin},
            {u"indent", &TextFormatValues::indent},
            {u"leading", &TextFormatValues::leading},
            {u"blockindent", &TextFormatValues::blockIndent},
        };
        for (const auto& [name, member] : numbers) {
            if (const String* a = tag.Attribute(name)) {
                if (auto n = ParseNumber(*a)) {
                    f.*member = std::trunc(*n);
                }
            }
        }
        if (const String* a = tag.Attribute(u"tabstops")) {
            std::vector<double> stops;
            std::size_t start = 0;
            while (start <= a->size() && stops.size() < kMaxTabStops) {
                std::size_t comma = a->find(u',', start);
                if (comma == String::npos) {
                    comma = a->size();
                }
                if (auto n = ParseNumber(a->substr(start, comma - start))) {
                    stops.push_back(std::trunc(*n));
                }
                start = comma + 1;
            }
            f.tabStops = std::move(stops);
        }
    }

    static constexpr std::size_t kMaxNesting = 256;
    static constexpr std::size_t kMaxTabStops = 256;

    HtmlOptions options_;
    std::vector<std::pair<String, TextFormatValues>> stack_;
    FormattedText out_;
    TextFormatValues last_;
};

String Ascii(const char* s) {
    String out;
    while (*s != 0) {
        out += static_cast<char16_t>(*s++);
    }
    return out;
}

String Num(double n) {
    return avm1::NumberToString(n);
}

String Upper(const String& s) {
    String out = s;
    for (char16_t& c : out) {
        if (c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - u'a' + u'A');
        }
    }
    return out;
}

String Attr(const char16_t* name, const String& value) {
    return String(u" ") + name + u"=\"" + value + u"\"";
}

String ColorText(std::uint32_t c) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "#%06X", static_cast<unsigned>(c & 0xFFFFFF));
    return Ascii(buffer);
}

// The FONT attributes of `f`; only those that differ from `base` when given.
String FontAttrs(const TextFormatValues& f, const TextFormatValues* base) {
    String out;
    auto differs = [&](auto member) { return base == nullptr || f.*member != base->*member; };
    if (f.font && differs(&TextFormatValues::font)) {
        out += Attr(u"FACE", avm1::XmlEscape(*f.font));
    }
    if (f.size && differs(&TextFormatValues::size)) {
        out += Attr(u"SIZE", Num(*f.size));
    }
    if (f.color && differs(&TextFormatValues::color)) {
        out += Attr(u"COLOR", ColorText(*f.color));
    }
    if (f.letterSpacing && differs(&TextFormatValues::letterSpacing)) {
        out += Attr(u"LETTERSPACING", Num(*f.letterSpacing));
    }
    if (f.kerning && differs(&TextFormatValues::kerning)) {
        out += Attr(u"KERNING", *f.kerning ? u"1" : u"0");
    }
    return out;
}

String TextFormatAttrs(const TextFormatValues& f) {
    String out;
    const std::pair<const char16_t*, const std::optional<double>*> numbers[] = {
        {u"LEFTMARGIN", &f.leftMargin}, {u"RIGHTMARGIN", &f.rightMargin}, {u"INDENT", &f.indent},
        {u"LEADING", &f.leading},       {u"BLOCKINDENT", &f.blockIndent},
    };
    for (const auto& [name, value] : numbers) {
        if (*value && **value != 0) {
            out += Attr(name, Num(**value));
        }
    }
    if (f.tabStops && !f.tabStops->empty()) {
        String stops;
        for (double s : *f.tabStops) {
            stops += (stops.empty() ? u"" : u",") + Num(s);
        }
        out += Attr(u"TABSTOPS", stops);
    }
    return out;
}

bool SameFont(const TextFormatValues& a, const TextFormatValues& b) {
    return a.font == b.font && a.size == b.size && a.color == b.color &&
           a.letterSpacing == b.letterSpacing && a.kerning == b.kerning;
}

// One paragraph's runs inside nested FONTs: a run whose font matches an open FONT goes back
// to it, any other opens a FONT for what differs from the innermost.
class ParagraphWriter {
  public:
    ParagraphWriter(String& out, const TextFormatValues& base) : out_(out) {
        out_ += u"<FONT" + FontAttrs(base, nullptr) + u">";
        fonts_.push_back(&base);
    }
    ~ParagraphWriter() {
        for (std::size_t i = 0; i < fonts_.size(); ++i) {
            out_ += u"</FONT>";
        }
    }

    void Run(StringView text, const TextFormatValues& f) {
        std::size_t open = fonts_.size();
        while (open > 0 && !SameFont(*fonts_[open - 1], f)) {
            --open;
        }
        if (open > 0) {
            for (; fonts_.size() > open; fonts_.pop_back()) {
                out_ += u"</FONT>";
            }
        } else {
            out_ += u"<FONT" + FontAttrs(f, fonts_.back()) + u">";
            fonts_.push_back(&f);
        }
        String close;
        if (f.url && !f.url->empty()) {
            out_ += u"<A HREF=\"" + avm1::XmlEscape(*f.url) + u"\" TARGET=\"" +
                    avm1::XmlEscape(f.target.value_or(String())) + u"\">";
            close = u"</A>";
        }
        const std::pair<const std::optional<bool>*, const char16_t*> styles[] = {
            {&f.bold, u"B"}, {&f.italic, u"I"}, {&f.underline, u"U"}};
        for (const auto& [flag, name] : styles) {
            if (flag->value_or(false)) {
                out_ += String(u"<") + name + u">";
                close = String(u"</") + name + u">" + close;
            }
        }
        out_ += avm1::XmlEscape(text) + close;
    }

  private:
    String& out_;
    std::vector<const TextFormatValues*> fonts_;
};

}  // namespace

FormattedText ParseFieldHtml(avm1::StringView html, const TextFormatValues& base,
                             const HtmlOptions& options) {
    return HtmlParser(base, options).Parse(html);
}

avm1::String WriteFieldHtml(const FormattedText& text) {
    const String& chars = text.Text();
    // The format of each character, run by run.
    std::vector<const TextFormatValues*> formatAt;
    formatAt.reserve(chars.size());
    for (const FormattedText::Run& run : text.Runs()) {
        formatAt.insert(formatAt.end(), run.length, &run.format);
    }
    String out;
    std::size_t start = 0;
    while (start < chars.size()) {
        std::size_t end = chars.find(u'\r', start);
        if (end == String::npos) {
            end = chars.size();
        }
        const TextFormatValues& para = *formatAt[start];
        const String formatAttrs = TextFormatAttrs(para);
        if (!formatAttrs.empty()) {
            out += u"<TEXTFORMAT" + formatAttrs + u">";
        }
        const bool bullet = para.bullet.value_or(false);
        out += bullet ? String(u"<LI>")
                      : u"<P ALIGN=\"" + Upper(para.align.value_or(u"left")) + u"\">";
        {
            // The paragraph's end is a run of its own, shown empty when its format differs.
            const std::size_t stop = std::min(end + 1, chars.size());
            ParagraphWriter writer(out, para);
            std::size_t i = start;
            while (i < stop) {
                std::size_t j = i + 1;
                while (j < stop && formatAt[j] == formatAt[i]) {
                    ++j;
                }
                const std::size_t shown = std::min(j, end);
                if (shown > i || (i == start && end == start)) {
                    writer.Run(StringView(chars).substr(i, shown - i), *formatAt[i]);
                } else if (!SameFont(*formatAt[i], para) || formatAt[i]->bold.value_or(false) ||
                           formatAt[i]->italic.value_or(false) ||
                           formatAt[i]->underline.value_or(false)) {
                    writer.Run(StringView(), *formatAt[i]);
                }
                i = j;
            }
        }
        out += bullet ? u"</LI>" : u"</P>";
        if (!formatAttrs.empty()) {
            out += u"</TEXTFORMAT>";
        }
        start = end + 1;
    }
    return out;
}

}  // namespace flash
