#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "flash/player/image.h"
#include "flashrun_options.h"
#include "swfgen/shape_builder.h"
#include "swfgen/tag_writer.h"
#include "tovi/testing/files.h"

namespace flashrun {
namespace {

using tovi::testing::HexBytes;
using tovi::testing::TempDir;

TEST(FlashrunOptionsTest, Arguments) {
    struct Case {
        std::vector<std::string> args;
        bool ok;
    } cases[] = {
        {{"a.swf"}, true},
        {{"--frames", "5", "--trace-file", "t.txt", "--png", "p.png", "a.swf"}, true},
        {{"--width", "10", "--height", "20", "--info", "a.swf"}, true},
        {{"--input", "i.json", "--render-all", "a.swf"}, true},
        {{"--help"}, true},
        {{"--input"}, false},
        {{}, false},
        {{"--frames"}, false},
        {{"--frames", "0", "a.swf"}, false},
        {{"--frames", "x", "a.swf"}, false},
        {{"--frames", "5x", "a.swf"}, false},
        {{"--width", "10", "a.swf"}, false},
        {{"--width", "0", "--height", "5", "a.swf"}, false},
        {{"--bogus", "a.swf"}, false},
        {{"a.swf", "b.swf"}, false},
    };
    for (const auto& c : cases) {
        std::string error;
        auto options = ParseOptions(c.args, error);
        EXPECT_EQ(options.has_value(), c.ok) << ::testing::PrintToString(c.args);
        EXPECT_EQ(error.empty(), c.ok) << error;
    }
    std::string error;
    auto o = ParseOptions({"--frames", "5", "--width", "10", "--height", "20", "m.swf"}, error);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->frames, 5);
    EXPECT_EQ(o->width, 10);
    EXPECT_EQ(o->height, 20);
    EXPECT_EQ(o->movie, "m.swf");
}

struct RunResult {
    int status;
    std::string out;
};

RunResult Flashrun(const std::string& args) {
    std::string command =
        (tovi::testing::ProgramDir() / "flashrun").string() + " " + args + " 2>/dev/null";
    RunResult run{-1, {}};
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.out.append(buffer.data(), n);
    }
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// A 550 x 400 movie at 24 fps: frame 1 traces "hello", frame 2 is empty.
const char* const kTraceMovie =
    "46 57 53 06 2D 00 00 00  78 00 05 5F 00 00 0F A0 00  00 18  02 00"
    "0C 03  96 07 00 00 68 65 6C 6C 6F 00  26 00"
    "40 00  40 00  00 00";

TEST(FlashrunTest, RunsTracesRendersAndReportsHeader) {
    TempDir dir;
    auto movie = dir / "m.swf";
    tovi::testing::Bytes bytes = HexBytes(kTraceMovie);
    bytes[4] = static_cast<std::uint8_t>(bytes.size());
    tovi::testing::WriteFileBytes(movie, bytes);

    RunResult run = Flashrun(movie.string());
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out, "hello\n");

    // Two frames loop back to the first, which traces again.
    run = Flashrun("--frames 3 --trace-file " + (dir / "t.txt").string() + " --png " +
                   (dir / "p.png").string() + " " + movie.string());
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(tovi::testing::ReadFileBytes(dir / "t.txt"),
              tovi::testing::Bytes({'h', 'e', 'l', 'l', 'o', '\n', 'h', 'e', 'l', 'l', 'o', '\n'}));
    EXPECT_TRUE(std::filesystem::exists(dir / "p.png"));

    run = Flashrun("--info " + movie.string());
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out,
              "nWidth=550\nnHeight=400\nnFrameCount=2\nnFrameRate=24\nnVersion=6\n"
              "nDuration=0\nnFileLength=" +
                  std::to_string(bytes.size()) + "\nbCompressed=0\n");
}

TEST(FlashrunTest, HelpListsEveryOption) {
    RunResult run = Flashrun("--help");
    EXPECT_EQ(run.status, kExitOk);
    for (const char* option : {"--frames", "--input", "--trace-file", "--png", "--width",
                               "--height", "--render-all", "--info", "--help"}) {
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
    }
}

// Frame 1 covers the white stage with red, frame 2 takes the red away again.
std::filesystem::path RedThenWhiteMovie(const TempDir& dir) {
    const flash::Rect stage{0, 100 * 20, 0, 50 * 20};
    swfgen::MovieWriter m(6, stage, 12);
    swfgen::ShapeBuilder red;
    red.Fill1(red.AddSolidFill(flash::Rgba{255, 0, 0, 255})).Rectangle(stage);
    m.SetBackgroundColor(flash::Rgba{255, 255, 255, 255}).DefineShape(1, red);
    m.PlaceObject(1, 1).ShowFrame().RemoveObject(1, 1).ShowFrame();
    m.Save(dir / "red.swf");
    return dir / "red.swf";
}

TEST(FlashrunTest, RenderAllStillWritesTheLastFrame) {
    TempDir dir;
    const auto movie = RedThenWhiteMovie(dir).string();
    const auto png = (dir / "p.png").string();
    for (const char* renderAll : {"", "--render-all "}) {
        SCOPED_TRACE(renderAll);
        for (auto [frames, colour] : {std::pair{1, 0xFFFF0000u}, std::pair{2, 0xFFFFFFFFu}}) {
            EXPECT_EQ(Flashrun(std::string(renderAll) + "--frames " + std::to_string(frames) +
                               " --png " + png + " " + movie)
                          .status,
                      kExitOk);
            flash::Image image = flash::ReadPng(png);
            ASSERT_EQ(image.Width(), 100);
            EXPECT_EQ(image.Pixel(50, 25), colour) << frames;
        }
    }
    // A view of another size gives a picture of that size; --render-all needs no --png.
    EXPECT_EQ(Flashrun("--width 40 --height 30 --png " + png + " " + movie).status, kExitOk);
    EXPECT_EQ(flash::ReadPng(png).Width(), 40);
    EXPECT_EQ(Flashrun("--render-all --frames 2 " + movie).status, kExitOk);
}

TEST(FlashrunTest, InputThatCannotBeReplayedIsRefused) {
    TempDir dir;
    const auto movie = RedThenWhiteMovie(dir).string();
    tovi::testing::WriteFileText(dir / "bad.json", "[{\"type\": \"MouseDown\"}]");
    tovi::testing::WriteFileText(dir / "text.json",
                                 "[{\"type\": \"TextInput\", \"codepoint\": \"a\"}]");
    EXPECT_EQ(Flashrun("--input " + (dir / "bad.json").string() + " " + movie).status,
              kExitBadArguments);
    EXPECT_EQ(Flashrun("--input " + (dir / "missing.json").string() + " " + movie).status,
              kExitBadArguments);
    // Events the player has no call for are reported, the run goes on.
    EXPECT_EQ(Flashrun("--input " + (dir / "text.json").string() + " " + movie).status, kExitOk);
}

TEST(FlashrunTest, ExitCodes) {
    TempDir dir;
    tovi::testing::WriteFileText(dir / "bad.swf", "this is not a movie");
    EXPECT_EQ(Flashrun("").status, kExitBadArguments);
    EXPECT_EQ(Flashrun("--frames -1 x.swf").status, kExitBadArguments);
    EXPECT_EQ(Flashrun((dir / "missing.swf").string()).status, kExitBadMovie);
    EXPECT_EQ(Flashrun((dir / "bad.swf").string()).status, kExitBadMovie);
    EXPECT_EQ(Flashrun("--info " + (dir / "bad.swf").string()).status, kExitBadMovie);
}

}  // namespace
}  // namespace flashrun
