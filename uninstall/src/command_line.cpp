#include "command_line.h"

#include "platform/text.h"

namespace uninstall {

Mode ModeFromCommandLine(const std::vector<std::wstring>& arguments) {
    Mode mode = Mode::Uninstall;
    for (const std::wstring& argument : arguments) {
        if (argument.size() < 2 || (argument[0] != L'/' && argument[0] != L'-')) {
            continue;
        }
        const std::wstring_view name = std::wstring_view(argument).substr(1);
        if (platform::EqualsNoCase(name, L"Register") ||
            platform::EqualsNoCase(name, L"Regserver")) {
            mode = Mode::Register;
        } else if (platform::EqualsNoCase(name, L"Unregister") ||
                   platform::EqualsNoCase(name, L"Unregserver")) {
            mode = Mode::Unregister;
        }
    }
    return mode;
}

}  // namespace uninstall
