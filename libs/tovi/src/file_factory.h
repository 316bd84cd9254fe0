#pragma once

#include <functional>
#include <memory>

#include "platform/file.h"
#include "tovi.h"

namespace tovi {

// Where GetSwfInfo and the builder get their file objects. Tests replace it to act out a
// disk that fails; null restores the platform's files.
using FileFactory = std::function<std::unique_ptr<platform::File>()>;
TOVI_API void SetFileFactory(FileFactory factory);
std::unique_ptr<platform::File> MakeFile();

// The builder's pause before hiding the progress window, in milliseconds (1000).
TOVI_API void SetMakeExePause(int milliseconds);
int MakeExePause();

}  // namespace tovi
