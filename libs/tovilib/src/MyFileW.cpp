#include <string>

#include "Tovilib.h"
#include "platform/text.h"

namespace {

constexpr std::uint8_t kBom[2] = {0xFF, 0xFE};

}  // namespace

MyFileW::MyFileW() {
    ResetState();
}

MyFileW::~MyFileW() {
    ResetState();
    Abort();
}

void MyFileW::ResetState() {
    m_strLine.clear();
    m_bLineStart = 1;
    m_nReadPos = 0;
    m_nWritePos = 0;
}

bool MyFileW::Open(const wchar_t* name, platform::UINT flags, platform::FileException* error) {
    return File::Open(name, flags, error);
}

void MyFileW::Close() {
    ResetState();
    File::Close();
}

std::int32_t MyFileW::ReadLineW(wxString* line, platform::UINT maxChars) {
    // At or past the end (a CR as the last unit seeks past it) there is no further line.
    if (m_nReadPos >= GetLength()) {
        return -1;
    }
    m_strLine.clear();
    Seek(static_cast<std::int64_t>(m_nReadPos), begin);
    if (GetPosition() == 0) {
        std::uint8_t bom[2] = {0, 0};
        if (Read(bom, 2) != 2 || bom[0] != kBom[0] || bom[1] != kBom[1]) {
            m_nReadPos = 0;
            throw 1;
        }
    }
    // A lone odd byte at the end counts as nothing read: the line ends there.
    auto readUnit = [this](char16_t* unit) {
        std::uint8_t b[2];
        if (Read(b, 2) != 2) {
            return false;
        }
        *unit = static_cast<char16_t>(b[0] | (b[1] << 8));
        return true;
    };
    std::u16string units;
    char16_t unit = 0;
    if (readUnit(&unit)) {
        for (platform::UINT count = 1;; ++count) {
            if (maxChars != 0 && count > maxChars) {
                break;
            }
            if (unit == 0x000D) {
                Seek(2, current);  // the LF, taken as read
                break;
            }
            units.push_back(unit);
            if (!readUnit(&unit)) {
                break;
            }
        }
    }
    m_strLine = wxString(platform::WideFromUtf16(units));
    m_nReadPos = GetPosition();
    if (line) {
        *line = m_strLine;
    }
    return static_cast<std::int32_t>(m_strLine.length());
}

platform::UINT MyFileW::WriteLineW(const wchar_t* text) {
    Seek(static_cast<std::int64_t>(m_nWritePos), begin);
    if (GetPosition() == 0) {
        Write(kBom, 2);
    }
    const wxString given = text ? text : L"";
    m_strLine = m_bLineStart == 0 ? L"\r\n" + given : given;
    // Whether the text itself ended its line: an empty text after a line is a line of its
    // own and must not swallow the break before the next one.
    m_bLineStart = given.EndsWith(L"\r\n") ? 1 : 0;
    const std::u16string units = platform::Utf16FromWide(m_strLine.ToStdWstring());
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t u : units) {
        bytes.push_back(static_cast<char>(u & 0xFF));
        bytes.push_back(static_cast<char>(u >> 8));
    }
    if (!bytes.empty()) {
        Write(bytes.data(), static_cast<platform::UINT>(bytes.size()));
    }
    m_nWritePos = GetPosition();
    return static_cast<platform::UINT>(m_strLine.length());
}
