#pragma once

// TextFormat objects as the TextField natives read and make them.

#include "display/text_field_format.h"
#include "flash/avm1/vm.h"

namespace flash {

// The format a TextFormat object holds; null for any other value.
const TextFormatValues* TextFormatOf(const avm1::Value& value);
// A new TextFormat object holding `format`.
avm1::Value NewTextFormat(avm1::Vm& vm, const TextFormatValues& format, int version);

}  // namespace flash
