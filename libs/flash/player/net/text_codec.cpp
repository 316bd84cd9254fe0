#include "net/text_codec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace flash::net {

namespace {

// Windows-1252 at 0x80..0x9F; the rest of the page is Latin-1. Unassigned bytes keep their
// value, as Windows maps them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsCp1252(const std::string& codepage) {
    return codepage == "CP1252";
}

avm1::String DecodeCp1252(std::string_view bytes) {
    avm1::String out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        out.push_back(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : static_cast<char16_t>(b));
    }
    return out;
}

std::string EncodeCp1252(avm1::StringView text) {
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
            out += static_cast<char>(c);
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i) {
            if (kCp1252High[i] == c) {
                mapped = static_cast<char>(0x80 + i);
            }
        }
        out += mapped;
    }
    return out;
}

// Converts with iconv; a byte it cannot read becomes U+FFFD (or '?' going out) and it goes on.
std::string Convert(const std::string& from, const std::string& to, std::string_view in,
                    std::string_view replacement, std::size_t unit) {
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return {};
    }
    std::string out;
    char buffer[4096];
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    while (left > 0) {
        char* dst = buffer;
        std::size_t room = sizeof buffer;
        std::size_t n = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (n == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out.append(replacement);
            std::size_t skip = std::min(left, unit);
            src += skip;
            left -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

avm1::String FromUtf16(std::string_view bytes, bool bigEndian) {
    avm1::String out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto a = static_cast<unsigned char>(bytes[i]);
        auto b = static_cast<unsigned char>(bytes[i + 1]);
        out.push_back(static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a));
    }
    return out;
}

}  // namespace

std::string CodepageForLocale(std::string_view locale) {
    std::string_view lang = locale.substr(0, locale.find_first_of(".@"));
    if (lang == "zh_TW" || lang == "zh_HK" || lang == "zh_MO") {
        return "BIG5";
    }
    if (lang.substr(0, 2) == "zh") {
        return "GBK";
    }
    if (lang.substr(0, 2) == "ja") {
        return "CP932";
    }
    if (lang.substr(0, 2) == "ko") {
        return "CP949";
    }
    return "CP1252";
}

const std::string& SystemCodepage() {
    static const std::string codepage = [] {
        for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
            const char* value = std::getenv(name);
            if (value != nullptr && *value != '\0') {
                return CodepageForLocale(value);
            }
        }
        return std::string("CP1252");
    }();
    return codepage;
}

avm1::String DecodeCodepage(std::string_view bytes, const std::string& codepage) {
    if (IsCp1252(codepage)) {
        return DecodeCp1252(bytes);
    }
    std::string utf16 = Convert(codepage, "UTF-16LE", bytes, std::string_view("\xFD\xFF", 2), 1);
    return FromUtf16(utf16, false);
}

std::string EncodeCodepage(avm1::StringView text, const std::string& codepage) {
    if (IsCp1252(codepage)) {
        return EncodeCp1252(text);
    }
    std::string utf16;
    for (char16_t c : text) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    return Convert("UTF-16LE", codepage, utf16, "?", 2);
}

avm1::String DecodeLoaded(std::string_view bytes, bool codepage) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        return avm1::FromUtf8(bytes.substr(3));
    }
    if (bytes.substr(0, 2) == "\xFF\xFE") {
        return FromUtf16(bytes.substr(2), false);
    }
    if (bytes.substr(0, 2) == "\xFE\xFF") {
        return FromUtf16(bytes.substr(2), true);
    }
    return codepage ? DecodeCodepage(bytes, SystemCodepage()) : avm1::FromUtf8(bytes);
}

avm1::String DecodeLoaded(std::span<const std::uint8_t> bytes, bool codepage) {
    return DecodeLoaded(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                        codepage);
}

std::string EncodeForSending(avm1::StringView text, bool codepage) {
    return codepage ? EncodeCodepage(text, SystemCodepage()) : avm1::ToUtf8(text);
}

}  // namespace flash::net
