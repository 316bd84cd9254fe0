// toviflash-setup: the installation's part of the records under the local machine.
//   toviflash-setup record <removal command>   records the uninstall entry
//   toviflash-setup forget                     deletes it and the install key
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "install_records.h"
#include "platform/error_text.h"
#include "platform/folders.h"
#include "platform/text.h"

namespace {

int Report(const char* what, platform::LONG result) {
    if (result == 0) {
        return 0;
    }
    std::fprintf(
        stderr, "toviflash-setup: %s: %s\n", what,
        platform::Utf8FromWide(platform::SystemErrorText(static_cast<platform::DWORD>(result)))
            .c_str());
    return 1;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: toviflash-setup record <removal command>\n"
                 "       toviflash-setup forget\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    if (argc == 3 && std::strcmp(argv[1], "record") == 0) {
        uninstall::UninstallEntry entry;
        entry.installLocation = platform::GetProgramFolder();
        entry.removalCommand = platform::WideFromUtf8(argv[2]);
        return Report("cannot record the uninstall entry", uninstall::RecordUninstallEntry(entry));
    }
    if (argc == 2 && std::strcmp(argv[1], "forget") == 0) {
        return Report("cannot delete the installation's records", uninstall::ForgetInstallation());
    }
    return Usage();
}
