#include "globals.h"
#include "interpreter.h"

namespace flash::avm1 {

void InstallArray(Interpreter&, Globals&) {}
void InstallString(Interpreter&, Globals&) {}
void InstallNumberBoolean(Interpreter&, Globals&) {}
void InstallMath(Interpreter&, Globals&) {}
void InstallDate(Interpreter&, Globals&) {}

}  // namespace flash::avm1
