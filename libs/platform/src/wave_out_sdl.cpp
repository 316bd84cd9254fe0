#include <SDL2/SDL.h>

#include <atomic>
#include <mutex>

#include "platform/wave_out.h"

namespace platform {
namespace {

enum class DeviceState { Unknown, Present, Absent };

std::atomic<DWORD> g_volume{0xFFFFFFFFu};
std::mutex g_deviceMutex;
DeviceState g_device = DeviceState::Unknown;
bool g_sdlAudio = false;  // this module holds a reference on SDL's audio subsystem

// A driver that initialises and lists no output device has none; a driver that cannot list
// its devices (-1) may still open its default one.
bool ProbeDevice() {
    if (!g_sdlAudio) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            return false;
        }
        g_sdlAudio = true;
    }
    return SDL_GetNumAudioDevices(0) != 0;
}

}  // namespace

bool WaveOutDevicePresent() {
    std::lock_guard lock(g_deviceMutex);
    if (g_device == DeviceState::Unknown) {
        g_device = ProbeDevice() ? DeviceState::Present : DeviceState::Absent;
    }
    return g_device == DeviceState::Present;
}

void ReportWaveOutDevice(bool present) {
    std::lock_guard lock(g_deviceMutex);
    g_device = present ? DeviceState::Present : DeviceState::Absent;
}

MMRESULT WaveOutGetVolume(UINT device, DWORD* volume) {
    if (device != 0) {
        return kMmSysErrBadDeviceId;
    }
    if (volume == nullptr) {
        return kMmSysErrInvalParam;
    }
    if (!WaveOutDevicePresent()) {
        return kMmSysErrNoDriver;
    }
    *volume = g_volume.load();
    return kMmSysErrNoError;
}

MMRESULT WaveOutSetVolume(UINT device, DWORD volume) {
    if (device != 0) {
        return kMmSysErrBadDeviceId;
    }
    if (!WaveOutDevicePresent()) {
        return kMmSysErrNoDriver;
    }
    g_volume.store(volume);
    return kMmSysErrNoError;
}

DWORD WaveOutGain() {
    return g_volume.load();
}

void ResetWaveOut() {
    std::lock_guard lock(g_deviceMutex);
    g_device = DeviceState::Unknown;
    if (g_sdlAudio) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        g_sdlAudio = false;
    }
    g_volume.store(0xFFFFFFFFu);
}

}  // namespace platform
