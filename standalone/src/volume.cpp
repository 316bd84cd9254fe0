#include "volume.h"

namespace standalone {

std::uint32_t Volume::WaveValue(std::uint32_t percent) {
    const auto channel = static_cast<std::uint32_t>(percent * 0.01 * 65535);
    return channel | (channel << 16);
}

void Volume::SetLevel(std::uint32_t percent) {
    if (percent > 100) {
        percent = 50;
    }
    previous_ = level_;
    level_ = percent;
    Apply();
}

void Volume::ToggleMute() {
    SetLevel(level_ != 0 ? 0 : previous_);
}

void Volume::Apply() const {
    if (output_) {
        output_(WaveValue(level_));
    }
}

}  // namespace standalone
