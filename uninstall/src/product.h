#pragma once

#include <string>

// What the installation and the uninstaller agree on: where each records what.
namespace uninstall {

// The installer package's product code, fixed for the product.
inline constexpr wchar_t kProductCode[] = L"{5CB32646-87B2-47F5-900A-3F7EC210EFEC}";
inline constexpr wchar_t kProductVersion[] = L"1.0.0";

// Local machine: the installed main program, read by the standalone player.
inline constexpr wchar_t kInstallKey[] = L"SOFTWARE\\kestrum\\ToviFlash\\Install";
inline constexpr wchar_t kPathValue[] = L"Path";
inline constexpr wchar_t kVersionValue[] = L"Version";

// Local machine: the system's uninstall entry of the installation, and in it the command that
// removes the installation (the installer service of this system).
inline constexpr wchar_t kUninstallEntriesKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr wchar_t kRemovalCommandValue[] = L"UninstallString";

inline std::wstring UninstallEntryKey() {
    return std::wstring(kUninstallEntriesKey) + kProductCode;
}

// Current user: the main program's settings key, with everything below it.
inline constexpr wchar_t kUserKey[] = L"Software\\kestrum\\ToviFlash";

}  // namespace uninstall
