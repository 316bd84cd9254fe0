#include <gtest/gtest.h>

#include <vector>

#include "Tovilib.h"
#include "platform/text.h"
#include "tovi/testing/files.h"

namespace {

using tovi::testing::Bytes;
using tovi::testing::HexBytes;
using tovi::testing::ReadFileBytes;
using tovi::testing::TempDir;
using tovi::testing::WriteFileBytes;

constexpr platform::UINT kRead = 0x8000;
constexpr platform::UINT kRewrite = 0x9001;

class MyFileWTest : public ::testing::Test {
  protected:
    std::wstring Name() const { return platform::WidePath(file_.string()); }

    Bytes Write(const std::vector<std::wstring>& lines, std::vector<platform::UINT>* counts) {
        MyFileW file;
        EXPECT_TRUE(file.Open(Name().c_str(), kRewrite));
        for (const std::wstring& line : lines) {
            platform::UINT n = file.WriteLineW(line.c_str());
            if (counts) {
                counts->push_back(n);
            }
        }
        file.Close();
        return ReadFileBytes(file_);
    }

    // The lengths ReadLineW returns and the lines it gives, up to and including the -1.
    std::vector<std::pair<int, std::wstring>> Read(const Bytes& bytes, platform::UINT limit) {
        WriteFileBytes(file_, bytes);
        MyFileW file;
        EXPECT_TRUE(file.Open(Name().c_str(), kRead));
        std::vector<std::pair<int, std::wstring>> out;
        wxString line;
        for (int guard = 0; guard < 100; ++guard) {
            int n = file.ReadLineW(&line, limit);
            out.emplace_back(n, n < 0 ? L"" : line.ToStdWstring());
            if (n < 0) {
                break;
            }
        }
        return out;
    }

    TempDir dir_;
    std::filesystem::path file_ = dir_ / "history.ini";
};

TEST_F(MyFileWTest, WritesTheLineFileByteForByte) {
    struct Case {
        std::vector<std::wstring> lines;
        std::string hex;
        std::vector<platform::UINT> counts;
    } cases[] = {
        {{L"a", L"b"}, "FF FE 61 00 0D 00 0A 00 62 00", {1, 3}},
        {{L""}, "FF FE", {0}},
        {{L"", L"x"}, "FF FE 0D 00 0A 00 78 00", {0, 3}},
        // An empty line between two others stays a line.
        {{L"a", L"", L"b"}, "FF FE 61 00 0D 00 0A 00 0D 00 0A 00 62 00", {1, 2, 3}},
        {{L"a\r\n", L"b"}, "FF FE 61 00 0D 00 0A 00 62 00", {3, 1}},
        {{L"播放", L"\U0001F600"}, "FF FE AD 64 3E 65 0D 00 0A 00 3D D8 00 DE", {2, 3}},
        {{}, "", {}},
    };
    for (const Case& c : cases) {
        std::vector<platform::UINT> counts;
        EXPECT_EQ(Write(c.lines, &counts), HexBytes(c.hex)) << c.hex;
        EXPECT_EQ(counts, c.counts) << c.hex;
    }
}

TEST_F(MyFileWTest, ReadsLinesUntilMinusOne) {
    using Lines = std::vector<std::pair<int, std::wstring>>;
    struct Case {
        std::string hex;
        platform::UINT limit;
        Lines expected;
    } cases[] = {
        {"", 0, {{-1, L""}}},
        {"FF FE", 0, {{0, L""}, {-1, L""}}},
        {"FF FE 61 00 0D 00 0A 00 62 00", 0, {{1, L"a"}, {1, L"b"}, {-1, L""}}},
        {"FF FE 61 00 0D 00 0A 00", 0, {{1, L"a"}, {-1, L""}}},
        {"FF FE 61 00 0A 00 62 00", 0, {{3, L"a\nb"}, {-1, L""}}},
        {"FF FE 61 00 62 00 63 00 64 00 65 00 66 00", 3, {{3, L"abc"}, {2, L"ef"}, {-1, L""}}},
        // A single odd byte ends the last line.
        {"FF FE 61 00 62", 0, {{1, L"a"}, {-1, L""}}},
        // A CR as the very last unit: the line ends and so does the file.
        {"FF FE 61 00 0D 00", 0, {{1, L"a"}, {-1, L""}}},
        {"FF FE 3D D8 00 DE 0D 00 0A 00 AD 64", 0, {{1, L"\U0001F600"}, {1, L"播"}, {-1, L""}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Read(HexBytes(c.hex), c.limit), c.expected) << c.hex;
    }
}

TEST_F(MyFileWTest, FileWithoutByteOrderMarkThrowsOne) {
    for (const char* hex : {"61 00 62 00", "FE FF 00 61", "FF"}) {
        WriteFileBytes(file_, HexBytes(hex));
        MyFileW file;
        ASSERT_TRUE(file.Open(Name().c_str(), kRead));
        wxString line = "kept";
        try {
            file.ReadLineW(&line, 0);
            ADD_FAILURE() << hex << " must throw";
        } catch (int code) {
            EXPECT_EQ(code, 1);
        }
        EXPECT_EQ(file.m_nReadPos, 0u);
        EXPECT_EQ(line, "kept");
    }
}

TEST_F(MyFileWTest, CloseResetsTheStateForTheNextOpen) {
    MyFileW file;
    EXPECT_EQ(file.m_bLineStart, 1);
    ASSERT_TRUE(file.Open(Name().c_str(), kRewrite));
    file.WriteLineW(L"first");
    EXPECT_EQ(file.m_bLineStart, 0);
    EXPECT_EQ(file.m_nWritePos, 12u);
    file.Close();
    EXPECT_EQ(file.m_bLineStart, 1);
    EXPECT_EQ(file.m_nWritePos, 0u);
    EXPECT_TRUE(file.m_strLine.empty());
    ASSERT_TRUE(file.Open(Name().c_str(), kRewrite));
    file.WriteLineW(L"x");
    file.Close();
    EXPECT_EQ(ReadFileBytes(file_), HexBytes("FF FE 78 00"));

    platform::FileException error;
    EXPECT_FALSE(file.Open((Name() + L"\\missing\\x.ini").c_str(), kRead, &error));
    EXPECT_EQ(error.m_cause, platform::FileException::badPath);
}

TEST_F(MyFileWTest, WrittenLinesReadBack) {
    const std::vector<std::wstring> lines = {L"C:\\Movies\\a.swf", L"", L"/home/u/动画/b.flv"};
    Write(lines, nullptr);
    MyFileW file;
    ASSERT_TRUE(file.Open(Name().c_str(), kRead));
    wxString line;
    std::vector<std::wstring> got;
    while (file.ReadLineW(&line, 0) >= 0) {
        got.push_back(line.ToStdWstring());
    }
    EXPECT_EQ(got, lines);
}

}  // namespace
