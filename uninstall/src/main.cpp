// Uninstall: registers the installation, removes the per-user settings, or hands the removal
// of the installation to the system.
#include <clocale>
#include <string>
#include <vector>

#include "platform/folders.h"
#include "platform/text.h"
#include "uninstall_app.h"
#include "wx_prompts.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(platform::WideFromUtf8(argv[i]));
    }
    uninstall::WxPrompts prompts(argc, argv);
    uninstall::UserFiles files;
    uninstall::CUninstallApp app(prompts, files);
    app.Run(arguments, platform::GetProgramPath());
    return 0;
}
