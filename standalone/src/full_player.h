#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace standalone {

// Where the installed full player is registered (local machine).
inline constexpr wchar_t kInstallKey[] = L"Software\\Kestrum\\ToviFlash\\Install";
inline constexpr wchar_t kInstallPathValue[] = L"Path";

// The full player's program as registered, when the value names it: a text longer than the
// program's file name that ends with it, without regard to case.
std::optional<std::wstring> AcceptedFullPlayerPath(const platform::RegValue& value);

// Reads the registered full player; none when it is not installed or the value is damaged.
std::optional<std::wstring> RegisteredFullPlayer();

// `argument` quoted so a command line splits it back into exactly that one argument.
std::wstring QuoteArgument(std::wstring_view argument);

enum class FullPlayerOutcome { kNotInstalled, kNoMovie, kStarted, kStartFailed };

// Starts the registered full player with `moviePath` (UTF-8) as its one argument. The program
// is started by its path as stored.
FullPlayerOutcome OpenInFullPlayer(bool hasMovie, const std::string& moviePath);

}  // namespace standalone
