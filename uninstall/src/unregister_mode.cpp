#include "unregister_mode.h"

#include "platform/errors.h"
#include "platform/folders.h"
#include "platform/library.h"
#include "platform/registry.h"
#include "product.h"

namespace uninstall {

std::vector<std::wstring> UserFiles::Find(const std::wstring& pattern) {
    std::vector<std::wstring> names;
    platform::FileFinder finder;
    for (bool more = finder.FindFirst(pattern.c_str()); more; more = finder.FindNext()) {
        if (!finder.Current().isDirectory) {
            names.push_back(finder.Current().name);
        }
    }
    return names;
}

bool UserFiles::RemoveFile(const std::wstring& path) {
    return platform::RemoveFile(path.c_str());
}

bool UserFiles::RemoveEmptyFolder(const std::wstring& path) {
    return platform::RemoveEmptyDirectory(path.c_str());
}

bool UserFiles::IsFolder(const std::wstring& path) {
    return platform::IsDirectory(path.c_str());
}

bool UserFiles::IsLink(const std::wstring& path) {
    return platform::IsSymbolicLink(path.c_str());
}

namespace {

// Deletes every file in `folder` whose name is `name` in any letter case: the main program
// writes "history.ini" where the uninstaller names "History.ini", and on a file system that
// tells case apart both spellings may be there. False when one of them cannot be deleted.
bool DeleteListFile(UserFiles& files, const std::wstring& folder, const std::wstring& name) {
    for (const std::wstring& found : files.Find(folder + L"\\" + name)) {
        if (!files.RemoveFile(folder + L"\\" + found)) {
            return false;
        }
    }
    return true;
}

platform::LONG DeleteUserKey() {
    platform::ModuleHandle advapi = platform::LoadModule(L"Advapi32.dll");
    if (advapi == nullptr) {
        return static_cast<platform::LONG>(platform::GetLastError());
    }
    auto deleteTree =
        platform::FindFunctionAs<platform::RegDeleteTreeProc>(advapi, "RegDeleteTreeW");
    if (deleteTree == nullptr) {
        return static_cast<platform::LONG>(platform::GetLastError());
    }
    return deleteTree(platform::RegRoot::CurrentUser, kUserKey);
}

}  // namespace

bool UnregisterUser(const std::wstring& appData, UserFiles& files) {
    if (appData.empty()) {
        return false;
    }
    const std::wstring shared = appData + L"\\Kestrum";
    const std::wstring player = shared + L"\\ToviFlash";
    const std::wstring settings = player + L"\\Seting";
    // A link in place of one of these folders leads out of them: delete nothing through it.
    for (const std::wstring* folder : {&shared, &player, &settings}) {
        if (files.IsLink(*folder)) {
            platform::SetLastError(platform::kErrorAccessDenied);
            return false;
        }
    }
    if (!DeleteListFile(files, settings, L"History.ini") ||
        !DeleteListFile(files, settings, L"Playlist.ini")) {
        return false;
    }
    bool playerFolderGone = false;
    if (files.RemoveEmptyFolder(settings)) {
        playerFolderGone = files.RemoveEmptyFolder(player);
    }
    files.RemoveEmptyFolder(shared);
    const bool foldersDone = playerFolderGone || !files.IsFolder(shared);
    const platform::LONG code = DeleteUserKey();
    return foldersDone && code == 0;
}

}  // namespace uninstall
