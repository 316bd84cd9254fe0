#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "extract_io.h"
#include "platform/messages.h"
#include "platform/types.h"

// Self-extraction: the movie appended to the player's own program file is copied into the
// cache file (or an identical cache file is reused), reported step by step to the player
// window through WM_EXTRACT_NOTIFY.

// Sent synchronously to the player window; wParam is one of the EXN_ codes, lParam its
// argument.
inline constexpr platform::UINT WM_EXTRACT_NOTIFY = platform::kWmUser + 101;

enum : platform::WPARAM {
    EXN_SHOW_PROGRESS = 0,  // 0
    EXN_ERROR_TEXT = 1,     // narrow text (const char*), valid while handled
    EXN_PROGRESS = 2,       // position; the window shows at most 100
    EXN_DONE = 3,           // result code (EXTRACT_)
    EXN_MOVIE_WIDTH = 4,    // stage width from the trailer
    EXN_MOVIE_HEIGHT = 5,   // stage height from the trailer
    EXN_PLAY_FILE = 6,      // narrow path of the cache file (const char*), valid while handled
};

enum : platform::LPARAM {
    EXTRACT_OWN_FILE_UNREADABLE = 1,
    EXTRACT_NOT_RECOGNISED = 2,
    EXTRACT_BAD_TRAILER = 3,
    EXTRACT_CACHE_UNWRITABLE = 4,
    EXTRACT_BARE_STUB = 5,
    EXTRACT_WRITTEN = 100,
    EXTRACT_REUSED = 200,
};

namespace standalone {

// The stub as built carries this value at kFingerprintDistance bytes before its end, so a
// bare stub can be told from a damaged player. The build appends it after linking.
inline constexpr std::array<std::uint8_t, 10> kBareStubFingerprint = {0x02, 0x30, 0x0C, 0x00, 0xAE,
                                                                      0x90, 0xF6, 0x4E, 0xFB, 0x7C};
inline constexpr std::uint64_t kFingerprintDistance = 2250;

// Shown when the own file cannot be read or the copy fails part way.
inline constexpr const char kExtractFailedText[] = "提取Flash动画失败!";

// Where a run's notifications go.
class ExtractSink {
  public:
    virtual ~ExtractSink() = default;
    // Delivers one notification and waits until it is handled; false when the window is gone,
    // which stops the run.
    virtual bool Notify(platform::WPARAM code, platform::LPARAM argument) = 0;
};

// One run on the program file at `ownPath`, from the show-progress notification to EXN_DONE.
// Returns the result code sent with EXN_DONE, or 0 when the run stopped because the window
// went away.
platform::LPARAM RunExtraction(const std::string& ownPath, bool force, ExtractSink& sink,
                               ExtractIo& io = SystemExtractIo());

}  // namespace standalone
