#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace uninstall::testing {

struct Outcome {
    int exitCode = -1;   // -1 when the program did not end normally
    std::string output;  // standard output and error together
};

// Runs a program and waits for it, with no display (a message box it tried to show goes to
// its error stream instead of waiting for a click) and with `environment` ("NAME=value")
// added to the test's own.
Outcome RunProgram(const std::vector<std::string>& command,
                   const std::vector<std::string>& environment = {});

}  // namespace uninstall::testing
