#include <cwctype>
#include <string>
#include <string_view>

#include "platform/folders.h"
#include "tovi.h"

namespace {

std::wstring Trimmed(const wchar_t* path) {
    std::wstring_view s = path ? path : L"";
    std::size_t b = 0;
    while (b < s.size() && std::iswspace(static_cast<std::wint_t>(s[b]))) {
        ++b;
    }
    std::size_t e = s.size();
    while (e > b && std::iswspace(static_cast<std::wint_t>(s[e - 1]))) {
        --e;
    }
    return std::wstring(s.substr(b, e - b));
}

std::size_t LastSeparator(const std::wstring& s) {
    return s.find_last_of(L"\\/");
}

}  // namespace

wxString GetNameFromPath(const wchar_t* path) {
    const std::wstring s = Trimmed(path);
    const std::size_t cut = LastSeparator(s);
    return cut == std::wstring::npos ? wxString(s) : wxString(s.substr(cut + 1));
}

wxString GetLastDirectoryFromPath(const wchar_t* path) {
    const std::wstring s = Trimmed(path);
    const std::size_t cut = LastSeparator(s);
    return cut == std::wstring::npos ? wxString() : wxString(s.substr(0, cut + 1));
}

wxString GetNameFormPathNoEx(const wchar_t* path) {
    const std::wstring name = Trimmed(GetNameFromPath(path).wc_str());
    const std::size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? wxString(name) : wxString(name.substr(0, dot));
}

wxString GetExternNameFromPath(const wchar_t* path) {
    const std::wstring name = Trimmed(GetNameFromPath(path).wc_str());
    const std::size_t dot = name.rfind(L'.');
    return wxString(dot == std::wstring::npos ? name : name.substr(dot)).Lower();
}

wxString GetSetingFilePathName(const wchar_t* relativeName) {
    const std::wstring name = relativeName ? relativeName : L"";
    const wxString head = wxString(name.substr(0, 6)).Lower();
    wxString base;
    if (head == L"seting") {
        std::wstring appData = platform::GetAppDataFolder();
        if (appData.empty()) {
            // No per-user folder: keep the settings in the per-user temporary folder rather
            // than at the root of the file system.
            appData = platform::GetTempFolder();
            while (appData.size() > 1 && (appData.back() == L'/' || appData.back() == L'\\')) {
                appData.pop_back();
            }
        }
        base = wxString::Format(L"%ls\\Kestrum\\ToviFlash\\", appData.c_str());
    } else {
        base = GetLastDirectoryFromPath(platform::GetProgramPath().c_str());
    }
    return base + wxString(name);
}
