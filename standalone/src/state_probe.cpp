#include "state_probe.h"

#include <cstdio>
#include <cstdlib>

namespace standalone {

std::unique_ptr<StateProbe> StateProbe::FromEnvironment() {
    const char* path = std::getenv("TOVI_PLAYER_PROBE");
    return path && *path ? std::make_unique<StateProbe>(path) : nullptr;
}

void StateProbe::Write(const std::vector<std::pair<std::string, std::string>>& values) const {
    const std::string temp = path_ + ".new";
    std::FILE* f = std::fopen(temp.c_str(), "w");
    if (!f) {
        return;
    }
    for (const auto& [key, value] : values) {
        std::fprintf(f, "%s=%s\n", key.c_str(), value.c_str());
    }
    if (std::fclose(f) == 0) {
        std::rename(temp.c_str(), path_.c_str());
    }
}

}  // namespace standalone
