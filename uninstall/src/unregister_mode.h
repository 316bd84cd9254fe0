#pragma once

#include <string>
#include <vector>

namespace uninstall {

// The file operations unregister mode makes, so a test can act out a file that cannot go.
// Paths use "\" or "/"; failures set the thread's last error.
class UserFiles {
  public:
    virtual ~UserFiles() = default;
    // The entries of a folder named as `pattern`'s last component, without regard to case.
    virtual std::vector<std::wstring> Find(const std::wstring& pattern);
    virtual bool RemoveFile(const std::wstring& path);
    virtual bool RemoveEmptyFolder(const std::wstring& path);
    virtual bool IsFolder(const std::wstring& path);
    virtual bool IsLink(const std::wstring& path);
};

// Unregister mode under the per-user folder `appData`: deletes the two list files, removes the
// player's folders and the shared "Kestrum" folder when they are empty, then deletes the
// per-user key with "RegDeleteTreeW" of "Advapi32.dll" when the system has it. A list file
// that cannot be deleted ends the mode there, and so does a link in place of one of the
// folders: nothing is deleted through it. True when the folders are gone and the key was
// deleted. Nothing is told to the user.
bool UnregisterUser(const std::wstring& appData, UserFiles& files);

}  // namespace uninstall
