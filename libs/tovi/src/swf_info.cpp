#include <cstdint>
#include <string>

#include "Tovilib.h"
#include "file_factory.h"
#include "platform/library.h"
#include "tovi.h"

namespace {

const wchar_t* const kOpenFailed = L"打开文件失败!";
const wchar_t* const kNotSwf = L"抱歉,目前播放器还无法播放您所要求打开的文档";
const wchar_t* const kComponentMissing =
    L"播放器部分组件丢失, 无法获取SWF文件信息, 重新安装可能会解决这个问题";

// The text of a file error, kept for the thread while the caller handles the throw.
thread_local std::wstring t_fileErrorText;

// Reads up to `count` bytes at the current position; missing bytes stay 0.
void ReadZeroFilled(platform::File& file, std::uint8_t* buffer, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        buffer[i] = 0;
    }
    file.Read(buffer, count);
}

// One signed rectangle field of `nbits` bits starting `bit` bits after offset 8.
std::int32_t ReadField(platform::File& file, PFN_b_MakeDword makeDword, unsigned bit,
                       unsigned nbits) {
    if (nbits == 0) {
        return 0;
    }
    file.Seek(8 + bit / 8, platform::File::begin);
    std::uint8_t b[5];
    const unsigned shift = bit % 8;
    // Fields wider than 25 bits may reach into a fifth byte.
    ReadZeroFilled(file, b, shift + nbits > 32 ? 5 : 4);
    if (shift + nbits <= 32) {
        b[4] = 0;
    }
    platform::DWORD word = 0;
    makeDword(&word, b[0], b[1], b[2], b[3]);
    const std::uint64_t window =
        (static_cast<std::uint64_t>(word) << 32) | (static_cast<std::uint64_t>(b[4]) << 24);
    const std::uint64_t raw = (window << shift) >> (64 - nbits);
    // Two's complement of nbits bits.
    const std::int64_t value = (raw & (std::uint64_t{1} << (nbits - 1)))
                                   ? static_cast<std::int64_t>(raw) - (std::int64_t{1} << nbits)
                                   : static_cast<std::int64_t>(raw);
    return static_cast<std::int32_t>(value / 20);
}

int ReadSwf(stu_SwfInfo* info, platform::File& file) {
    std::uint8_t sig[3] = {0, 0, 0};
    for (std::uint8_t& b : sig) {
        file.Read(&b, 1);
    }
    if (sig[1] != 0x57 || sig[2] != 0x53 || (sig[0] != 0x46 && sig[0] != 0x43)) {
        file.Close();
        throw kNotSwf;
    }
    info->bCompressed = sig[0] == 0x43 ? 1 : 0;
    std::uint8_t head[5];
    ReadZeroFilled(file, head, 1);
    info->nVersion = head[0];
    ReadZeroFilled(file, head, 4);
    info->nFileLength = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(head[0]) | (static_cast<std::uint32_t>(head[1]) << 8) |
        (static_cast<std::uint32_t>(head[2]) << 16) | (static_cast<std::uint32_t>(head[3]) << 24));

    platform::ModuleHandle library = platform::LoadModule(L"ToviLib.dll");
    auto makeDword =
        library ? platform::FindFunctionAs<PFN_b_MakeDword>(library, "b_MakeDword") : nullptr;
    if (makeDword == nullptr) {
        file.Close();
        throw kComponentMissing;
    }
    if (info->bCompressed) {
        file.Close();
        return 1;
    }

    file.Seek(8, platform::File::begin);
    ReadZeroFilled(file, head, 1);
    const unsigned nbits = head[0] >> 3;
    const unsigned rectBytes = (5 + 4 * nbits + 7) / 8;
    std::int32_t field[4];
    for (unsigned k = 0; k < 4; ++k) {
        field[k] = ReadField(file, makeDword, 5 + k * nbits, nbits);
    }
    info->nWidth = field[1] - field[0];
    info->nHeight = field[3] - field[2];

    file.Seek(8 + rectBytes, platform::File::begin);
    std::uint8_t rate[2];
    ReadZeroFilled(file, rate, 2);
    info->nFrameRate = rate[1];
    std::uint8_t count[2];
    ReadZeroFilled(file, count, 2);
    info->nFrameCount = count[0] | (count[1] << 8);
    // Below one frame per second there is no whole rate to divide by.
    info->nDuration = info->nFrameRate ? info->nFrameCount / info->nFrameRate : 0;
    file.Close();
    return 1;
}

}  // namespace

int GetSwfInfo(stu_SwfInfo* info, const wchar_t* path) {
    *info = stu_SwfInfo{};
    if (GetExternNameFromPath(path) == L".flv") {
        info->nWidth = 550;
        info->nHeight = 400;
        return 1;
    }
    std::unique_ptr<platform::File> file = tovi::MakeFile();
    if (!file->Open(path ? path : L"", platform::File::modeRead)) {
        throw kOpenFailed;
    }
    try {
        return ReadSwf(info, *file);
    } catch (const platform::FileException& e) {
        t_fileErrorText = e.GetErrorMessage();
        throw static_cast<const wchar_t*>(t_fileErrorText.c_str());
    }
}
