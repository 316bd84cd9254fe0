#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include "file_factory.h"
#include "platform/messages.h"
#include "platform/text.h"
#include "standalone_trailer.h"
#include "test_files.h"
#include "tovi.h"
#include "tovi/testing/files.h"

namespace {

using tovi::testing::Bytes;
using tovi::testing::ReadFileBytes;
using tovi::testing::WriteFileBytes;

struct Message {
    platform::WPARAM wParam;
    bool hasText;
    std::wstring text;
    bool operator==(const Message&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Message& m) {
    return os << "(" << m.wParam << ", " << (m.hasText ? platform::Utf8FromWide(m.text) : "0")
              << ")";
}

// The receiving window: records each WM_MAKEEXE_NOTIFY as the progress window would see it.
class Receiver : public platform::MessageWindow {
  public:
    platform::LRESULT HandleMessage(platform::UINT message, platform::WPARAM wParam,
                                    platform::LPARAM lParam) override {
        EXPECT_EQ(message, WM_MAKEEXE_NOTIFY);
        making.push_back(g_blIsMaking);
        if (wParam == 0) {
            messages.push_back({0, false, lParam ? L"show" : L"hide"});
        } else if (lParam == 0) {
            messages.push_back({wParam, false, L""});
        } else {
            messages.push_back({wParam, true, reinterpret_cast<const wchar_t*>(lParam)});
        }
        return 0;
    }
    std::vector<Message> messages;
    std::vector<std::int32_t> making;
};

Bytes Pattern(std::size_t n, std::uint8_t seed) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) {
        b[i] = static_cast<std::uint8_t>(seed + i * 7);
    }
    return b;
}

Message Show() {
    return {0, false, L"show"};
}
Message Hide() {
    return {0, false, L"hide"};
}
Message Text(platform::WPARAM w, const std::wstring& t) {
    return {w, true, t};
}
Message Progress(platform::WPARAM w) {
    return {w, false, L""};
}

class MakeExeTest : public ::testing::Test {
  protected:
    void SetUp() override { tovi::SetMakeExePause(0); }
    void TearDown() override {
        tovi::SetFileFactory(nullptr);
        tovi::SetMakeExePause(1000);
        ::unsetenv("TOVI_LIBRARY_DIR");
    }

    std::wstring W(const std::string& name) const {
        return platform::WidePath((dir_ / name).string());
    }

    // Runs a build on a thread of its own and waits for it.
    void Build(const std::string& stub, const std::string& swf, const std::string& exe,
               std::int32_t width = 550, std::int32_t height = 400) {
        auto* p = new stu_MakeExeParam{W(stub), W(exe), W(swf), &receiver_, width, height};
        std::thread(MakeExeThreadProc, p).join();
        EXPECT_EQ(g_blIsMaking, 0);
    }

    std::vector<Message> Prelude() const {
        return {Show(), Text(5, L"正在创建可执行文件..."), Text(5, L"打开文件...")};
    }

    std::vector<Message> Failed(const std::wstring& systemText) const {
        auto m = Prelude();
        m.push_back(Text(1, L"生成独立播放器失败, " + systemText));
        m.push_back(Hide());
        return m;
    }

    tovi::testing::TempDir dir_;
    Receiver receiver_;
};

TEST_F(MakeExeTest, SuccessfulBuildSendsTheWholeSequenceAndWritesStubMovieTrailer) {
    const Bytes stub = Pattern(2049, 1);
    const Bytes swf = Pattern(1500, 100);
    WriteFileBytes(dir_ / "mkexe", stub);
    ::chmod((dir_ / "mkexe").c_str(), 0755);
    WriteFileBytes(dir_ / "a.swf", swf);

    // The user-interface thread handles each message while the builder waits for it.
    auto ui = std::make_shared<platform::ManualDispatcher>();
    platform::InstallUiDispatcher(ui);
    tovi::SetMakeExePause(1000);
    auto* p = new stu_MakeExeParam{W("mkexe"), W("out.exe"), W("a.swf"), &receiver_, 550, 400};
    const auto started = std::chrono::steady_clock::now();
    std::thread worker(MakeExeThreadProc, p);
    while (receiver_.messages.empty() || receiver_.messages.back().wParam != 1) {
        ui->RunOne(50);
    }
    const auto elapsed = std::chrono::steady_clock::now() - started;
    worker.join();
    platform::InstallUiDispatcher(nullptr);

    // 3549 bytes in total: stub 1024, 2048, 2049; movie 3073, 3549.
    std::vector<Message> expected = Prelude();
    expected.push_back(Text(5, L"正在改写文件..."));
    for (int percent : {30, 56, 56, 82, 95}) {
        expected.push_back(Progress(static_cast<platform::WPARAM>(percent)));
    }
    expected.push_back(Text(100, L"已完成改写..."));
    expected.push_back(Hide());
    expected.push_back(Text(1, L"已成功生成独立播放器, 保存在 " + W("out.exe")));
    EXPECT_EQ(receiver_.messages, expected);
    // Busy until the success box is dismissed, idle afterwards.
    EXPECT_EQ(receiver_.making, std::vector<std::int32_t>(expected.size(), 1));
    EXPECT_EQ(g_blIsMaking, 0);
    EXPECT_GE(elapsed, std::chrono::milliseconds(1000));  // the pause before hiding

    Bytes player = stub;
    player.insert(player.end(), swf.begin(), swf.end());
    const auto trailer = standalone_trailer::Encode(550, 400, stub.size());
    player.insert(player.end(), trailer.begin(), trailer.end());
    EXPECT_EQ(ReadFileBytes(dir_ / "out.exe"), player);
    struct stat st {};
    ASSERT_EQ(::stat((dir_ / "out.exe").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);
}

TEST_F(MakeExeTest, BlocksAndTailsFollowTheLengths) {
    struct Case {
        std::size_t stub;
        std::size_t swf;
        std::vector<int> progress;
    } cases[] = {
        {2048, 1024, {35, 65, 95}},
        {2049, 0, {49, 94, 95}},
        {0, 0, {}},
    };
    for (const Case& c : cases) {
        receiver_.messages.clear();
        WriteFileBytes(dir_ / "mkexe", Pattern(c.stub, 3));
        WriteFileBytes(dir_ / "a.swf", Pattern(c.swf, 9));
        Build("mkexe", "a.swf", "out.exe");
        std::vector<int> progress;
        for (const Message& m : receiver_.messages) {
            if (!m.hasText && m.wParam >= 5) {
                progress.push_back(static_cast<int>(m.wParam));
            }
        }
        EXPECT_EQ(progress, c.progress) << c.stub << "+" << c.swf;
        const Bytes out = ReadFileBytes(dir_ / "out.exe");
        ASSERT_EQ(out.size(), c.stub + c.swf + 10);
        if (c.swf == 0) {
            // An empty movie: the reader refuses the player's trailer.
            EXPECT_EQ(standalone_trailer::Decode(out.data() + out.size() - 10, out.size(), nullptr),
                      standalone_trailer::Status::kBadOffset);
        }
    }
}

TEST_F(MakeExeTest, ExistingOutputIsReplaced) {
    WriteFileBytes(dir_ / "mkexe", Pattern(100, 1));
    WriteFileBytes(dir_ / "a.swf", Pattern(20, 2));
    WriteFileBytes(dir_ / "out.exe", Pattern(5000, 3));
    Build("mkexe", "a.swf", "out.exe", 70000, 1);
    const Bytes out = ReadFileBytes(dir_ / "out.exe");
    ASSERT_EQ(out.size(), 130u);
    EXPECT_EQ(Bytes(out.end() - 10, out.end()),
              tovi::testing::HexBytes("FF 90 70 11 01 00 64 00 00 00"));
}

TEST_F(MakeExeTest, FilesThatCannotBeOpenedGiveTheFailureText) {
    WriteFileBytes(dir_ / "mkexe", Pattern(10, 1));
    WriteFileBytes(dir_ / "a.swf", Pattern(10, 2));
    struct Case {
        const char* stub;
        const char* swf;
        const char* exe;
        std::wstring systemText;
    } cases[] = {
        {"none", "a.swf", "out.exe", L"系统找不到指定的文件。\r\n"},
        {"mkexe", "none.swf", "out.exe", L"系统找不到指定的文件。\r\n"},
        {"mkexe", "a.swf", "nofolder/out.exe", L"系统找不到指定的路径。\r\n"},
    };
    for (const Case& c : cases) {
        receiver_.messages.clear();
        Build(c.stub, c.swf, c.exe);
        EXPECT_EQ(receiver_.messages, Failed(c.systemText)) << c.stub << " " << c.swf;
        EXPECT_FALSE(std::filesystem::exists(dir_ / "out.exe"));
    }
}

TEST_F(MakeExeTest, OutputThatIsTheMovieOrTheStubIsRefusedAndBothStayIntact) {
    const Bytes stub = Pattern(3000, 1);
    const Bytes swf = Pattern(3000, 2);
    WriteFileBytes(dir_ / "mkexe", stub);
    WriteFileBytes(dir_ / "a.swf", swf);
    std::filesystem::create_hard_link(dir_ / "a.swf", dir_ / "alias.exe");
    for (const char* exe : {"a.swf", "mkexe", "alias.exe"}) {
        receiver_.messages.clear();
        Build("mkexe", "a.swf", exe);
        EXPECT_EQ(receiver_.messages, Failed(L"另一个程序正在使用此文件，进程无法访问。\r\n"))
            << exe;
        EXPECT_EQ(ReadFileBytes(dir_ / "mkexe"), stub);
        EXPECT_EQ(ReadFileBytes(dir_ / "a.swf"), swf);
    }
}

TEST_F(MakeExeTest, WithoutTovilibNoFailureTextIsSent) {
    ::setenv("TOVI_LIBRARY_DIR", (dir_ / "nolib").c_str(), 1);
    WriteFileBytes(dir_ / "mkexe", Pattern(10, 1));
    Build("mkexe", "none.swf", "out.exe");
    std::vector<Message> expected = Prelude();
    expected.push_back(Hide());
    EXPECT_EQ(receiver_.messages, expected);
}

TEST_F(MakeExeTest, DiskFullInTheMiddleStopsAndRemovesThePartialOutput) {
    WriteFileBytes(dir_ / "mkexe", Pattern(4096, 1));
    WriteFileBytes(dir_ / "a.swf", Pattern(4096, 2));
    tovi::SetFileFactory([] {
        return std::make_unique<tovi::testing::FailingFile>(~0ull, 5000, platform::kErrorDiskFull);
    });
    Build("mkexe", "a.swf", "out.exe");
    std::vector<Message> expected = Prelude();
    expected.push_back(Text(5, L"正在改写文件..."));
    for (int p : {16, 27, 38, 50}) {
        expected.push_back(Progress(static_cast<platform::WPARAM>(p)));
    }
    expected.push_back(Text(1, L"生成独立播放器失败, 磁盘空间不足。\r\n"));
    expected.push_back(Hide());
    EXPECT_EQ(receiver_.messages, expected);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "out.exe"));
    EXPECT_EQ(ReadFileBytes(dir_ / "a.swf").size(), 4096u);
}

TEST_F(MakeExeTest, MessagesGoToTheHandleAsItIsWhenSent) {
    WriteFileBytes(dir_ / "mkexe", Pattern(10, 1));
    WriteFileBytes(dir_ / "a.swf", Pattern(10, 2));
    receiver_.DestroyHandle();  // the window went away: nothing is delivered, nothing hangs
    Build("mkexe", "a.swf", "out.exe");
    EXPECT_TRUE(receiver_.messages.empty());
    EXPECT_EQ(ReadFileBytes(dir_ / "out.exe").size(), 30u);
}

}  // namespace
