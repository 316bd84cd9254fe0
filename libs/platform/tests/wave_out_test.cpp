#include "platform/wave_out.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace platform {
namespace {

// SDL picks its driver from SDL_AUDIODRIVER: "dummy" is a device that plays into nothing, a
// name no driver has leaves the process without a device.
class WaveOutTest : public ::testing::Test {
  protected:
    void UseDriver(const char* driver) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        ResetWaveOut();
    }
    void TearDown() override {
        ResetWaveOut();
        unsetenv("SDL_AUDIODRIVER");
    }
};

TEST_F(WaveOutTest, WithoutADeviceNothingIsReadOrKept) {
    UseDriver("no-such-driver");
    DWORD volume = 123;
    EXPECT_EQ(WaveOutGetVolume(0, &volume), kMmSysErrNoDriver);
    EXPECT_EQ(volume, 123u);
    EXPECT_EQ(WaveOutSetVolume(0, 0x10001), kMmSysErrNoDriver);
    EXPECT_EQ(WaveOutGain(), 0xFFFFFFFFu);
    EXPECT_FALSE(WaveOutDevicePresent());
}

TEST_F(WaveOutTest, WithADeviceTheVolumeSetIsReadBackAndApplied) {
    UseDriver("dummy");
    DWORD volume = 0;
    ASSERT_EQ(WaveOutGetVolume(0, &volume), kMmSysErrNoError);
    EXPECT_EQ(volume, 0xFFFFFFFFu);
    ASSERT_EQ(WaveOutSetVolume(0, 0x12345678), kMmSysErrNoError);
    ASSERT_EQ(WaveOutGetVolume(0, &volume), kMmSysErrNoError);
    EXPECT_EQ(volume, 0x12345678u);
    EXPECT_EQ(WaveOutGain(), 0x12345678u);
}

TEST_F(WaveOutTest, OnlyDeviceZeroExists) {
    UseDriver("dummy");
    DWORD volume = 0;
    EXPECT_EQ(WaveOutGetVolume(1, &volume), kMmSysErrBadDeviceId);
    EXPECT_EQ(WaveOutSetVolume(1, 0), kMmSysErrBadDeviceId);
    EXPECT_EQ(WaveOutGetVolume(0, nullptr), kMmSysErrInvalParam);
    EXPECT_EQ(WaveOutGain(), 0xFFFFFFFFu);
}

TEST_F(WaveOutTest, ADeviceThatFailsToOpenCountsAsAbsent) {
    UseDriver("dummy");
    ASSERT_TRUE(WaveOutDevicePresent());
    ReportWaveOutDevice(false);
    DWORD volume = 0;
    EXPECT_EQ(WaveOutGetVolume(0, &volume), kMmSysErrNoDriver);
}

}  // namespace
}  // namespace platform
