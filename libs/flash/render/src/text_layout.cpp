#include "text_layout.h"

#include "flash/render/field_text.h"
#include "flash/utf8.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace flash::render {
namespace {

char32_t Lower(char32_t c) {
    return c >= U'A' && c <= U'Z' ? c - U'A' + U'a' : c;
}

bool IsSpace(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\r' || c == U'\n';
}

// Characters that break anywhere: CJK ideographs, kana, hangul and their punctuation.
bool IsCjk(char32_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

std::string Ascii(std::u32string_view s) {
    std::string out;
    for (char32_t c : s) {
        out += c < 0x80 ? static_cast<char>(Lower(c)) : '?';
    }
    return out;
}

// A tag's name and attributes, names lower case, values without quotes.
struct Tag {
    std::string name;
    bool closing = false;
    std::vector<std::pair<std::string, std::u32string>> attributes;

    const std::u32string* Attribute(const char* key) const {
        for (const auto& [k, v] : attributes) {
            if (k == key) {
                return &v;
            }
        }
        return nullptr;
    }
};

Tag ParseTag(std::u32string_view body) {
    Tag tag;
    std::size_t i = 0;
    auto skipSpaces = [&] {
        while (i < body.size() && IsSpace(body[i])) {
            ++i;
        }
    };
    skipSpaces();
    if (i < body.size() && body[i] == U'/') {
        tag.closing = true;
        ++i;
    }
    std::size_t start = i;
    while (i < body.size() && !IsSpace(body[i]) && body[i] != U'/') {
        ++i;
    }
    tag.name = Ascii(body.substr(start, i - start));
    while (i < body.size()) {
        skipSpaces();
        start = i;
        while (i < body.size() && !IsSpace(body[i]) && body[i] != U'=') {
            ++i;
        }
        std::string key = Ascii(body.substr(start, i - start));
        skipSpaces();
        std::u32string value;
        if (i < body.size() && body[i] == U'=') {
            ++i;
            skipSpaces();
            if (i < body.size() && (body[i] == U'"' || body[i] == U'\'')) {
                const char32_t quote = body[i++];
                start = i;
                while (i < body.size() && body[i] != quote) {
                    ++i;
                }
                value = body.substr(start, i - start);
                ++i;
            } else {
                start = i;
                while (i < body.size() && !IsSpace(body[i])) {
                    ++i;
                }
                value = body.substr(start, i - start);
            }
        } else if (key.empty()) {
            ++i;  // a stray character
            continue;
        }
        if (!key.empty()) {
            tag.attributes.emplace_back(std::move(key), std::move(value));
        }
    }
    return tag;
}

// "&amp;" and friends, "&#65;", "&#x41;"; nothing for an unknown entity.
std::optional<char32_t> Entity(std::u32string_view name) {
    const std::string n = Ascii(name);
    if (n == "lt")
        return U'<';
    if (n == "gt")
        return U'>';
    if (n == "amp")
        return U'&';
    if (n == "quot")
        return U'"';
    if (n == "apos")
        return U'\'';
    if (n == "nbsp")
        return char32_t{0xA0};
    if (n.size() > 1 && n[0] == '#') {
        const bool hex = n[1] == 'x';
        const std::string digits = n.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8) {
            return std::nullopt;
        }
        char* end = nullptr;
        const unsigned long v = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
        if (*end == 0 && v > 0 && v < 0x110000) {
            return static_cast<char32_t>(v);
        }
    }
    return std::nullopt;
}

std::optional<Rgba> ParseColor(const std::u32string& v, std::uint8_t alpha) {
    std::string s = Ascii(v);
    if (!s.empty() && s[0] == '#') {
        s.erase(0, 1);
    } else if (s.size() > 2 && s[0] == '0' && s[1] == 'x') {
        s.erase(0, 2);
    }
    if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789abcdef") != std::string::npos) {
        return std::nullopt;
    }
    const unsigned long c = std::strtoul(s.c_str(), nullptr, 16);
    return Rgba{static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                static_cast<std::uint8_t>(c), alpha};
}

// A size attribute in pixels: "12", or "+2" / "-2" relative to `current` (twips).
std::optional<double> ParseSize(const std::u32string& v, double current) {
    const std::string s = Ascii(v);
    if (s.empty() || s.size() > 8) {
        return std::nullopt;
    }
    char* end = nullptr;
    const long n = std::strtol(s.c_str(), &end, 10);
    if (end == s.c_str()) {
        return std::nullopt;
    }
    const double px = (s[0] == '+' || s[0] == '-') ? current / 20 + n : n;
    return std::clamp(px, 0.0, 2000.0) * 20;
}

swf::TextAlign ParseAlign(const std::u32string& v, swf::TextAlign fallback) {
    const std::string s = Ascii(v);
    if (s == "left")
        return swf::TextAlign::Left;
    if (s == "right")
        return swf::TextAlign::Right;
    if (s == "center")
        return swf::TextAlign::Center;
    if (s == "justify")
        return swf::TextAlign::Justify;
    return fallback;
}

class HtmlSplitter {
  public:
    HtmlSplitter(const StyledChar& style, swf::TextAlign align) : align_(align) {
        styles_.push_back(style);
        Start(align);
    }

    std::vector<Paragraph> Split(std::u32string_view text) {
        std::size_t i = 0;
        while (i < text.size()) {
            const char32_t c = text[i];
            if (c == U'<') {
                const std::size_t end = text.find(U'>', i + 1);
                if (end == std::u32string_view::npos) {
                    break;  // an unfinished tag shows nothing
                }
                OnTag(ParseTag(text.substr(i + 1, end - i - 1)));
                i = end + 1;
                continue;
            }
            if (c == U'&') {
                const std::size_t end = text.find(U';', i + 1);
                if (end != std::u32string_view::npos && end - i <= 10) {
                    if (auto e = Entity(text.substr(i + 1, end - i - 1))) {
                        Add(*e);
                        i = end + 1;
                        continue;
                    }
                }
            }
            if (c != U'\r' && c != U'\n') {
                Add(c);
            }
            ++i;
        }
        // A closing </p> at the very end leaves no empty line behind.
        if (out_.size() > 1 && out_.back().chars.empty() && lastClosedParagraph_) {
            out_.pop_back();
        }
        return std::move(out_);
    }

  private:
    void Start(swf::TextAlign align) {
        Paragraph p;
        p.align = align;
        p.size = styles_.back().size;
        out_.push_back(std::move(p));
    }

    void Add(char32_t c) {
        StyledChar s = styles_.back();
        s.ch = c == 0xA0 ? U' ' : c;
        out_.back().chars.push_back(s);
        lastClosedParagraph_ = false;
    }

    void OnTag(const Tag& tag) {
        if (tag.name == "br") {
            Start(out_.back().align);
            lastClosedParagraph_ = false;
        } else if (tag.name == "p" || tag.name == "li") {
            if (tag.closing) {
                Start(align_);
                lastClosedParagraph_ = true;
                return;
            }
            swf::TextAlign align = align_;
            if (const auto* a = tag.Attribute("align")) {
                align = ParseAlign(*a, align_);
            }
            if (out_.back().chars.empty()) {
                out_.back().align = align;
            } else {
                Start(align);
            }
            lastClosedParagraph_ = false;
        } else if (tag.name == "font") {
            if (tag.closing) {
                if (styles_.size() > 1) {
                    styles_.pop_back();
                }
                return;
            }
            StyledChar s = styles_.back();
            if (const auto* c = tag.Attribute("color")) {
                if (auto color = ParseColor(*c, s.color.a)) {
                    s.color = *color;
                }
            }
            if (const auto* v = tag.Attribute("size")) {
                if (auto size = ParseSize(*v, s.size)) {
                    s.size = *size;
                }
            }
            if (styles_.size() < 256) {
                styles_.push_back(s);
            }
            if (out_.back().chars.empty()) {
                out_.back().size = s.size;
            }
        }
    }

    swf::TextAlign align_;
    std::vector<StyledChar> styles_;
    std::vector<Paragraph> out_;
    bool lastClosedParagraph_ = false;
};

struct Line {
    std::size_t paragraph = 0;
    std::size_t begin = 0, end = 0;  // characters shown, trailing spaces excluded
    double width = 0;
    double size = 0;  // the largest em size
    bool first = false;
};

}  // namespace

std::u32string DecodeFieldText(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        int extra = b >= 0xF0 && b < 0xF5 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : 0;
        if (b < 0x80 || extra == 0 || b >= 0xF5) {
            out += static_cast<char32_t>(b);  // ASCII, or Latin-1 for a byte that starts nothing
            ++i;
            continue;
        }
        char32_t c = b & (0x3F >> extra);
        bool ok = i + extra < bytes.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto n = static_cast<unsigned char>(bytes[i + k]);
            ok = (n & 0xC0) == 0x80;
            c = (c << 6) | (n & 0x3F);
        }
        ok = ok && !(extra == 2 && c < 0x800) && !(extra == 3 && (c < 0x10000 || c > 0x10FFFF)) &&
             !(c >= 0xD800 && c <= 0xDFFF);
        if (!ok) {
            out += static_cast<char32_t>(b);
            ++i;
            continue;
        }
        out += c;
        i += extra + 1;
    }
    return out;
}

std::vector<Paragraph> SplitParagraphs(std::string_view text, bool html, const StyledChar& style,
                                       swf::TextAlign align) {
    const std::u32string chars = DecodeFieldText(text);
    if (html) {
        return HtmlSplitter(style, align).Split(chars);
    }
    std::vector<Paragraph> out(1);
    out.back().align = align;
    out.back().size = style.size;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const char32_t c = chars[i];
        if (c == U'\r' || c == U'\n') {
            if (c == U'\r' && i + 1 < chars.size() && chars[i + 1] == U'\n') {
                ++i;
            }
            out.emplace_back();
            out.back().align = align;
            out.back().size = style.size;
            continue;
        }
        StyledChar s = style;
        s.ch = c;
        out.back().chars.push_back(s);
    }
    return out;
}

std::vector<PlacedChar> LayOutField(const std::vector<Paragraph>& paragraphs,
                                    const FieldMetrics& metrics, const MeasureChar& measure,
                                    FieldTextExtent* extent) {
    std::vector<Line> lines;
    std::vector<std::vector<double>> advances(paragraphs.size());
    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        const std::vector<StyledChar>& chars = paragraphs[p].chars;
        std::vector<double>& adv = advances[p];
        adv.reserve(chars.size());
        for (const StyledChar& c : chars) {
            const double a = c.ch == U'\t' ? c.size * 2 : measure(c.ch, c.size);
            adv.push_back(std::isfinite(a) && a > 0 ? a : 0);
        }
        std::size_t start = 0;
        bool first = true;
        do {
            const double avail = metrics.right - metrics.left - (first ? metrics.indent : 0);
            // Where the line may end: [start, end) shown, the next line from `next`.
            std::size_t breakEnd = 0, breakNext = 0;
            bool haveBreak = false;
            std::size_t j = start;
            double x = 0;
            for (; j < chars.size(); ++j) {
                const char32_t c = chars[j].ch;
                if (metrics.wordWrap && j > start && !IsSpace(c) && x + adv[j] > avail) {
                    break;
                }
                if (IsSpace(c)) {
                    haveBreak = j > start;
                    breakEnd = j;
                    breakNext = j + 1;
                } else if (IsCjk(c) && j > start) {
                    haveBreak = true;
                    breakEnd = breakNext = j;
                }
                x += adv[j];
            }
            std::size_t end = j, next = j;
            if (j < chars.size()) {
                if (IsCjk(chars[j].ch) || IsCjk(chars[j - 1].ch)) {
                    haveBreak = false;  // breaks right where the line is full
                }
                if (haveBreak) {
                    end = breakEnd;
                    next = breakNext;
                }
                while (next < chars.size() && chars[next].ch == U' ') {
                    ++next;  // spaces where a line wraps are not shown on the next one
                }
            }
            Line line{p, start, end, 0, 0, first};
            while (line.end > line.begin && IsSpace(chars[line.end - 1].ch)) {
                --line.end;
            }
            for (std::size_t k = line.begin; k < line.end; ++k) {
                line.width += adv[k];
            }
            for (std::size_t k = start; k < std::max(end, start + 1) && k < chars.size(); ++k) {
                line.size = std::max(line.size, chars[k].size);
            }
            if (line.size <= 0) {
                line.size = paragraphs[p].size;
            }
            lines.push_back(line);
            start = std::max(next, start + 1);
            first = false;
        } while (start < chars.size());
    }

    std::vector<PlacedChar> out;
    double top = metrics.top;
    for (const Line& line : lines) {
        const Paragraph& para = paragraphs[line.paragraph];
        const double left = metrics.left + (line.first ? metrics.indent : 0);
        double x = left;
        switch (para.align) {
            case swf::TextAlign::Right:
                x = std::max(left, metrics.right - line.width);
                break;
            case swf::TextAlign::Center:
                x = std::max(left, left + (metrics.right - left - line.width) / 2);
                break;
            default:
                break;
        }
        const double baseline = top + metrics.ascent * line.size;
        const std::vector<double>& adv = advances[line.paragraph];
        for (std::size_t k = line.begin; k < line.end; ++k) {
            const StyledChar& c = para.chars[k];
            if (!IsSpace(c.ch)) {
                out.push_back(PlacedChar{c.ch, x, baseline, c.size, c.color});
            }
            x += adv[k];
        }
        top = baseline + metrics.descent * line.size + metrics.leading;
        if (extent != nullptr) {
            extent->width = std::max(extent->width, line.width + (line.first ? metrics.indent : 0));
            extent->lineHeights.push_back((metrics.ascent + metrics.descent) * line.size);
        }
    }
    if (extent != nullptr) {
        extent->height = top - metrics.top;
        extent->leading = metrics.leading;
    }
    return out;
}

std::string HtmlToPlainText(std::string_view html) {
    std::string out;
    const std::vector<Paragraph> paragraphs =
        SplitParagraphs(html, true, StyledChar{}, swf::TextAlign::Left);
    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        if (p > 0) {
            out += '\r';
        }
        for (const StyledChar& c : paragraphs[p].chars) {
            AppendUtf8(out, c.ch);
        }
    }
    return out;
}

}  // namespace flash::render
