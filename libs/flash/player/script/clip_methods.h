#pragma once

#include "flash/avm1/vm.h"

namespace flash {

// The MovieClip methods that work on the display list (attachMovie, createEmptyMovieClip,
// depths, bounds, coordinates, hit tests, bytes) and the Color class, added to the
// interpreter's built-ins where it does not define them itself.
void InstallClipMethods(avm1::Vm& vm);

}  // namespace flash
