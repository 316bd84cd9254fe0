#include "app/player_settings.h"

PlayerSettings& TheSettings() {
    static PlayerSettings settings;
    return settings;
}
