#pragma once

#include <string>

#include "platform/types.h"

// What an installation records under the local machine besides what register mode writes: the
// system's uninstall entry with the command that removes the installation. The installation
// writes it; the removal takes it away again with the install key.
namespace uninstall {

struct UninstallEntry {
    std::wstring installLocation;
    std::wstring removalCommand;
};

// Creates or replaces the uninstall entry of the product. A Windows result code.
platform::LONG RecordUninstallEntry(const UninstallEntry& entry);

// Deletes the uninstall entry and the install key, then every key above them that is left
// with no values and no subkeys. A Windows result code; keys already gone are no failure.
platform::LONG ForgetInstallation();

}  // namespace uninstall
