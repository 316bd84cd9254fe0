#pragma once

#include "host/prompts.h"

// Every message box of the uninstaller goes through the prompts service of the host layer, so
// tests can answer it; the uninstaller asks no questions.
namespace uninstall {

// The title of the program's own message boxes.
inline constexpr wchar_t kProgramTitle[] = L"卸载ToviFLash播放器";

}  // namespace uninstall
