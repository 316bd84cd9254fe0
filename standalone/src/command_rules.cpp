#include "command_rules.h"

#include <cctype>

#include "player_ids.h"

namespace standalone {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

CommandState QualityRule(int id, const CommandInputs& in) {
    const std::optional<std::string> quality = in.quality ? in.quality() : std::nullopt;
    if (!quality) {
        return {};
    }
    const std::string q = Lower(*quality);
    int marked;
    if (q == "high") {
        marked = ID_QUALITY_HIGH;
    } else if (q == "medium") {
        marked = ID_QUALITY_MEDIUM;
    } else if (q == "low") {
        marked = ID_QUALITY_LOW;
    } else {
        return {};
    }
    return {std::nullopt, id == marked};
}

}  // namespace

CommandState RuleFor(int id, const CommandInputs& in) {
    switch (id) {
        case ID_PAUSE:
        case ID_PLAY:
        case ID_STOP:
        case ID_FILE_SAVE_AS:
            return {in.hasMovie, std::nullopt};
        case ID_REEXTRACT:
            // Runs never overlap: while one is under way the command waits for it to end.
            return {!in.bareStub && !in.extracting, std::nullopt};
        case ID_MUTE:
            return {std::nullopt, in.volume == 0};
        case ID_VOLUME_20:
        case ID_VOLUME_50:
        case ID_VOLUME_80:
        case ID_VOLUME_100: {
            const bool muted = in.volume == 0;
            const std::uint32_t shown = muted ? in.previousVolume : in.volume;
            return {!muted, static_cast<std::uint32_t>(id - ID_MUTE) == shown};
        }
        case ID_SCALE_ZOOM:
        case ID_SCALE_ORIGINAL:
        case ID_SCALE_FILL: {
            if (!in.hasMovie) {
                return {};
            }
            const std::optional<long> mode = in.scaleMode ? in.scaleMode() : std::nullopt;
            if (!mode) {
                return {};
            }
            return {std::nullopt, id - ID_SCALE_ZOOM == *mode};
        }
        case ID_QUALITY_HIGH:
        case ID_QUALITY_MEDIUM:
        case ID_QUALITY_LOW:
            return QualityRule(id, in);
        default:
            return {};
    }
}

}  // namespace standalone
