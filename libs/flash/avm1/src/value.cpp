#include "flash/avm1/value.h"

namespace flash::avm1 {

const String& Value::AsString() const {
    static const String empty;
    return type_ == Type::Str && string_ ? *string_ : empty;
}

String FromUtf8(std::string_view text) {
    String out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        auto b0 = static_cast<unsigned char>(text[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (b0 < 0x80) {
            cp = b0;
        } else if (b0 >= 0xC2 && b0 < 0xF5) {
            std::size_t extra = b0 >= 0xF0 ? 3 : b0 >= 0xE0 ? 2 : 1;
            char32_t c = b0 & (0x3F >> extra);
            bool ok = i + extra < text.size();
            for (std::size_t k = 1; ok && k <= extra; ++k) {
                auto b = static_cast<unsigned char>(text[i + k]);
                ok = (b & 0xC0) == 0x80;
                c = (c << 6) | (b & 0x3F);
            }
            static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
            if (ok && c >= kMin[extra] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF)) {
                cp = c;
                len = extra + 1;
            }
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return out;
}

std::string ToUtf8(StringView text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

String FromLatin1(std::string_view text) {
    String out;
    out.reserve(text.size());
    for (char c : text) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace flash::avm1
