#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class wxImage;

// Runs the real ToviFlash program under the X server of the calling process and drives it as
// a user would: its window is found and focused through xdotool, keys go to it, and what it
// shows is read back from the screen. The program inherits the caller's environment (the
// isolated folders of a test).
class ProgramDriver {
  public:
    ProgramDriver() = default;
    ~ProgramDriver();  // kills the program if it still runs
    ProgramDriver(const ProgramDriver&) = delete;
    ProgramDriver& operator=(const ProgramDriver&) = delete;

    // Starts `program` with `arguments`; `extraEnvironment` as "NAME=value". Its standard
    // error stream is kept for ReadErrorLine.
    bool Start(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const std::vector<std::string>& extraEnvironment = {});
    pid_t Pid() const { return pid_; }

    // Waits for the program's visible main window; its X id, or none.
    std::optional<unsigned long> WaitForWindow(std::chrono::milliseconds timeout);
    // Focuses the window and types keys in xdotool's notation ("ctrl+p").
    bool SendKeys(unsigned long window, const std::string& keys);
    // What the window shows now.
    wxImage Capture(unsigned long window);

    // A line the program wrote on its standard error stream, or none by the deadline.
    std::optional<std::string> ReadErrorLine(std::chrono::milliseconds timeout);

    // Waits for the program to end; its exit status, or none when it still runs.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);

    // CPU time (user + system) the program has used, and its resident memory in KiB.
    std::chrono::milliseconds CpuTime() const;
    long ResidentKiB() const;
    // Resident memory with shared pages divided among their users, and the program's own
    // anonymous memory (heap, stacks), in KiB.
    long ProportionalKiB() const;
    long PrivateKiB() const;

  private:
    pid_t pid_ = -1;
    int errorPipe_ = -1;
    std::string pending_;
};

// Runs a command through the shell and returns what it wrote, trailing blanks dropped.
std::string RunCommand(const std::string& command);
// Fraction of pixels that differ between two images of the same size (1 when sizes differ).
double ImageDifference(const wxImage& a, const wxImage& b);
