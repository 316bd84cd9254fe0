#pragma once

#include <string>
#include <vector>

namespace uninstall {

enum class Mode { Register, Unregister, Uninstall };

// The mode a command line asks for (arguments without the program name). A switch begins with
// "/" or "-" and its letters may be in any case; the last register or unregister switch
// decides, and without one the mode is uninstall.
Mode ModeFromCommandLine(const std::vector<std::wstring>& arguments);

}  // namespace uninstall
