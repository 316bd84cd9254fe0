#include "full_player.h"

#include "platform/shell.h"
#include "platform/text.h"

namespace standalone {
namespace {

// The full player's file name on this platform, lower-cased.
#if defined(_WIN32)
constexpr std::wstring_view kProgramName = L"toviflash.exe";
#else
constexpr std::wstring_view kProgramName = L"toviflash";
#endif

}  // namespace

std::optional<std::wstring> AcceptedFullPlayerPath(const platform::RegValue& value) {
    if (value.type != platform::kRegSz) {
        return std::nullopt;
    }
    std::wstring path = platform::RegStringFromBytes(value.data);
    const std::wstring folded = platform::FoldCase(path);
    if (folded.size() <= kProgramName.size() || !folded.ends_with(kProgramName)) {
        return std::nullopt;
    }
    return path;
}

std::optional<std::wstring> RegisteredFullPlayer() {
    platform::RegKey key;
    if (key.Open(platform::RegRoot::LocalMachine, kInstallKey, platform::kKeyRead) != 0) {
        return std::nullopt;
    }
    platform::RegValue value;
    if (key.QueryValue(kInstallPathValue, &value) != 0) {
        return std::nullopt;
    }
    return AcceptedFullPlayerPath(value);
}

std::wstring QuoteArgument(std::wstring_view argument) {
    std::wstring out = L"\"";
    std::size_t slashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        // Backslashes before a quote are doubled and the quote escaped; elsewhere they stand.
        out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        out.push_back(c);
    }
    out.append(slashes * 2, L'\\');  // before the closing quote
    out.push_back(L'"');
    return out;
}

FullPlayerOutcome OpenInFullPlayer(bool hasMovie, const std::string& moviePath) {
    const std::optional<std::wstring> program = RegisteredFullPlayer();
    if (!program) {
        return FullPlayerOutcome::kNotInstalled;
    }
    if (!hasMovie) {
        return FullPlayerOutcome::kNoMovie;
    }
    const std::wstring parameters = QuoteArgument(platform::WidePath(moviePath));
    const std::intptr_t result = platform::ShellOpen(L"open", program->c_str(), parameters.c_str(),
                                                     nullptr, platform::kSwShowNormal);
    return result > 32 ? FullPlayerOutcome::kStarted : FullPlayerOutcome::kStartFailed;
}

}  // namespace standalone
