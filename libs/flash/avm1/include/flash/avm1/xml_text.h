#pragma once

// XML's character entities, for XML objects and for the HTML that text fields write.

#include "flash/avm1/value.h"

namespace flash::avm1 {

// Text with & < > " ' written as entities, and back (unknown entities stay as they are).
String XmlEscape(StringView text);
String XmlUnescape(StringView text);

}  // namespace flash::avm1
