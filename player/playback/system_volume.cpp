#include "playback/system_volume.h"

#include <cstdint>

#include "platform/library.h"

namespace {

using SetVolumesFn = void (*)(int getFlag, std::uint32_t* volume);
using PopuFlashMenuFn = std::intptr_t (*)();

template <typename Fn>
Fn ToviFunction(const char* name) {
    platform::ModuleHandle tovi = platform::LoadModule(L"tovi.dll");
    return tovi ? platform::FindFunctionAs<Fn>(tovi, name) : nullptr;
}

}  // namespace

void ReadSystemVolume(unsigned* volume) {
    static const SetVolumesFn setVolumes = ToviFunction<SetVolumesFn>("SetVolumes");
    if (setVolumes) {
        std::uint32_t value = *volume;
        setVolumes(1, &value);
        *volume = value;
    }
}

void SetSystemVolume(unsigned volume) {
    static const SetVolumesFn setVolumes = ToviFunction<SetVolumesFn>("SetVolumes");
    if (setVolumes) {
        std::uint32_t value = volume;
        setVolumes(0, &value);
    }
}

void PopUpFlashMenu() {
    static const PopuFlashMenuFn popup = ToviFunction<PopuFlashMenuFn>("PopuFlashMenu");
    if (popup) {
        popup();
    }
}
