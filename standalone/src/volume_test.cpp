#include "volume.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using standalone::Volume;

TEST(PlayerVolumeTest, WaveValueCarriesTheLevelOnBothChannels) {
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> cases = {
        {0, 0}, {20, 13107}, {50, 32767}, {80, 52428}, {100, 65535}};
    for (const auto& [percent, channel] : cases) {
        EXPECT_EQ(Volume::WaveValue(percent), channel | (channel << 16)) << percent;
    }
}

class VolumeRulesTest : public ::testing::Test {
  protected:
    std::vector<std::uint32_t> sent_;
    Volume volume_{[this](std::uint32_t v) { sent_.push_back(v); }};
};

TEST_F(VolumeRulesTest, StartsAtFiftyAndAppliesIt) {
    volume_.Apply();
    EXPECT_EQ(volume_.level(), 50u);
    EXPECT_EQ(sent_, std::vector<std::uint32_t>{Volume::WaveValue(50)});
}

TEST_F(VolumeRulesTest, LevelAboveHundredCountsAsFifty) {
    volume_.SetLevel(20);
    volume_.SetLevel(150);
    EXPECT_EQ(volume_.level(), 50u);
    EXPECT_EQ(volume_.previous(), 20u);
    EXPECT_EQ(sent_.back(), Volume::WaveValue(50));
}

TEST_F(VolumeRulesTest, MuteTwiceBringsTheLevelBack) {
    volume_.SetLevel(80);
    volume_.ToggleMute();
    EXPECT_TRUE(volume_.muted());
    EXPECT_EQ(volume_.previous(), 80u);
    EXPECT_EQ(sent_.back(), 0u);
    volume_.ToggleMute();
    EXPECT_EQ(volume_.level(), 80u);
    EXPECT_EQ(sent_.back(), Volume::WaveValue(80));
    volume_.ToggleMute();
    EXPECT_EQ(volume_.previous(), 80u);
}

}  // namespace
