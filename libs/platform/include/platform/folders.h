#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/types.h"

// Folders and file-system operations in the shape of the Windows calls the programs make.
// Paths may use "\" or "/"; failures return false and set the thread's last error (errors.h).
namespace platform {

// The per-user application-data folder ($XDG_DATA_HOME, default ~/.local/share), created when
// missing, without a trailing separator. Empty when it cannot be found or made.
std::wstring GetAppDataFolder();

// The per-user temporary folder, with a trailing separator, as GetTempPath gives it ($TMPDIR,
// default /tmp).
std::wstring GetTempFolder();

// The full path of the running program (GetModuleFileName of the program itself).
std::wstring GetProgramPath();
// The folder of the running program, with a trailing separator.
std::wstring GetProgramFolder();

// PathIsDirectory.
bool IsDirectory(const wchar_t* path);
// True when anything exists at `path`.
bool PathExists(const wchar_t* path);
// True when `path` itself is a symbolic link (whatever it points to, if anything).
bool IsSymbolicLink(const wchar_t* path);
// CreateDirectory: one level; 183 when it exists, 3 when the parent is missing.
bool MakeDirectory(const wchar_t* path);
// DeleteFile: a file, not a folder.
bool RemoveFile(const wchar_t* path);
// RemoveDirectory: an empty folder; 145 when it is not empty.
bool RemoveEmptyDirectory(const wchar_t* path);
// CopyFile: copies the bytes and the permission bits; with failIfExists an existing target
// gives 80. The target is replaced atomically.
bool CopyFileTo(const wchar_t* from, const wchar_t* to, bool failIfExists);

// True when both paths name the same existing file (the same file identity, whatever the
// names).
bool IsSameFile(const wchar_t* a, const wchar_t* b);
// Gives `path` the permission bits of `model`, with at least owner execute, so a copied
// program can run. Nothing to do where files carry no such bits.
bool MakeExecutableLike(const wchar_t* path, const wchar_t* model);

// One entry found by FileFinder.
struct FindData {
    std::wstring name;  // the name alone, without its folder
    bool isDirectory = false;
    std::uint64_t size = 0;
};

// FindFirstFile/FindNextFile: lists the entries of a folder whose names match the pattern's
// last component ("*" and "?", without regard to case), skipping "." and "..".
class FileFinder {
  public:
    FileFinder();
    ~FileFinder();
    FileFinder(const FileFinder&) = delete;
    FileFinder& operator=(const FileFinder&) = delete;

    // False with last error 2 (nothing matches) or 3 (no such folder).
    bool FindFirst(const wchar_t* pattern);
    // False with last error 18 when there is nothing more.
    bool FindNext();
    const FindData& Current() const { return current_; }
    void Close();

  private:
    struct State;
    std::unique_ptr<State> state_;
    FindData current_;
};

}  // namespace platform
