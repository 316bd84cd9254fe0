#include "flash/avm1/url_variables.h"

namespace flash::avm1 {

namespace {

int Hex(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

}  // namespace

String UrlUnescape(StringView s, int version, bool plusIsSpace) {
    String out;
    std::string bytes;
    auto flush = [&] {
        if (!bytes.empty()) {
            out += version >= 6 ? FromUtf8(bytes) : FromLatin1(bytes);
            bytes.clear();
        }
    };
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'%' && i + 2 < s.size() && Hex(s[i + 1]) >= 0 && Hex(s[i + 2]) >= 0) {
            bytes.push_back(static_cast<char>(Hex(s[i + 1]) * 16 + Hex(s[i + 2])));
            i += 2;
            continue;
        }
        flush();
        out.push_back(plusIsSpace && s[i] == u'+' ? u' ' : s[i]);
    }
    flush();
    return out;
}

String UrlEscape(StringView s, bool plusForSpace) {
    static const char* kHex = "0123456789ABCDEF";
    String out;
    for (unsigned char c : ToUtf8(s)) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            out.push_back(c);
        } else if (c == ' ' && plusForSpace) {
            out.push_back(u'+');
        } else {
            out.push_back(u'%');
            out.push_back(static_cast<char16_t>(kHex[c >> 4]));
            out.push_back(static_cast<char16_t>(kHex[c & 15]));
        }
    }
    return out;
}

Variables DecodeVariables(StringView text, int version) {
    Variables out;
    while (!text.empty()) {
        std::size_t amp = text.find(u'&');
        StringView pair = text.substr(0, amp);
        text = amp == StringView::npos ? StringView() : text.substr(amp + 1);
        std::size_t eq = pair.find(u'=');
        String name = UrlUnescape(pair.substr(0, eq), version, true);
        if (name.empty()) {
            continue;
        }
        out.emplace_back(std::move(name), eq == StringView::npos
                                              ? String()
                                              : UrlUnescape(pair.substr(eq + 1), version, true));
    }
    return out;
}

String EncodeVariables(const Variables& variables, bool plusForSpace) {
    String out;
    for (const auto& [name, value] : variables) {
        if (!out.empty()) {
            out.push_back(u'&');
        }
        out += UrlEscape(name, plusForSpace);
        out.push_back(u'=');
        out += UrlEscape(value, plusForSpace);
    }
    return out;
}

}  // namespace flash::avm1
