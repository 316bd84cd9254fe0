// Button: the class of the script objects of buttons. Their members come from the display
// object (Clip::GetMember); the runtime adds prototype methods where it has any.
#include "classes.h"
#include "interpreter.h"

namespace flash::avm1 {

void InstallButton(Interpreter& in, Globals& g) {
    MakeClass(in, u"Button", g.buttonProto, [](CallContext& c) -> Value { return c.thisValue; });
}

}  // namespace flash::avm1
