#include "roles_fit.h"

#include <charconv>
#include <optional>

#include "roles_check.h"

namespace roles {
namespace {

// One code point from UTF-8 at `pos`, moving past it; none for a malformed sequence.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t extra = 0;
    if (lead < 0x80) {
        extra = 0;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
    } else {
        return std::nullopt;
    }
    if (text.size() - pos <= extra) {
        return std::nullopt;
    }
    char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (std::size_t i = 1; i <= extra; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        code = (code << 6) | (next & 0x3F);
    }
    pos += 1 + extra;
    return code;
}

void AppendUnit(std::u16string& out, char32_t code) {
    if (code >= 0x10000) {
        code -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (code >> 10));
        out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
        out += static_cast<char16_t>(code);
    }
}

}  // namespace

FitResult FitRolesText(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    std::u16string units;
    std::optional<std::size_t> padPoint;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text.substr(pos, 3) == "{~}") {
            padPoint = units.size();
            pos += 3;
            continue;
        }
        if (text.substr(pos, 2) == "{@") {
            const std::size_t close = text.find('}', pos);
            std::size_t offset = 0;
            const char* first = text.data() + pos + 2;
            const char* last = close == std::string_view::npos ? first : text.data() + close;
            if (close == std::string_view::npos ||
                std::from_chars(first, last, offset).ptr != last || offset < 2) {
                return {{}, "bad offset mark at byte " + std::to_string(pos) + " of the template"};
            }
            const std::size_t want = (offset - 2) / 2;
            if (want < units.size()) {
                return {{},
                        "the text before offset " + std::to_string(offset) + " is " +
                            std::to_string(units.size() - want) + " characters too long"};
            }
            if (want > units.size()) {
                if (!padPoint) {
                    return {{}, "no place for blanks before offset " + std::to_string(offset)};
                }
                units.insert(*padPoint, want - units.size(), u' ');
            }
            pos = close + 1;
            continue;
        }
        if (text[pos] == '\r') {
            ++pos;
            continue;
        }
        if (text[pos] == '\n') {
            units += u"\r\n";
            ++pos;
            continue;
        }
        std::optional<char32_t> code = NextCodePoint(text, pos);
        if (!code) {
            return {{}, "the template is not UTF-8 at byte " + std::to_string(pos)};
        }
        AppendUnit(units, *code);
    }

    FitResult result;
    result.bytes = {0xFF, 0xFE};
    for (char16_t unit : units) {
        result.bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        result.bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    result.error = terms::FirstRolesFault(result.bytes);
    return result;
}

}  // namespace roles
