#include "lists/list_files.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "Tovilib.h"
#include "host/prompts.h"
#include "platform/errors.h"
#include "platform/file.h"
#include "platform/text.h"
#include "tovi.h"

namespace {

constexpr platform::UINT kReadFlags = platform::File::modeRead | platform::File::typeBinary;
constexpr platform::UINT kWriteFlags =
    platform::File::modeCreate | platform::File::modeWrite | platform::File::typeBinary;

void ShowFileError(host::PromptService& prompts, const platform::FileException& error) {
    prompts.Tell(error.GetErrorMessage(), host::PromptIcon::Error);
}

// The process id of a save in progress beside `list` ("<list>.<pid>.new"), or 0.
long SavingProcess(const std::string& name, const std::string& list) {
    constexpr std::string_view kSuffix = ".new";
    if (name.size() <= list.size() + 1 + kSuffix.size() || !name.starts_with(list + ".") ||
        !name.ends_with(kSuffix)) {
        return 0;
    }
    const std::string digits =
        name.substr(list.size() + 1, name.size() - list.size() - 1 - kSuffix.size());
    if (digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    return std::stol(digits);
}

// Removes the files of saves that a process ended before finishing (killed, or the machine
// went down); a save of a process still running is left alone.
void RemoveStaleSaves(const wxString& path) {
    const std::filesystem::path native = platform::NativePath(path.ToStdWstring());
    const std::string list = native.filename().string();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(native.parent_path(), ec), end; !ec && it != end;
         it.increment(ec)) {
        const long pid = SavingProcess(it->path().filename().string(), list);
        if (pid > 0 && pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 &&
            errno == ESRCH) {
            std::remove(it->path().c_str());
        }
    }
}

}  // namespace

LineFileFactory DefaultLineFiles() {
    return [] { return std::make_unique<MyFileW>(); };
}

void LoadListFile(const wxString& path, int capacity, MediaList& list, host::PromptService& prompts,
                  const LineFileFactory& files) {
    RemoveStaleSaves(path);
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

void SaveListFile(const wxString& path, int capacity, const MediaList& list,
                  host::PromptService& prompts, const LineFileFactory& files) {
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

void LoadLists(MediaLists& lists, const PlayerSettings& settings, host::PromptService& prompts) {
    LoadListFile(GetSetingFilePathName(kHistoryFile), settings.MaxHistory, lists.history, prompts);
    LoadListFile(GetSetingFilePathName(kPlaylistFile), settings.MaxPlayerFile, lists.playlist,
                 prompts);
}

void SaveLists(const MediaLists& lists, const PlayerSettings& settings,
               host::PromptService& prompts) {
    SaveListFile(GetSetingFilePathName(kHistoryFile), settings.MaxHistory, lists.history, prompts);
    SaveListFile(GetSetingFilePathName(kPlaylistFile), settings.MaxPlayerFile, lists.playlist,
                 prompts);
}
