#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/folders.h"
#include "platform/text.h"

namespace platform {
namespace {

bool Fail(DWORD code) {
    SetLastError(code);
    return false;
}

bool Succeed() {
    SetLastError(kErrorSuccess);
    return true;
}

std::string Native(const wchar_t* path) {
    return path ? NativePath(path) : std::string();
}

// ENOENT on the entry itself is "file not found"; a missing folder above it is "path not
// found", as Windows tells them apart.
DWORD PathError(int err, const std::string& native) {
    if (err == ENOENT) {
        std::filesystem::path parent = std::filesystem::path(native).parent_path();
        std::error_code ec;
        if (!parent.empty() && !std::filesystem::is_directory(parent, ec)) {
            return kErrorPathNotFound;
        }
        return kErrorFileNotFound;
    }
    return ErrorFromErrno(err);
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home) {
        return home;
    }
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) {
        return pw->pw_dir;
    }
    return {};
}

std::string StripTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

// Windows wildcard match without regard to case: "*" any run, "?" one character.
bool WildcardMatch(std::wstring_view pattern, std::wstring_view name) {
    std::size_t p = 0, n = 0, star = std::wstring_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            mark = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == L'?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::wstring_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

std::wstring GetAppDataFolder() {
    std::string base;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/') {
        base = xdg;
    } else {
        std::string home = HomeFolder();
        if (home.empty()) {
            SetLastError(kErrorPathNotFound);
            return {};
        }
        base = home + "/.local/share";
    }
    base = StripTrailingSlashes(base);
    std::error_code ec;
    std::filesystem::create_directories(base, ec);
    if (!std::filesystem::is_directory(base, ec)) {
        SetLastError(kErrorPathNotFound);
        return {};
    }
    return WidePath(base);
}

std::wstring GetTempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string base = (tmp && *tmp == '/') ? tmp : "/tmp";
    base = StripTrailingSlashes(base);
    if (base != "/") {
        base += '/';
    }
    return WidePath(base);
}

std::wstring GetProgramPath() {
    std::vector<char> buffer(512);
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            SetLastError(ErrorFromErrno(errno));
            return {};
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            return WidePath(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring GetProgramFolder() {
    std::wstring path = GetProgramPath();
    std::size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

bool IsDirectory(const wchar_t* path) {
    struct stat st {};
    std::string native = Native(path);
    return !native.empty() && ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(const wchar_t* path) {
    struct stat st {};
    std::string native = Native(path);
    return !native.empty() && ::stat(native.c_str(), &st) == 0;
}

bool IsSymbolicLink(const wchar_t* path) {
    struct stat st {};
    std::string native = StripTrailingSlashes(Native(path));
    return !native.empty() && ::lstat(native.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool MakeDirectory(const wchar_t* path) {
    std::string native = Native(path);
    if (native.empty()) {
        return Fail(kErrorPathNotFound);
    }
    if (::mkdir(native.c_str(), 0777) != 0) {
        return Fail(errno == ENOENT ? kErrorPathNotFound : ErrorFromErrno(errno));
    }
    return Succeed();
}

bool RemoveFile(const wchar_t* path) {
    std::string native = Native(path);
    if (native.empty()) {
        return Fail(kErrorPathNotFound);
    }
    if (::unlink(native.c_str()) != 0) {
        return Fail(PathError(errno, native));
    }
    return Succeed();
}

bool RemoveEmptyDirectory(const wchar_t* path) {
    std::string native = StripTrailingSlashes(Native(path));
    if (native.empty()) {
        return Fail(kErrorPathNotFound);
    }
    if (::rmdir(native.c_str()) != 0) {
        int err = errno;
        if (err == ENOTDIR) {
            struct stat st {};
            return Fail(::stat(native.c_str(), &st) == 0 ? kErrorDirectory : kErrorPathNotFound);
        }
        return Fail(err == EEXIST ? kErrorDirNotEmpty : PathError(err, native));
    }
    return Succeed();
}

bool CopyFileTo(const wchar_t* from, const wchar_t* to, bool failIfExists) {
    std::string source = Native(from);
    std::string target = Native(to);
    if (source.empty() || target.empty()) {
        return Fail(kErrorPathNotFound);
    }
    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return Fail(PathError(errno, source));
    }
    struct stat st {};
    if (::fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(in);
        return Fail(kErrorAccessDenied);
    }
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        if (failIfExists) {
            ::close(in);
            return Fail(kErrorFileExists);
        }
        if (S_ISDIR(existing.st_mode)) {
            ::close(in);
            return Fail(kErrorAccessDenied);
        }
    }
    std::string temp = target + ".XXXXXX";
    int out = ::mkostemp(temp.data(), O_CLOEXEC);
    if (out < 0) {
        DWORD code = PathError(errno, target);
        ::close(in);
        return Fail(code);
    }
    std::vector<char> buffer(64 * 1024);
    int err = 0;
    for (;;) {
        ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            err = n < 0 ? errno : 0;
            break;
        }
        for (ssize_t done = 0; done < n && err == 0;) {
            ssize_t w = ::write(out, buffer.data() + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno == EINTR) {
                continue;
            }
            if (w <= 0) {
                err = w < 0 ? errno : ENOSPC;
                break;
            }
            done += w;
        }
        if (err != 0) {
            break;
        }
    }
    ::close(in);
    if (err == 0 && ::fchmod(out, st.st_mode & 07777) != 0) {
        err = errno;
    }
    if (::close(out) != 0 && err == 0) {
        err = errno;
    }
    if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0) {
        err = errno;
    }
    if (err != 0) {
        ::unlink(temp.c_str());
        return Fail(ErrorFromErrno(err));
    }
    return Succeed();
}

bool IsSameFile(const wchar_t* a, const wchar_t* b) {
    struct stat sa {};
    struct stat sb {};
    std::string na = Native(a);
    std::string nb = Native(b);
    return !na.empty() && !nb.empty() && ::stat(na.c_str(), &sa) == 0 &&
           ::stat(nb.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool MakeExecutableLike(const wchar_t* path, const wchar_t* model) {
    struct stat st {};
    std::string target = Native(path);
    std::string source = Native(model);
    if (::stat(source.c_str(), &st) != 0 && ::stat(target.c_str(), &st) != 0) {
        return Fail(PathError(errno, target));
    }
    mode_t mode = (st.st_mode & 0777) | S_IRUSR | S_IWUSR;
    if ((mode & 0111) == 0) {
        mode |= S_IXUSR;
    }
    if (::chmod(target.c_str(), mode) != 0) {
        return Fail(PathError(errno, target));
    }
    return Succeed();
}

struct FileFinder::State {
    DIR* dir = nullptr;
    std::string folder;
    std::wstring pattern;
};

FileFinder::FileFinder() = default;

FileFinder::~FileFinder() {
    Close();
}

void FileFinder::Close() {
    if (state_ && state_->dir) {
        ::closedir(state_->dir);
    }
    state_.reset();
}

bool FileFinder::FindFirst(const wchar_t* pattern) {
    Close();
    std::wstring full = pattern ? pattern : L"";
    std::size_t cut = full.find_last_of(L"\\/");
    auto state = std::make_unique<State>();
    state->folder = cut == std::wstring::npos ? std::string(".") : NativePath(full.substr(0, cut));
    if (state->folder.empty()) {
        state->folder = "/";
    }
    state->pattern = cut == std::wstring::npos ? full : full.substr(cut + 1);
    if (state->pattern == L"*.*") {
        state->pattern = L"*";
    }
    if (state->pattern.empty()) {
        return Fail(kErrorFileNotFound);
    }
    state->dir = ::opendir(state->folder.c_str());
    if (!state->dir) {
        return Fail(errno == ENOENT || errno == ENOTDIR ? kErrorPathNotFound
                                                        : ErrorFromErrno(errno));
    }
    state_ = std::move(state);
    if (!FindNext()) {
        Close();
        return Fail(kErrorFileNotFound);
    }
    return true;
}

bool FileFinder::FindNext() {
    if (!state_ || !state_->dir) {
        return Fail(kErrorNoMoreFiles);
    }
    while (const dirent* entry = ::readdir(state_->dir)) {
        std::string_view raw = entry->d_name;
        if (raw == "." || raw == "..") {
            continue;
        }
        std::wstring name = WidePath(raw);
        if (!WildcardMatch(state_->pattern, name)) {
            continue;
        }
        struct stat st {};
        std::string native = state_->folder + "/" + std::string(raw);
        if (::stat(native.c_str(), &st) != 0 && ::lstat(native.c_str(), &st) != 0) {
            continue;
        }
        current_.name = std::move(name);
        current_.isDirectory = S_ISDIR(st.st_mode);
        current_.size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
        return Succeed();
    }
    return Fail(kErrorNoMoreFiles);
}

}  // namespace platform
