#pragma once

#include <wx/string.h>

#include <functional>
#include <memory>

#include "lists/media_lists.h"

class MyFileW;
namespace host {
class PromptService;
}

// The history and the playlist as UTF-16 line files: byte-order mark, one full path per line.

inline constexpr wchar_t kHistoryFile[] = L"Seting\\history.ini";
inline constexpr wchar_t kPlaylistFile[] = L"Seting\\Playlist.ini";

// Makes the line file objects; tests give one that fails on purpose.
using LineFileFactory = std::function<std::unique_ptr<MyFileW>()>;
LineFileFactory DefaultLineFiles();

// Appends up to `capacity` lines of the file to `list`; lines shorter than 5 characters are
// skipped but counted. A missing file or one without a byte-order mark adds nothing; a file
// error is shown with its text and keeps what was read. Files of saves beside it that a
// process which no longer runs left behind are removed first.
void LoadListFile(const wxString& path, int capacity, MediaList& list, host::PromptService& prompts,
                  const LineFileFactory& files = DefaultLineFiles());

// Writes the first `capacity` entries. The file is written beside the old one and renamed over
// it, so a failure half-way leaves the old list in place. A file that cannot be created is
// skipped; a file error is shown with its text.
void SaveListFile(const wxString& path, int capacity, const MediaList& list,
                  host::PromptService& prompts, const LineFileFactory& files = DefaultLineFiles());

// The history, then the playlist, from and to their files in the per-user folder.
void LoadLists(MediaLists& lists, const PlayerSettings& settings, host::PromptService& prompts);
void SaveLists(const MediaLists& lists, const PlayerSettings& settings,
               host::PromptService& prompts);
