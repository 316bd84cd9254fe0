#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/wave_out.h"
#include "tovi.h"

namespace {

// SDL_AUDIODRIVER chooses the device: "dummy" plays into nothing, an unknown name leaves the
// process without one. Each test runs in a process of its own.
void UseDriver(const char* driver) {
    setenv("SDL_AUDIODRIVER", driver, 1);
    platform::ResetWaveOut();
}

std::uint32_t Read() {
    std::uint32_t v = 0xDEAD;
    SetVolumes(1, &v);
    return v;
}

TEST(SetVolumesTest, ReadingWithoutADeviceGivesHalfVolume) {
    UseDriver("no-such-driver");
    EXPECT_EQ(Read(), 0x7FFFu);
    std::uint32_t v = 0x1234;
    SetVolumes(0, &v);
    EXPECT_EQ(Read(), 0x7FFFu);
}

TEST(SetVolumesTest, ReadingAfterSettingGivesTheValueSetOnBothChannels) {
    UseDriver("dummy");
    struct Case {
        std::uint32_t set;
        std::uint32_t read;
    } cases[] = {{0, 0}, {0x8000, 0x8000}, {0xFFFF, 0xFFFF}, {0x12345678, 0x5678}, {0x10000, 0}};
    for (const Case& c : cases) {
        std::uint32_t v = c.set;
        SetVolumes(0, &v);
        EXPECT_EQ(v, c.set) << "setting leaves the value alone";
        EXPECT_EQ(Read(), c.read) << std::hex << c.set;
        EXPECT_EQ(platform::WaveOutGain(), c.read * 0x10001u) << std::hex << c.set;
    }
}

TEST(SetVolumesTest, ANullPointerIsIgnored) {
    UseDriver("dummy");
    SetVolumes(0, nullptr);
    SetVolumes(1, nullptr);
    EXPECT_EQ(Read(), 0xFFFFu);
}

}  // namespace
