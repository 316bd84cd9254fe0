#pragma once

#include "flash/avm1/vm.h"

namespace flash {

class Runtime;

// The script objects that read the player's input: Key (isDown, getCode, getAscii,
// isToggled and the key constants), Mouse.show and Mouse.hide, Selection's focus, and the
// enabled and useHandCursor defaults of clips and buttons.
void InstallInputObjects(avm1::Vm& vm, Runtime& runtime);

}  // namespace flash
