// Any bytes as a terms file: the loader refuses or reads them, never crashes or runs away.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>

#include "roles_text.h"

namespace {

// The input goes through a file of this process, removed at exit.
struct ScratchFile {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("roles_text_fuzzer_" + std::to_string(::getpid()) + ".dat");
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile scratch;
    const std::filesystem::path& file = scratch.path;
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::optional<wxString> text = terms::LoadRolesText(file.wstring());
    if (text && text->length() > size) {
        __builtin_trap();  // never more text than the file holds
    }
    return 0;
}
