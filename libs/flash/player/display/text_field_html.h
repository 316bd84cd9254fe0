#pragma once

// The HTML of text fields: what htmlText takes (Flash's tag subset) and what it gives back.

#include "display/text_field_format.h"

namespace flash {

struct HtmlOptions {
    bool condenseWhite = false;  // runs of white space shown as one space, line breaks dropped
};

// Parses `html` into `out`, characters taking `base` changed by the tags around them:
// <p align>, <br>, <li>, <font face size color letterSpacing kerning>, <b>, <i>, <u>,
// <a href target>, <textformat ...>; other tags are dropped. Text that is only white space
// between two tags is dropped, as Flash drops it.
FormattedText ParseFieldHtml(avm1::StringView html, const TextFormatValues& base,
                             const HtmlOptions& options = {});

// Flash's HTML for formatted text: a <P> or <LI> per paragraph inside a <TEXTFORMAT> when
// its margins, indent, leading or tab stops are set, a <FONT> with every font property,
// nested <FONT>s for runs that differ, then <A>, <B>, <I>, <U>.
avm1::String WriteFieldHtml(const FormattedText& text);

}  // namespace flash
