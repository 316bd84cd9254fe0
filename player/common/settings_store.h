#pragma once

#include "common/player_settings.h"

// Reads and writes the settings record in the current user's registry store.
namespace settings_store {

// Where the settings live, and where they are written when that key has gone missing.
inline constexpr wchar_t kSettingsKey[] = L"Software\\kestrum\\ToviFlash\\Settings";
inline constexpr wchar_t kFallbackKey[] = L"Software\\Tovi科技\\ToviFlash\\Settings";

// Makes sure the settings key exists (done once at start-up).
void EnsureKey();

// Takes every stored value whose type, size and range are right; the others keep what the
// record holds. The end margin is never read.
void Load(PlayerSettings& settings);

// Writes every value except the end margin. When the settings key is missing the values go to
// the fallback key; any other failure skips the store.
void Save(const PlayerSettings& settings);

}  // namespace settings_store
