#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "file_factory.h"
#include "platform/text.h"
#include "test_files.h"
#include "tovi.h"
#include "tovi/testing/files.h"

namespace {

using tovi::testing::Bytes;
using tovi::testing::HexBytes;

const std::wstring kNotSwf = L"抱歉,目前播放器还无法播放您所要求打开的文档";
const std::wstring kMissing =
    L"播放器部分组件丢失, 无法获取SWF文件信息, 重新安装可能会解决这个问题";

// The frame rectangle as a bit stream: 5 bits of width, then four signed fields.
Bytes Rect(unsigned nbits, std::int64_t xmin, std::int64_t xmax, std::int64_t ymin,
           std::int64_t ymax) {
    std::vector<bool> bits;
    auto put = [&](std::uint64_t v, unsigned n) {
        for (unsigned i = n; i-- > 0;) {
            bits.push_back((v >> i) & 1);
        }
    };
    put(nbits, 5);
    for (std::int64_t f : {xmin, xmax, ymin, ymax}) {
        put(static_cast<std::uint64_t>(f), nbits);
    }
    Bytes out((bits.size() + 7) / 8);
    for (std::size_t i = 0; i < bits.size(); ++i) {
        out[i / 8] |= static_cast<std::uint8_t>(bits[i] << (7 - i % 8));
    }
    return out;
}

Bytes Swf(const Bytes& rect, const std::string& rateHex, const std::string& countHex,
          const std::string& head = "46 57 53 0A 64 00 00 00") {
    Bytes out = HexBytes(head);
    out.insert(out.end(), rect.begin(), rect.end());
    for (const std::string& hex : {rateHex, countHex}) {
        Bytes b = HexBytes(hex);
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

class SwfInfoTest : public ::testing::Test {
  protected:
    void TearDown() override {
        tovi::SetFileFactory(nullptr);
        ::unsetenv("TOVI_LIBRARY_DIR");
    }

    stu_SwfInfo Info(const Bytes& bytes) {
        tovi::testing::WriteFileBytes(dir_ / "movie.swf", bytes);
        stu_SwfInfo info;
        EXPECT_EQ(GetSwfInfo(&info, Path().c_str()), 1);
        return info;
    }

    // The text GetSwfInfo throws for `path`, or "" when it returns.
    std::wstring Thrown(const std::wstring& path) {
        stu_SwfInfo info;
        try {
            GetSwfInfo(&info, path.c_str());
        } catch (const wchar_t* text) {
            return text;
        }
        return L"";
    }

    std::wstring Path() const { return platform::WidePath((dir_ / "movie.swf").string()); }

    tovi::testing::TempDir dir_;
};

TEST_F(SwfInfoTest, ReadsTheHeaderOfUncompressedMovies) {
    struct Case {
        const char* label;
        Bytes bytes;
        stu_SwfInfo expected;
    } cases[] = {
        {"550x400 at 24 fps",
         Swf(HexBytes("78 00 05 5F 00 00 0F A0 00"), "00 18", "F0 00"),
         {550, 400, 240, 24, 10, 10, 100, 0}},
        {"1920x1080",
         Swf(HexBytes("88 00 01 2C 00 00 00 2A 30 00"), "00 1E", "10 0E"),
         {1920, 1080, 3600, 30, 10, 120, 100, 0}},
        {"negative Xmin",
         Swf(Rect(15, -20, 11000, 0, 8000), "00 0C", "18 00"),
         {551, 400, 24, 12, 10, 2, 100, 0}},
        {"12.5 fps",
         Swf(Rect(15, 0, 11000, 0, 8000), "80 0C", "19 00"),
         {550, 400, 25, 12, 10, 2, 100, 0}},
        {"below one frame per second",
         Swf(Rect(15, 0, 11000, 0, 8000), "80 00", "05 00"),
         {550, 400, 5, 0, 10, 0, 100, 0}},
        {"31-bit fields",
         Swf(Rect(31, -1000000000, 1000000000, 0, 1073741823), "00 01", "01 00"),
         {100000000, 53687091, 1, 1, 10, 1, 100, 0}},
        {"empty rectangle",
         Swf(Rect(0, 0, 0, 0, 0), "00 0C", "0C 00"),
         {0, 0, 12, 12, 10, 1, 100, 0}},
        // Bytes missing at the end count as 0.
        {"cut after the rectangle",
         Swf(HexBytes("78 00 05 5F 00 00 0F A0 00"), "00 18", ""),
         {550, 400, 0, 24, 10, 0, 100, 0}},
    };
    for (const Case& c : cases) {
        stu_SwfInfo info = Info(c.bytes);
        const stu_SwfInfo& e = c.expected;
        EXPECT_EQ(info.nWidth, e.nWidth) << c.label;
        EXPECT_EQ(info.nHeight, e.nHeight) << c.label;
        EXPECT_EQ(info.nFrameCount, e.nFrameCount) << c.label;
        EXPECT_EQ(info.nFrameRate, e.nFrameRate) << c.label;
        EXPECT_EQ(info.nVersion, e.nVersion) << c.label;
        EXPECT_EQ(info.nDuration, e.nDuration) << c.label;
        EXPECT_EQ(info.nFileLength, e.nFileLength) << c.label;
        EXPECT_EQ(info.bCompressed, e.bCompressed) << c.label;
    }
}

TEST_F(SwfInfoTest, CompressedMovieGivesOnlyVersionAndLength) {
    stu_SwfInfo info = Info(HexBytes("43 57 53 0F 39 30 01 00 78 9C 01 02 03"));
    EXPECT_EQ(info.bCompressed, 1);
    EXPECT_EQ(info.nVersion, 15);
    EXPECT_EQ(info.nFileLength, 0x013039);
    EXPECT_EQ(info.nWidth | info.nHeight | info.nFrameRate | info.nFrameCount | info.nDuration, 0);
}

TEST_F(SwfInfoTest, FlashVideoGetsTheFixedStageWithoutOpeningTheFile) {
    stu_SwfInfo info;
    info.nVersion = 99;
    EXPECT_EQ(GetSwfInfo(&info, L"C:\\Movies\\none.FLV"), 1);
    EXPECT_EQ(info.nWidth, 550);
    EXPECT_EQ(info.nHeight, 400);
    EXPECT_EQ(info.nVersion, 0);
}

TEST_F(SwfInfoTest, RefusedFilesThrowTheirTexts) {
    struct Case {
        const char* hex;
    } refused[] = {{""}, {"46 57"}, {"46 57 58 0A"}, {"47 57 53 0A"}, {"46 58 53"}};
    for (const Case& c : refused) {
        tovi::testing::WriteFileBytes(dir_ / "movie.swf", HexBytes(c.hex));
        EXPECT_EQ(Thrown(Path()), kNotSwf) << c.hex;
    }
    EXPECT_EQ(Thrown(platform::WidePath((dir_ / "none.swf").string())), L"打开文件失败!");
}

TEST_F(SwfInfoTest, MissingLibraryFailsAlsoForCompressedMovies) {
    ::setenv("TOVI_LIBRARY_DIR", (dir_ / "nolib").c_str(), 1);
    for (const char* hex : {"43 57 53 0A 10 00 00 00", "46 57 53 0A 10 00 00 00 78 00"}) {
        tovi::testing::WriteFileBytes(dir_ / "movie.swf", HexBytes(hex));
        EXPECT_EQ(Thrown(Path()), kMissing) << hex;
    }
    // The signature is checked first.
    tovi::testing::WriteFileBytes(dir_ / "movie.swf", HexBytes("47 57 53"));
    EXPECT_EQ(Thrown(Path()), kNotSwf);
}

TEST_F(SwfInfoTest, FileLayerErrorIsThrownAsItsOwnText) {
    tovi::testing::WriteFileBytes(dir_ / "movie.swf",
                                  Swf(HexBytes("78 00 05 5F 00 00 0F A0 00"), "00 18", "F0 00"));
    tovi::SetFileFactory([] {
        return std::make_unique<tovi::testing::FailingFile>(9, 0, platform::kErrorGenFailure);
    });
    const std::wstring text = Thrown(Path());
    platform::FileException expected(platform::FileException::hardIO, platform::kErrorGenFailure,
                                     Path());
    EXPECT_EQ(text, expected.GetErrorMessage());
    EXPECT_LE(text.size(), 255u);
}

}  // namespace
