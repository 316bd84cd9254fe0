#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "platform/shell.h"
#include "platform/text.h"

extern char** environ;

namespace platform {
namespace {

constexpr std::intptr_t kStarted = 42;
constexpr std::intptr_t kFileNotFound = 2;
constexpr std::intptr_t kPathNotFound = 3;
constexpr std::intptr_t kAccessDenied = 5;
constexpr std::intptr_t kBadFormat = 11;
constexpr std::intptr_t kNoAssociation = 31;

std::mutex g_recorderMutex;
std::function<void(const ShellRequest&)> g_recorder;

bool IsUrl(std::wstring_view s) {
    std::size_t colon = s.find(L':');
    if (colon == std::wstring_view::npos || colon < 2) {
        return false;  // "C:" is a drive, not a scheme
    }
    for (std::size_t i = 0; i < colon; ++i) {
        wchar_t c = s[i];
        bool alpha = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
        bool other = (c >= L'0' && c <= L'9') || c == L'+' || c == L'.' || c == L'-';
        if (!alpha && !(i > 0 && other)) {
            return false;
        }
    }
    return true;
}

bool IsProgramFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || !(st.st_mode & 0111)) {
        return false;
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char head[4] = {};
    ssize_t n = ::read(fd, head, sizeof head);
    ::close(fd);
    return (n == 4 && head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' && head[3] == 'F') ||
           (n >= 2 && head[0] == '#' && head[1] == '!');
}

// The entry of `folder` named `name` without regard to case; empty when none.
std::string MatchInFolder(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) {
        return {};
    }
    std::string found;
    std::wstring wanted = WidePath(name);
    while (const dirent* entry = ::readdir(dir)) {
        if (EqualsNoCase(WidePath(entry->d_name), wanted)) {
            found = (folder.empty() ? std::string() : folder + "/") + entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

std::string StripExe(const std::string& name) {
    if (name.size() > 4 && EqualsNoCase(WidePath(name.substr(name.size() - 4)), L".exe")) {
        return name.substr(0, name.size() - 4);
    }
    return name;
}

// Finds what a Windows-style file name stands for here: the file itself, the same name
// without ".exe", either without regard to case, or a program on PATH for a bare name.
std::string Resolve(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        return path;
    }
    std::filesystem::path p(path);
    std::string folder = p.parent_path().string();
    std::string name = p.filename().string();
    for (const std::string& candidate : {name, StripExe(name)}) {
        std::string found = MatchInFolder(folder, candidate);
        if (!found.empty()) {
            return found;
        }
    }
    if (folder.empty()) {
        const char* env = std::getenv("PATH");
        std::string dirs = env ? env : "/usr/bin:/bin";
        std::size_t start = 0;
        while (start <= dirs.size()) {
            std::size_t cut = dirs.find(':', start);
            std::string dir = dirs.substr(start, cut == std::string::npos ? cut : cut - start);
            for (const std::string& candidate : {name, StripExe(name)}) {
                std::string full = (dir.empty() ? "." : dir) + "/" + candidate;
                if (IsProgramFile(full)) {
                    return full;
                }
            }
            if (cut == std::string::npos) {
                break;
            }
            start = cut + 1;
        }
    }
    return {};
}

std::string FindOnPath(const std::string& program) {
    const char* env = std::getenv("PATH");
    std::string dirs = env ? env : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t cut = dirs.find(':', start);
        std::string dir = dirs.substr(start, cut == std::string::npos ? cut : cut - start);
        std::string full = (dir.empty() ? "." : dir) + "/" + program;
        if (::access(full.c_str(), X_OK) == 0) {
            return full;
        }
        if (cut == std::string::npos) {
            break;
        }
        start = cut + 1;
    }
    return {};
}

// Starts the request detached (the grandchild of a short-lived child, so no zombie stays) and
// reports whether exec succeeded.
std::intptr_t Start(const ShellRequest& request) {
    std::vector<std::string> args;
    args.push_back(request.program);
    args.insert(args.end(), request.arguments.begin(), request.arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return kNoAssociation;
    }
    pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return kNoAssociation;
    }
    if (child == 0) {
        ::close(fds[0]);
        ::setsid();
        pid_t grandchild = ::fork();
        if (grandchild != 0) {
            ::_exit(grandchild < 0 ? 1 : 0);
        }
        if (!request.directory.empty() && ::chdir(request.directory.c_str()) != 0) {
            // Stay where we are, as ShellExecute does with a bad folder.
        }
        ::execve(request.program.c_str(), argv.data(), environ);
        int err = errno;
        ssize_t ignored = ::write(fds[1], &err, sizeof err);
        (void)ignored;
        ::_exit(127);
    }
    ::close(fds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n;
    do {
        n = ::read(fds[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    ::close(fds[0]);
    if (n == static_cast<ssize_t>(sizeof err)) {
        return err == EACCES ? kAccessDenied : err == ENOEXEC ? kBadFormat : kFileNotFound;
    }
    return kStarted;
}

std::intptr_t Dispatch(const ShellRequest& request) {
    {
        std::lock_guard<std::mutex> lock(g_recorderMutex);
        if (g_recorder) {
            g_recorder(request);
            return kStarted;
        }
    }
    return Start(request);
}

std::intptr_t OpenWithDesktop(const std::string& target, const std::string& directory) {
    ShellRequest request;
    request.program = FindOnPath("xdg-open");
    {
        std::lock_guard<std::mutex> lock(g_recorderMutex);
        if (request.program.empty() && g_recorder) {
            request.program = "xdg-open";
        }
    }
    if (request.program.empty()) {
        return kNoAssociation;
    }
    request.arguments.push_back(target);
    request.directory = directory;
    return Dispatch(request);
}

}  // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view s) {
    std::vector<std::wstring> out;
    std::size_t i = 0;
    for (;;) {
        while (i < s.size() && (s[i] == L' ' || s[i] == L'\t')) {
            ++i;
        }
        if (i >= s.size()) {
            break;
        }
        std::wstring arg;
        bool quoted = false;
        while (i < s.size()) {
            wchar_t c = s[i];
            if (c == L'\\') {
                std::size_t slashes = 0;
                while (i < s.size() && s[i] == L'\\') {
                    ++slashes;
                    ++i;
                }
                if (i < s.size() && s[i] == L'"') {
                    // 2n backslashes and a quote: n backslashes, the quote groups; 2n+1: a quote.
                    arg.append(slashes / 2, L'\\');
                    if (slashes % 2) {
                        arg.push_back(L'"');
                        ++i;
                    }
                } else {
                    arg.append(slashes, L'\\');
                }
                continue;
            }
            if (c == L'"') {
                if (quoted && i + 1 < s.size() && s[i + 1] == L'"') {
                    arg.push_back(L'"');
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            if (!quoted && (c == L' ' || c == L'\t')) {
                break;
            }
            arg.push_back(c);
            ++i;
        }
        out.push_back(std::move(arg));
    }
    return out;
}

std::intptr_t ShellOpen(const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                        const wchar_t* directory, int showCommand) {
    (void)showCommand;
    if (verb != nullptr && *verb != 0 && !EqualsNoCase(verb, L"open")) {
        return kNoAssociation;
    }
    std::wstring target = file ? file : L"";
    if (target.empty()) {
        return kFileNotFound;
    }
    std::string dir = directory && *directory ? NativePath(directory) : std::string();
    if (IsUrl(target)) {
        return OpenWithDesktop(Utf8FromWide(target), dir);
    }
    std::string native = NativePath(target);
    std::string resolved = Resolve(native);
    if (resolved.empty()) {
        std::filesystem::path parent = std::filesystem::path(native).parent_path();
        std::error_code ec;
        return !parent.empty() && !std::filesystem::is_directory(parent, ec) ? kPathNotFound
                                                                             : kFileNotFound;
    }
    if (IsProgramFile(resolved)) {
        ShellRequest request;
        request.program = resolved;
        for (const std::wstring& arg : SplitCommandLine(parameters ? parameters : L"")) {
            request.arguments.push_back(Utf8FromWide(arg));
        }
        request.directory = dir;
        return Dispatch(request);
    }
    return OpenWithDesktop(resolved, dir);
}

void SetShellRecorder(std::function<void(const ShellRequest&)> recorder) {
    std::lock_guard<std::mutex> lock(g_recorderMutex);
    g_recorder = std::move(recorder);
}

}  // namespace platform
