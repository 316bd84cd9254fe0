#pragma once

// Variables in the URL-encoded form ("a=1&b=two%20words") that LoadVars, loadVariables and
// their sending use.

#include <utility>
#include <vector>

#include "flash/avm1/value.h"

namespace flash::avm1 {

using Variables = std::vector<std::pair<String, String>>;

// Splits at '&' and '=', turns '+' into a space and %XX into bytes read as UTF-8 (SWF 6 and
// later) or Latin-1. Pairs without a name are skipped; a name without '=' gets "".
Variables DecodeVariables(StringView text, int version);
// name=value pairs joined with '&': letters and digits stay, a space becomes '+' when
// `plusForSpace`, everything else %XX of its UTF-8 bytes.
String EncodeVariables(const Variables& variables, bool plusForSpace);

// One value in that form: letters and digits stay, a space becomes '+' when `plusForSpace`,
// everything else %XX of its UTF-8 bytes. The global escape() is this without '+'.
String UrlEscape(StringView s, bool plusForSpace);
// %XX back to bytes read as UTF-8 (SWF 6 and later) or Latin-1; '+' becomes a space when
// `plusIsSpace` (variables do, the global unescape() does not).
String UrlUnescape(StringView s, int version, bool plusIsSpace);

}  // namespace flash::avm1
