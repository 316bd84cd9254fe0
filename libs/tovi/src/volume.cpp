#include "platform/wave_out.h"
#include "tovi.h"

extern "C" TOVI_API void SetVolumes(int get, std::uint32_t* volume) {
    if (volume == nullptr) {
        return;
    }
    if (get != 0) {
        platform::DWORD both = 0;
        // The right channel, or half volume when no device answers.
        *volume = platform::WaveOutGetVolume(0, &both) == platform::kMmSysErrNoError ? both >> 16
                                                                                     : 0x7FFF;
        return;
    }
    const std::uint32_t level = *volume & 0xFFFF;
    platform::WaveOutSetVolume(0, level * 0x10001u);
}
