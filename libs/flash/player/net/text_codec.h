#pragma once

// Text that scripts load or send: UTF-8 for SWF 6 and later, the system code page for older
// movies and for System.useCodepage. The code page follows the user's locale (GBK for
// simplified Chinese, Windows-1252 where nothing else applies).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "flash/avm1/value.h"

namespace flash::net {

// The iconv name of the system code page ("GBK", "BIG5", "CP1252", ...), from a locale name
// such as "zh_CN.UTF-8".
std::string CodepageForLocale(std::string_view locale);
// The one of this process's locale (LC_ALL, LC_CTYPE, LANG).
const std::string& SystemCodepage();

avm1::String DecodeCodepage(std::string_view bytes, const std::string& codepage);
std::string EncodeCodepage(avm1::StringView text, const std::string& codepage);

// Loaded bytes as script text. A byte-order mark (UTF-8, UTF-16 either way) wins over the rule.
avm1::String DecodeLoaded(std::span<const std::uint8_t> bytes, bool codepage);
avm1::String DecodeLoaded(std::string_view bytes, bool codepage);
// Text to send: UTF-8, or the code page.
std::string EncodeForSending(avm1::StringView text, bool codepage);

}  // namespace flash::net
