#include "testing/program_driver.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/image.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

std::string RunCommand(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) {
            output.append(buffer, n);
        }
        ::pclose(pipe);
    }
    while (!output.empty() && std::isspace(static_cast<unsigned char>(output.back()))) {
        output.pop_back();
    }
    return output;
}

double ImageDifference(const wxImage& a, const wxImage& b) {
    if (!a.IsOk() || !b.IsOk() || a.GetSize() != b.GetSize()) {
        return 1;
    }
    const unsigned char* pa = a.GetData();
    const unsigned char* pb = b.GetData();
    const long pixels = static_cast<long>(a.GetWidth()) * a.GetHeight();
    long differ = 0;
    for (long i = 0; i < pixels; ++i) {
        differ += (pa[3 * i] != pb[3 * i] || pa[3 * i + 1] != pb[3 * i + 1] ||
                   pa[3 * i + 2] != pb[3 * i + 2])
                      ? 1
                      : 0;
    }
    return pixels ? static_cast<double>(differ) / pixels : 0;
}

ProgramDriver::~ProgramDriver() {
    if (pid_ > 0 && !WaitForExit(std::chrono::milliseconds(0))) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (errorPipe_ >= 0) {
        ::close(errorPipe_);
    }
}

bool ProgramDriver::Start(const std::filesystem::path& program,
                          const std::vector<std::string>& arguments,
                          const std::vector<std::string>& extraEnvironment) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    std::vector<std::string> args{program.string()};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        env.emplace_back(*e);
    }
    env.insert(env.end(), extraEnvironment.begin(), extraEnvironment.end());
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    const int rc =
        ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    errorPipe_ = fds[0];
    if (rc != 0) {
        pid_ = -1;
        return false;
    }
    return true;
}

std::optional<unsigned long> ProgramDriver::WaitForWindow(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        std::string ids = RunCommand("xdotool search --onlyvisible --pid " + std::to_string(pid_) +
                                     " 2>/dev/null");
        if (!ids.empty()) {
            // The last one listed is the top-level window.
            const std::size_t last = ids.find_last_of('\n');
            return std::stoul(last == std::string::npos ? ids : ids.substr(last + 1));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return std::nullopt;
}

bool ProgramDriver::SendKeys(unsigned long window, const std::string& keys) {
    const std::string id = std::to_string(window);
    RunCommand("xdotool windowfocus --sync " + id + " 2>/dev/null");
    return std::system(("xdotool key --clearmodifiers " + keys + " 2>/dev/null").c_str()) == 0;
}

wxImage ProgramDriver::Capture(unsigned long window) {
    std::string geometry =
        RunCommand("xdotool getwindowgeometry --shell " + std::to_string(window) + " 2>/dev/null");
    int x = 0, y = 0, w = 0, h = 0;
    for (std::size_t at = 0; at < geometry.size();) {
        std::size_t end = geometry.find('\n', at);
        const std::string line = geometry.substr(at, end - at);
        std::sscanf(line.c_str(), "X=%d", &x);
        std::sscanf(line.c_str(), "Y=%d", &y);
        std::sscanf(line.c_str(), "WIDTH=%d", &w);
        std::sscanf(line.c_str(), "HEIGHT=%d", &h);
        at = end == std::string::npos ? geometry.size() : end + 1;
    }
    if (w <= 0 || h <= 0) {
        return {};
    }
    // Straight from the X server: the toolkit's own screen reading may give a stale picture
    // of another program's window.
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        return {};
    }
    wxImage picture;
    if (XImage* image =
            XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(w),
                      static_cast<unsigned>(h), AllPlanes, ZPixmap)) {
        picture.Create(w, h, false);
        unsigned char* out = picture.GetData();
        for (int row = 0; row < h; ++row) {
            for (int col = 0; col < w; ++col) {
                const unsigned long pixel = XGetPixel(image, col, row);
                *out++ = static_cast<unsigned char>((pixel & image->red_mask) >> 16);
                *out++ = static_cast<unsigned char>((pixel & image->green_mask) >> 8);
                *out++ = static_cast<unsigned char>(pixel & image->blue_mask);
            }
        }
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return picture;
}

std::optional<std::string> ProgramDriver::ReadErrorLine(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        std::size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return line;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || errorPipe_ < 0) {
            return std::nullopt;
        }
        pollfd p{errorPipe_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            return std::nullopt;
        }
        char buffer[512];
        const ssize_t n = ::read(errorPipe_, buffer, sizeof buffer);
        if (n <= 0) {
            return std::nullopt;
        }
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

std::optional<int> ProgramDriver::WaitForExit(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) {
        return std::nullopt;
    }
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (Clock::now() >= deadline) {
            return std::nullopt;
        }
        // Keep its error stream drained so the program never blocks writing to it.
        ReadErrorLine(std::chrono::milliseconds(20));
    }
}

namespace {

std::string ReadProcFile(pid_t pid, const char* name) {
    std::string content;
    const std::string path = "/proc/" + std::to_string(pid) + "/" + name;
    if (FILE* file = std::fopen(path.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, file)) {
            content.append(buffer, n);
        }
        std::fclose(file);
    }
    return content;
}

}  // namespace

std::chrono::milliseconds ProgramDriver::CpuTime() const {
    const std::string content = ReadProcFile(pid_, "stat");
    // After the command name (in parentheses) come the state (field 3) ... utime (14), stime (15).
    const std::size_t close = content.rfind(')');
    unsigned long long utime = 0, stime = 0;
    if (close == std::string::npos ||
        std::sscanf(content.c_str() + close + 1,
                    " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime,
                    &stime) != 2) {
        return {};
    }
    const long ticks = ::sysconf(_SC_CLK_TCK);
    return std::chrono::milliseconds(static_cast<long long>((utime + stime) * 1000 / ticks));
}

namespace {

// The number after "name:" in a /proc file of the program, 0 when missing.
long ProcField(pid_t pid, const char* file, const std::string& name) {
    const std::string content = ReadProcFile(pid, file);
    const std::size_t at = content.find("\n" + name + ":");
    long kib = 0;
    if (at != std::string::npos) {
        std::sscanf(content.c_str() + at + name.size() + 2, "%ld", &kib);
    }
    return kib;
}

}  // namespace

long ProgramDriver::ResidentKiB() const {
    return ProcField(pid_, "status", "VmRSS");
}

long ProgramDriver::ProportionalKiB() const {
    return ProcField(pid_, "smaps_rollup", "Pss");
}

long ProgramDriver::PrivateKiB() const {
    return ProcField(pid_, "smaps_rollup", "Anonymous");
}
