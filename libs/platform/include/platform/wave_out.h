#pragma once

#include "platform/types.h"

// The waveform output volume of device 0, in place of waveOutGetVolume and waveOutSetVolume.
// A volume holds the left channel in its low word and the right channel in its high word,
// each 0 (silent) to 0xFFFF (full). There is one volume per process: the player component's
// mixer scales everything the process plays by it. Whether a device is present is asked of
// SDL's audio subsystem once, and then follows what the audio output reports when it opens.
namespace platform {

using MMRESULT = UINT;
inline constexpr MMRESULT kMmSysErrNoError = 0;
inline constexpr MMRESULT kMmSysErrBadDeviceId = 2;
inline constexpr MMRESULT kMmSysErrNoDriver = 6;
inline constexpr MMRESULT kMmSysErrInvalParam = 11;

// kMmSysErrNoDriver without a device, kMmSysErrBadDeviceId for a device other than 0.
MMRESULT WaveOutGetVolume(UINT device, DWORD* volume);
MMRESULT WaveOutSetVolume(UINT device, DWORD volume);

// The volume the mixer applies (full until set). Safe from any thread, the audio thread too.
DWORD WaveOutGain();

// Whether the process has an output device.
bool WaveOutDevicePresent();
// The audio output tells what it found when it opened (or failed to open) the device.
void ReportWaveOutDevice(bool present);

// Test hook: forgets the volume and what is known of the device, as at process start.
void ResetWaveOut();

}  // namespace platform
