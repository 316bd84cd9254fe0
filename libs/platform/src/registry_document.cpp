#include "registry_document.h"

#include <algorithm>
#include <cstdio>

#include "platform/text.h"

namespace platform {
namespace {

constexpr std::wstring_view kHeader = L"Windows Registry Editor Version 5.00";
constexpr std::wstring_view kOldHeader = L"REGEDIT4";
constexpr std::size_t kMaxNameLength = 255;

std::wstring_view Trim(std::wstring_view s) {
    const wchar_t* blanks = L" \t\r\n";
    std::size_t b = s.find_first_not_of(blanks);
    if (b == std::wstring_view::npos) {
        return {};
    }
    std::size_t e = s.find_last_not_of(blanks);
    return s.substr(b, e - b + 1);
}

std::wstring DecodeText(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::u16string units;
        units.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                  (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        }
        return WideFromUtf16(units);
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    return WideFromUtf8(bytes);
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    if (c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    return -1;
}

// Parses 1 to 8 hex digits.
bool ParseHexNumber(std::wstring_view s, DWORD* out) {
    if (s.empty() || s.size() > 8) {
        return false;
    }
    DWORD v = 0;
    for (wchar_t c : s) {
        int d = HexDigit(c);
        if (d < 0) {
            return false;
        }
        v = (v << 4) | static_cast<DWORD>(d);
    }
    *out = v;
    return true;
}

// "01,ab,ff" (blanks allowed around the bytes); an empty list is no bytes.
bool ParseHexBytes(std::wstring_view s, std::vector<std::uint8_t>* out) {
    out->clear();
    s = Trim(s);
    if (s.empty()) {
        return true;
    }
    while (true) {
        std::size_t comma = s.find(L',');
        std::wstring_view item = Trim(s.substr(0, comma));
        if (item.size() != 2 || HexDigit(item[0]) < 0 || HexDigit(item[1]) < 0) {
            return false;
        }
        out->push_back(static_cast<std::uint8_t>(HexDigit(item[0]) * 16 + HexDigit(item[1])));
        if (comma == std::wstring_view::npos) {
            return true;
        }
        s.remove_prefix(comma + 1);
    }
}

// A quoted string starting at s[0] == '"'; `end` receives the index after the closing quote.
bool ParseQuoted(std::wstring_view s, std::wstring* out, std::size_t* end) {
    if (s.empty() || s[0] != L'"') {
        return false;
    }
    out->clear();
    for (std::size_t i = 1; i < s.size(); ++i) {
        wchar_t c = s[i];
        if (c == L'\\') {
            if (i + 1 >= s.size()) {
                return false;
            }
            out->push_back(s[++i]);
        } else if (c == L'"') {
            *end = i + 1;
            return true;
        } else {
            out->push_back(c);
        }
    }
    return false;
}

std::wstring Quote(std::wstring_view s) {
    std::wstring out = L"\"";
    for (wchar_t c : s) {
        if (c == L'\\' || c == L'"') {
            out.push_back(L'\\');
        }
        out.push_back(c);
    }
    out.push_back(L'"');
    return out;
}

std::vector<std::uint8_t> StringBytes(std::wstring_view text) {
    std::u16string units = Utf16FromWide(text);
    std::vector<std::uint8_t> data;
    data.reserve(units.size() * 2 + 2);
    for (char16_t u : units) {
        data.push_back(static_cast<std::uint8_t>(u & 0xFF));
        data.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    data.push_back(0);
    data.push_back(0);
    return data;
}

// The text a REG_SZ's bytes hold when they can be written back as a quoted string that reads
// back to the very same bytes.
bool CleanString(const std::vector<std::uint8_t>& data, std::wstring* text) {
    if (data.size() < 2 || data.size() % 2 != 0 || data[data.size() - 1] != 0 ||
        data[data.size() - 2] != 0) {
        return false;
    }
    std::u16string units;
    for (std::size_t i = 0; i + 2 < data.size(); i += 2) {
        char16_t u = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (u == 0 || u == u'\r' || u == u'\n') {
            return false;
        }
        units.push_back(u);
    }
    *text = WideFromUtf16(units);
    return StringBytes(*text) == data;
}

std::wstring HexList(const std::vector<std::uint8_t>& data) {
    std::wstring out;
    wchar_t buf[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::swprintf(buf, 4, L"%02x", data[i]);
        if (i) {
            out.push_back(L',');
        }
        out += buf;
    }
    return out;
}

std::wstring FormatValue(const RegistryDocument::Value& v) {
    std::wstring out = v.name.empty() ? L"@" : Quote(v.name);
    out.push_back(L'=');
    std::wstring text;
    wchar_t buf[32];
    if (v.type == kRegSz && CleanString(v.data, &text)) {
        out += Quote(text);
    } else if (v.type == kRegDword && v.data.size() == 4) {
        DWORD d = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) |
                  (static_cast<DWORD>(v.data[3]) << 24);
        std::swprintf(buf, 32, L"dword:%08x", d);
        out += buf;
    } else if (v.type == kRegBinary) {
        out += L"hex:" + HexList(v.data);
    } else {
        std::swprintf(buf, 32, L"hex(%x):", v.type);
        out += buf + HexList(v.data);
    }
    return out;
}

// Parses the part after "name=". `remove` is set for the "-" form.
bool ParseValueData(std::wstring_view s, DWORD* type, std::vector<std::uint8_t>* data,
                    bool* remove) {
    s = Trim(s);
    *remove = false;
    if (s == L"-") {
        *remove = true;
        return true;
    }
    if (!s.empty() && s[0] == L'"') {
        std::wstring text;
        std::size_t end = 0;
        if (!ParseQuoted(s, &text, &end) || !Trim(s.substr(end)).empty()) {
            return false;
        }
        *type = kRegSz;
        *data = StringBytes(text);
        return true;
    }
    if (s.starts_with(L"dword:")) {
        DWORD d = 0;
        if (!ParseHexNumber(Trim(s.substr(6)), &d)) {
            return false;
        }
        *type = kRegDword;
        *data = {static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(d >> 8),
                 static_cast<std::uint8_t>(d >> 16), static_cast<std::uint8_t>(d >> 24)};
        return true;
    }
    if (s.starts_with(L"hex:")) {
        *type = kRegBinary;
        return ParseHexBytes(s.substr(4), data);
    }
    if (s.starts_with(L"hex(")) {
        std::size_t close = s.find(L"):");
        if (close == std::wstring_view::npos || !ParseHexNumber(s.substr(4, close - 4), type)) {
            return false;
        }
        return ParseHexBytes(s.substr(close + 2), data);
    }
    return false;
}

// Value names may be up to 16383 characters long.
bool ValidName(std::wstring_view name) {
    return name.size() <= 16383;
}

}  // namespace

bool RegistryDocument::NormalizePath(std::wstring_view path, std::wstring* out) {
    out->clear();
    while (!path.empty() && path.front() == L'\\') {
        path.remove_prefix(1);
    }
    while (!path.empty() && path.back() == L'\\') {
        path.remove_suffix(1);
    }
    std::size_t start = 0;
    while (start <= path.size() && !path.empty()) {
        std::size_t cut = path.find(L'\\', start);
        std::size_t len = (cut == std::wstring_view::npos ? path.size() : cut) - start;
        if (len == 0 || len > kMaxNameLength) {
            return false;
        }
        if (cut == std::wstring_view::npos) {
            break;
        }
        start = cut + 1;
    }
    *out = path;
    return true;
}

RegistryDocument RegistryDocument::Parse(std::string_view bytes, std::wstring_view rootName,
                                         bool* damaged) {
    RegistryDocument doc;
    bool bad = false;
    std::wstring text = DecodeText(bytes);
    std::wstring_view rest = text;
    bool sawHeader = false;
    bool sawContent = false;
    Key* current = nullptr;
    bool inSection = false;  // a section header was met (even one that is skipped)
    const std::wstring rootFolded = FoldCase(rootName);

    while (!rest.empty()) {
        std::size_t nl = rest.find(L'\n');
        std::wstring line(rest.substr(0, nl));
        rest = nl == std::wstring_view::npos ? std::wstring_view() : rest.substr(nl + 1);
        // Long hex lists continue on the next line after ",\".
        while (Trim(line).ends_with(L",\\") && !rest.empty()) {
            std::wstring_view t = Trim(line);
            line = std::wstring(t.substr(0, t.size() - 1));
            std::size_t next = rest.find(L'\n');
            line += Trim(rest.substr(0, next));
            rest = next == std::wstring_view::npos ? std::wstring_view() : rest.substr(next + 1);
        }
        std::wstring_view l = Trim(line);
        if (l.empty() || l[0] == L';') {
            continue;
        }
        if (!sawContent) {
            sawContent = true;
            if (l == kHeader || l == kOldHeader) {
                sawHeader = true;
                continue;
            }
        }
        if (l[0] == L'[') {
            inSection = true;
            current = nullptr;
            if (l.back() != L']') {
                bad = true;
                continue;
            }
            std::wstring_view inner = l.substr(1, l.size() - 2);
            bool remove = !inner.empty() && inner[0] == L'-';
            if (remove) {
                inner.remove_prefix(1);
            }
            std::size_t cut = inner.find(L'\\');
            std::wstring head = FoldCase(inner.substr(0, cut));
            std::wstring_view sub =
                cut == std::wstring_view::npos ? std::wstring_view() : inner.substr(cut + 1);
            std::wstring path;
            if (head != rootFolded || !NormalizePath(sub, &path)) {
                bad = true;
                continue;
            }
            if (remove) {
                doc.DeleteTree(path);
            } else {
                current = &doc.CreateKey(path, nullptr);
            }
            continue;
        }
        if (!inSection || current == nullptr) {
            bad = true;
            continue;
        }
        std::wstring name;
        std::size_t end = 0;
        if (l[0] == L'@') {
            end = 1;
        } else if (!ParseQuoted(l, &name, &end) || !ValidName(name)) {
            bad = true;
            continue;
        }
        std::wstring_view after = Trim(l.substr(end));
        if (after.empty() || after[0] != L'=') {
            bad = true;
            continue;
        }
        DWORD type = kRegNone;
        std::vector<std::uint8_t> data;
        bool removeValue = false;
        if (!ParseValueData(after.substr(1), &type, &data, &removeValue)) {
            bad = true;
            continue;
        }
        if (removeValue) {
            DeleteValue(*current, name);
        } else {
            SetValue(*current, name, type, std::move(data));
        }
    }
    if (sawContent && !sawHeader) {
        bad = true;
    }
    if (damaged) {
        *damaged = bad;
    }
    return doc;
}

std::string RegistryDocument::Serialize(std::wstring_view rootName) const {
    std::wstring out(kHeader);
    out += L"\n";
    for (const auto& [folded, key] : keys_) {
        if (key.path.empty() && key.values.empty()) {
            continue;
        }
        out += L"\n[";
        out += rootName;
        if (!key.path.empty()) {
            out += L"\\" + key.path;
        }
        out += L"]\n";
        for (const Value& v : key.values) {
            out += FormatValue(v) + L"\n";
        }
    }
    return Utf8FromWide(out);
}

bool RegistryDocument::HasKey(std::wstring_view path) const {
    if (path.empty()) {
        return true;
    }
    std::wstring folded = FoldCase(path);
    auto it = keys_.lower_bound(folded);
    if (it == keys_.end()) {
        return false;
    }
    if (it->first == folded) {
        return true;
    }
    // A key named only by its descendants still exists.
    return it->first.size() > folded.size() && it->first.starts_with(folded) &&
           it->first[folded.size()] == L'\\';
}

const RegistryDocument::Key* RegistryDocument::FindKey(std::wstring_view path) const {
    auto it = keys_.find(FoldCase(path));
    return it == keys_.end() ? nullptr : &it->second;
}

RegistryDocument::Key* RegistryDocument::FindKey(std::wstring_view path) {
    auto it = keys_.find(FoldCase(path));
    return it == keys_.end() ? nullptr : &it->second;
}

RegistryDocument::Key& RegistryDocument::CreateKey(std::wstring_view path, bool* created) {
    // Parents first, so each keeps the case it was first created with.
    for (std::size_t cut = path.find(L'\\'); cut != std::wstring_view::npos;
         cut = path.find(L'\\', cut + 1)) {
        std::wstring parent(path.substr(0, cut));
        keys_.try_emplace(FoldCase(parent), Key{parent, {}});
    }
    auto [it, inserted] = keys_.try_emplace(FoldCase(path), Key{std::wstring(path), {}});
    if (created) {
        *created = inserted && !path.empty();
    }
    return it->second;
}

bool RegistryDocument::DeleteTree(std::wstring_view path) {
    if (path.empty()) {
        bool any = !keys_.empty();
        keys_.clear();
        return any;
    }
    if (!HasKey(path)) {
        return false;
    }
    std::wstring folded = FoldCase(path);
    for (auto it = keys_.lower_bound(folded); it != keys_.end();) {
        const std::wstring& k = it->first;
        bool below = k == folded || (k.size() > folded.size() && k.starts_with(folded) &&
                                     k[folded.size()] == L'\\');
        if (!below) {
            if (!k.starts_with(folded)) {
                break;
            }
            ++it;
            continue;
        }
        it = keys_.erase(it);
    }
    return true;
}

std::vector<std::wstring> RegistryDocument::SubKeys(std::wstring_view path) const {
    std::wstring prefix = path.empty() ? std::wstring() : FoldCase(path) + L"\\";
    std::vector<std::wstring> names;
    std::vector<std::wstring> seen;
    for (auto it = keys_.lower_bound(prefix); it != keys_.end(); ++it) {
        if (!it->first.starts_with(prefix)) {
            break;
        }
        if (it->first.size() == prefix.size()) {
            continue;
        }
        std::size_t cut = it->first.find(L'\\', prefix.size());
        std::size_t len = (cut == std::wstring::npos ? it->first.size() : cut) - prefix.size();
        std::wstring folded = it->first.substr(prefix.size(), len);
        if (std::find(seen.begin(), seen.end(), folded) != seen.end()) {
            continue;
        }
        seen.push_back(folded);
        names.push_back(it->second.path.substr(prefix.size(), len));
    }
    return names;
}

const RegistryDocument::Value* RegistryDocument::FindValue(const Key& key, std::wstring_view name) {
    for (const Value& v : key.values) {
        if (EqualsNoCase(v.name, name)) {
            return &v;
        }
    }
    return nullptr;
}

bool RegistryDocument::SetValue(Key& key, std::wstring_view name, DWORD type,
                                std::vector<std::uint8_t> data) {
    for (Value& v : key.values) {
        if (EqualsNoCase(v.name, name)) {
            if (v.type == type && v.data == data) {
                return false;
            }
            v.type = type;
            v.data = std::move(data);
            return true;
        }
    }
    key.values.push_back(Value{std::wstring(name), type, std::move(data)});
    return true;
}

bool RegistryDocument::DeleteValue(Key& key, std::wstring_view name) {
    auto it = std::find_if(key.values.begin(), key.values.end(),
                           [&](const Value& v) { return EqualsNoCase(v.name, name); });
    if (it == key.values.end()) {
        return false;
    }
    key.values.erase(it);
    return true;
}

}  // namespace platform
