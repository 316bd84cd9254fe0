// Reads arbitrary bytes as a line file, without and with a line limit. Every call must either
// move on or report the end, so reading always finishes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Tovilib.h"
#include "platform/text.h"

namespace {

const std::string& ScratchFile() {
    static const std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/line-fuzz-XXXXXX";
        int fd = ::mkstemp(pattern.data());
        if (fd < 0) {
            std::abort();
        }
        ::close(fd);
        return pattern;
    }();
    return path;
}

void ReadAll(const std::wstring& name, platform::UINT limit, std::size_t size) {
    MyFileW file;
    if (!file.Open(name.c_str(), 0x8000)) {
        std::abort();
    }
    wxString line;
    std::size_t calls = 0;
    try {
        while (file.ReadLineW(&line, limit) >= 0) {
            // Each line takes at least one unit or its CR LF, the first also the mark.
            if (++calls > size) {
                std::abort();
            }
        }
    } catch (int) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchFile();
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        std::abort();
    }
    if (size) {
        std::fwrite(data, 1, size, out);
    }
    std::fclose(out);
    const std::wstring name = platform::WidePath(path);
    ReadAll(name, 0, size);
    ReadAll(name, size ? data[size - 1] % 4 : 1, size);
    return 0;
}
