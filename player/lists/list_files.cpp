#include "lists/list_files.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "Tovilib.h"
#include "app/prompt_service.h"
#include "platform/errors.h"
#include "platform/file.h"
#include "platform/text.h"
#include "tovi.h"

namespace {

constexpr platform::UINT kReadFlags = platform::File::modeRead | platform::File::typeBinary;
constexpr platform::UINT kWriteFlags =
    platform::File::modeCreate | platform::File::modeWrite | platform::File::typeBinary;

void ShowFileError(PromptService& prompts, const platform::FileException& error) {
    prompts.Tell(error.GetErrorMessage(), PromptIcon::Error);
}

}  // namespace

LineFileFactory DefaultLineFiles() {
    return [] { return std::make_unique<MyFileW>(); };
}

void LoadListFile(const wxString& path, int capacity, MediaList& list, PromptService& prompts,
                  const LineFileFactory& files) {
    std::unique_ptr<MyFileW> file = files();
    if (!file->Open(path.wc_str(), kReadFlags)) {
        return;
    }
    try {
        wxString line;
        for (int read = 0; read < capacity; ++read) {
            if (file->ReadLineW(&line, 0) < 0) {
                break;
            }
            if (line.length() >= 5) {
                list.AddTail(line);
            }
        }
        file->Close();
    } catch (const platform::FileException& error) {
        file->Abort();
        ShowFileError(prompts, error);
    } catch (int) {
        // Not a line file of ours (no byte-order mark): nothing to take from it.
        file->Abort();
    }
}

void SaveListFile(const wxString& path, int capacity, const MediaList& list, PromptService& prompts,
                  const LineFileFactory& files) {
    const wxString temp = path + wxString::Format(wxS(".%ld.new"), static_cast<long>(::getpid()));
    const std::string nativeTemp = platform::NativePath(temp.ToStdWstring());
    std::unique_ptr<MyFileW> file = files();
    if (!file->Open(temp.wc_str(), kWriteFlags)) {
        return;
    }
    try {
        const std::size_t count =
            std::min(list.GetCount(), static_cast<std::size_t>(std::max(capacity, 0)));
        for (std::size_t i = 0; i < count; ++i) {
            file->WriteLineW(list.GetAt(i).wc_str());
        }
        file->Flush();
        file->Close();
    } catch (const platform::FileException& error) {
        file->Abort();
        std::remove(nativeTemp.c_str());
        ShowFileError(prompts, error);
        return;
    }
    const std::string nativePath = platform::NativePath(path.ToStdWstring());
    if (std::rename(nativeTemp.c_str(), nativePath.c_str()) != 0) {
        const platform::DWORD code = platform::ErrorFromErrno(errno);
        std::remove(nativeTemp.c_str());
        ShowFileError(prompts,
                      platform::FileException(platform::FileException::CauseFromOsError(code), code,
                                              path.ToStdWstring()));
    }
}

void LoadLists(MediaLists& lists, const PlayerSettings& settings, PromptService& prompts) {
    LoadListFile(GetSetingFilePathName(kHistoryFile), settings.MaxHistory, lists.history, prompts);
    LoadListFile(GetSetingFilePathName(kPlaylistFile), settings.MaxPlayerFile, lists.playlist,
                 prompts);
}

void SaveLists(const MediaLists& lists, const PlayerSettings& settings, PromptService& prompts) {
    SaveListFile(GetSetingFilePathName(kHistoryFile), settings.MaxHistory, lists.history, prompts);
    SaveListFile(GetSetingFilePathName(kPlaylistFile), settings.MaxPlayerFile, lists.playlist,
                 prompts);
}
