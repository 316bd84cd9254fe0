#include "run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "tovi/testing/files.h"

namespace uninstall::testing {

Outcome RunProgram(const std::vector<std::string>& command,
                   const std::vector<std::string>& environment) {
    tovi::testing::TempDir dir;
    const std::filesystem::path outputFile = dir / "output.txt";
    std::vector<std::string> args = command;
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        for (const std::string& e : environment) {
            const std::size_t eq = e.find('=');
            ::setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
        }
        const int fd = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    Outcome outcome;
    int status = 0;
    if (::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        outcome.exitCode = WEXITSTATUS(status);
    }
    const tovi::testing::Bytes bytes = tovi::testing::ReadFileBytes(outputFile);
    outcome.output.assign(bytes.begin(), bytes.end());
    return outcome;
}

}  // namespace uninstall::testing
