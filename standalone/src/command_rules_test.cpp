#include "command_rules.h"

#include <gtest/gtest.h>

#include <ostream>

#include "player_ids.h"

namespace {

using standalone::CommandInputs;
using standalone::CommandState;
using standalone::RuleFor;

constexpr std::optional<bool> kKeep = std::nullopt;

struct RuleCase {
    const char* name;
    CommandInputs in;
    int id;
    CommandState expected;
};

void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << c.name;
}

CommandInputs Movie() {
    CommandInputs in;
    in.hasMovie = true;
    in.scaleMode = [] { return std::optional<long>(1); };
    in.quality = [] { return std::optional<std::string>("HIGH"); };
    return in;
}

CommandInputs Muted(std::uint32_t previous) {
    CommandInputs in;
    in.volume = 0;
    in.previousVolume = previous;
    return in;
}

CommandInputs WithQuality(const char* q) {
    CommandInputs in = Movie();
    in.quality = [q] { return std::optional<std::string>(q); };
    return in;
}

CommandInputs ControlFails() {
    CommandInputs in;
    in.hasMovie = true;
    in.scaleMode = [] { return std::optional<long>(); };
    in.quality = [] { return std::optional<std::string>(); };
    return in;
}

CommandInputs Flags(bool bareStub, bool extracting) {
    CommandInputs in;
    in.bareStub = bareStub;
    in.extracting = extracting;
    return in;
}

class CommandRulesTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(CommandRulesTest, GivesTheItemsState) {
    const RuleCase& c = GetParam();
    EXPECT_EQ(RuleFor(c.id, c.in), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CommandRulesTest,
    ::testing::Values(
        RuleCase{"PlayNeedsAMovie", CommandInputs{}, ID_PLAY, {false, kKeep}},
        RuleCase{"PauseWithMovie", Movie(), ID_PAUSE, {true, kKeep}},
        RuleCase{"StopNeedsAMovie", CommandInputs{}, ID_STOP, {false, kKeep}},
        RuleCase{"SaveAsNeedsAMovie", CommandInputs{}, ID_FILE_SAVE_AS, {false, kKeep}},
        RuleCase{"ReExtractNormally", CommandInputs{}, ID_REEXTRACT, {true, kKeep}},
        RuleCase{"ReExtractBareStub", Flags(true, false), ID_REEXTRACT, {false, kKeep}},
        RuleCase{"ReExtractWhileRunning", Flags(false, true), ID_REEXTRACT, {false, kKeep}},
        RuleCase{"MuteUnchecked", CommandInputs{}, ID_MUTE, {kKeep, false}},
        RuleCase{"MuteChecked", Muted(80), ID_MUTE, {kKeep, true}},
        RuleCase{"FiftyCheckedAtStart", CommandInputs{}, ID_VOLUME_50, {true, true}},
        RuleCase{"TwentyUncheckedAtFifty", CommandInputs{}, ID_VOLUME_20, {true, false}},
        RuleCase{"LevelsGreyWhileMuted", Muted(80), ID_VOLUME_100, {false, false}},
        RuleCase{"PreviousLevelKeepsItsMark", Muted(80), ID_VOLUME_80, {false, true}},
        RuleCase{"ScaleUntouchedWithoutMovie", CommandInputs{}, ID_SCALE_ORIGINAL, {}},
        RuleCase{"ScaleModeMarked", Movie(), ID_SCALE_ORIGINAL, {kKeep, true}},
        RuleCase{"OtherScaleUnmarked", Movie(), ID_SCALE_ZOOM, {kKeep, false}},
        RuleCase{"ScaleUnknown", ControlFails(), ID_SCALE_FILL, {}},
        RuleCase{"QualityAnyCase", Movie(), ID_QUALITY_HIGH, {kKeep, true}},
        RuleCase{"OtherQualityUnmarked", Movie(), ID_QUALITY_LOW, {kKeep, false}},
        RuleCase{"MediumMarked", WithQuality("medium"), ID_QUALITY_MEDIUM, {kKeep, true}},
        RuleCase{"OtherQualityWordChangesNothing", WithQuality("best"), ID_QUALITY_HIGH, {}},
        RuleCase{"QualityUnknown", ControlFails(), ID_QUALITY_LOW, {}},
        RuleCase{"OpenHasNoRule", CommandInputs{}, ID_FILE_OPEN, {}}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
