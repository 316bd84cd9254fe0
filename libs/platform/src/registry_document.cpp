#include "registry_document.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>

#include "platform/text.h"

namespace platform {
namespace {

constexpr std::wstring_view kHeader = L"Windows Registry Editor Version 5.00";
constexpr std::wstring_view kOldHeader = L"REGEDIT4";

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

bool ValidName(std::wstring_view name) {
    return name.size() <= RegistryDocument::kMaxValueNameLength;
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

// Calls `fn` with each name of a normalized path ("" has none); stops when it returns false.
template <typename Fn>
bool ForEachName(std::wstring_view path, Fn fn) {
    while (!path.empty()) {
        std::size_t cut = path.find(L'\\');
        if (!fn(path.substr(0, cut))) {
            return false;
        }
        if (cut == std::wstring_view::npos) {
            break;
        }
        path.remove_prefix(cut + 1);
    }
    return true;
}

// A line that can go on a hex list: hex digits, commas, blanks and a final "\".
bool IsHexContinuation(std::wstring_view line) {
    line = Trim(line);
    if (line.ends_with(L'\\')) {
        line.remove_suffix(1);
    }
    return !line.empty() && std::all_of(line.begin(), line.end(), [](wchar_t c) {
        return HexDigit(c) >= 0 || c == L',' || IsBlank(c);
    });
}

// Takes the next line, joined with its continuations: long hex lists go on after ",\" on
// lines of hex bytes. A damaged line ending in ",\" takes no other line with it. The line
// grows in place, so many continuations cost no more than their length.
std::wstring NextLine(std::wstring_view* rest) {
    std::size_t nl = rest->find(L'\n');
    std::wstring line(rest->substr(0, nl));
    *rest = nl == std::wstring_view::npos ? std::wstring_view() : rest->substr(nl + 1);
    for (;;) {
        while (!line.empty() && IsBlank(line.back())) {
            line.pop_back();
        }
        std::size_t next = rest->find(L'\n');
        if (!line.ends_with(L",\\") || rest->empty() || !IsHexContinuation(rest->substr(0, next))) {
            return line;
        }
        line.pop_back();
        line += Trim(rest->substr(0, next));
        *rest = next == std::wstring_view::npos ? std::wstring_view() : rest->substr(next + 1);
    }
}

void SerializeKey(const RegistryDocument::Key& key, std::wstring_view rootName, std::wstring* path,
                  std::wstring* out);

}  // namespace

bool RegistryDocument::NormalizePath(std::wstring_view path, std::wstring* out) {
    out->clear();
    while (!path.empty() && path.front() == L'\\') {
        path.remove_prefix(1);
    }
    while (!path.empty() && path.back() == L'\\') {
        path.remove_suffix(1);
    }
    if (path.size() > kMaxPathLength) {
        return false;
    }
    std::size_t depth = 0;
    bool ok = ForEachName(path, [&](std::wstring_view name) {
        return !name.empty() && name.size() <= kMaxNameLength && ++depth <= kMaxDepth;
    });
    if (!ok) {
        return false;
    }
    *out = path;
    return true;
}

RegistryDocument RegistryDocument::Parse(std::string_view bytes, std::wstring_view rootName,
                                         bool* damaged) {
    RegistryDocument doc;
    bool bad = false;
    if (bytes.size() > kMaxFileBytes) {
        bytes = {};
        bad = true;
    }
    std::wstring text = DecodeText(bytes);
    std::wstring_view rest = text;
    bool sawHeader = false;
    bool sawContent = false;
    Key* current = nullptr;
    bool inSection = false;  // a section header was met (even one that is skipped)
    const std::wstring rootFolded = FoldCase(rootName);

    while (!rest.empty()) {
        std::wstring line = NextLine(&rest);
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
            std::wstring_view head = inner.substr(0, cut);
            std::wstring_view sub =
                cut == std::wstring_view::npos ? std::wstring_view() : inner.substr(cut + 1);
            std::wstring path;
            if (FoldCase(head) != rootFolded || !NormalizePath(sub, &path)) {
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

namespace {

// Writes the key and then its subkeys, each path once: the text grows with the paths it names.
void SerializeKey(const RegistryDocument::Key& key, std::wstring_view rootName, std::wstring* path,
                  std::wstring* out) {
    if (!path->empty() || !key.values().empty()) {
        *out += L"\n[";
        *out += rootName;
        if (!path->empty()) {
            *out += L"\\";
            *out += *path;
        }
        *out += L"]\n";
        for (const RegistryDocument::Value& v : key.values()) {
            *out += FormatValue(v) + L"\n";
        }
    }
    for (const auto& [folded, sub] : key.subKeys()) {
        const std::size_t size = path->size();
        if (!path->empty()) {
            path->push_back(L'\\');
        }
        *path += sub->name();
        SerializeKey(*sub, rootName, path, out);
        path->resize(size);
    }
}

}  // namespace

std::string RegistryDocument::Serialize(std::wstring_view rootName) const {
    std::wstring out(kHeader);
    out += L"\n";
    std::wstring path;
    SerializeKey(root_, rootName, &path, &out);
    return Utf8FromWide(out);
}

bool RegistryDocument::HasKey(std::wstring_view path) const {
    return FindKey(path) != nullptr;
}

const RegistryDocument::Key* RegistryDocument::FindKey(std::wstring_view path) const {
    const Key* key = &root_;
    ForEachName(path, [&](std::wstring_view name) {
        auto it = key->subKeys_.find(FoldCase(name));
        key = it == key->subKeys_.end() ? nullptr : it->second.get();
        return key != nullptr;
    });
    return key;
}

RegistryDocument::Key* RegistryDocument::FindKey(std::wstring_view path) {
    return const_cast<Key*>(std::as_const(*this).FindKey(path));
}

RegistryDocument::Key& RegistryDocument::CreateKey(std::wstring_view path, bool* created) {
    // Missing parents are made on the way down; each keeps the case it was first created with.
    Key* key = &root_;
    bool inserted = false;
    ForEachName(path, [&](std::wstring_view name) {
        auto [it, isNew] = key->subKeys_.try_emplace(FoldCase(name));
        if (isNew) {
            it->second = std::make_unique<Key>(std::wstring(name));
        }
        inserted = isNew;
        key = it->second.get();
        return true;
    });
    if (created) {
        *created = inserted;
    }
    return *key;
}

bool RegistryDocument::DeleteTree(std::wstring_view path) {
    if (path.empty()) {
        bool any = !root_.values_.empty() || !root_.subKeys_.empty();
        root_ = Key();
        return any;
    }
    std::size_t cut = path.rfind(L'\\');
    Key* parent = cut == std::wstring_view::npos ? &root_ : FindKey(path.substr(0, cut));
    if (parent == nullptr) {
        return false;
    }
    std::wstring_view name = cut == std::wstring_view::npos ? path : path.substr(cut + 1);
    return parent->subKeys_.erase(FoldCase(name)) != 0;
}

std::vector<std::wstring> RegistryDocument::SubKeys(std::wstring_view path) const {
    std::vector<std::wstring> names;
    if (const Key* key = FindKey(path)) {
        for (const auto& [folded, sub] : key->subKeys_) {
            names.push_back(sub->name_);
        }
    }
    return names;
}

const RegistryDocument::Value* RegistryDocument::FindValue(const Key& key, std::wstring_view name) {
    auto it = key.valueIndex_.find(FoldCase(name));
    return it == key.valueIndex_.end() ? nullptr : &*it->second;
}

bool RegistryDocument::SetValue(Key& key, std::wstring_view name, DWORD type,
                                std::vector<std::uint8_t> data) {
    auto [it, inserted] = key.valueIndex_.try_emplace(FoldCase(name));
    if (inserted) {
        key.values_.push_back(Value{std::wstring(name), type, std::move(data)});
        it->second = std::prev(key.values_.end());
        return true;
    }
    Value& v = *it->second;
    if (v.type == type && v.data == data) {
        return false;
    }
    v.type = type;
    v.data = std::move(data);
    return true;
}

bool RegistryDocument::DeleteValue(Key& key, std::wstring_view name) {
    auto it = key.valueIndex_.find(FoldCase(name));
    if (it == key.valueIndex_.end()) {
        return false;
    }
    key.values_.erase(it->second);
    key.valueIndex_.erase(it);
    return true;
}

}  // namespace platform
