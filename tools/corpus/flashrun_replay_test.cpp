// flashrun --input plays a case as the corpus runner does: the same trace for the same input.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <string>

#include "corpus_case.h"
#include "runner.h"
#include "tovi/testing/files.h"

namespace corpus {
namespace {

namespace fs = std::filesystem;

std::string FlashrunTrace(const CorpusCase& c, const fs::path& traceFile) {
    std::string command = (tovi::testing::ProgramDir() / "flashrun").string() + " --frames " +
                          std::to_string(c.frames) + " --input '" +
                          (c.dir / "input.json").string() + "' --trace-file '" +
                          traceFile.string() + "'";
    if (c.viewportWidth > 0 && c.viewportHeight > 0) {
        command += " --width " + std::to_string(c.viewportWidth) + " --height " +
                   std::to_string(c.viewportHeight);
    }
    command += " '" + (c.dir / "test.swf").string() + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    const tovi::testing::Bytes bytes = tovi::testing::ReadFileBytes(traceFile);
    return std::string(bytes.begin(), bytes.end());
}

class FlashrunReplayTest : public ::testing::TestWithParam<const char*> {};

TEST_P(FlashrunReplayTest, GivesTheRunnersTrace) {
    const fs::path root = tovi::testing::CorpusDir();
    const CorpusCase c = LoadCase(root, root / GetParam());
    ASSERT_TRUE(c.hasInput);
    const CaseResult expected = RunCase(c);
    ASSERT_FALSE(expected.actualOutput.empty());
    tovi::testing::TempDir dir;
    EXPECT_EQ(FlashrunTrace(c, dir / "trace.txt"), expected.actualOutput);
}

std::string CaseTestName(const ::testing::TestParamInfo<const char*>& param) {
    std::string name = param.param;
    for (char& ch : name) {
        ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    }
    return name;
}

// Pointer moves in a view larger than the stage, clicks and drags, keys; a case that fails
// today agrees all the same.
INSTANTIATE_TEST_SUITE_P(InputCases, FlashrunReplayTest,
                         ::testing::Values("avm1/mouse_pos_with_scale_factor", "avm1/drag_drop",
                                           "avm1/button_key_events_special", "avm1/button_goto"),
                         CaseTestName);

}  // namespace
}  // namespace corpus
