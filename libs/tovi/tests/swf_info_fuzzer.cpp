// Runs the SWF header reader on arbitrary bytes (held in memory): it returns or throws one of
// its texts, never anything else.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "file_factory.h"
#include "test_files.h"
#include "tovi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    tovi::SetFileFactory([&bytes] { return std::make_unique<tovi::testing::MemoryFile>(bytes); });
    stu_SwfInfo info{};
    try {
        if (GetSwfInfo(&info, L"movie.swf") != 1) {
            std::abort();
        }
        if (info.nFrameRate < 0 || info.nFrameRate > 255 || info.nFrameCount < 0 ||
            info.nFrameCount > 65535 || info.nDuration > info.nFrameCount) {
            std::abort();
        }
    } catch (const wchar_t* text) {
        if (text == nullptr || *text == 0) {
            std::abort();
        }
    }
    tovi::SetFileFactory(nullptr);
    return 0;
}
