// TextField: the class of the script objects of text fields. Their members come from the display
// object (Clip::GetMember); the runtime adds prototype methods where it has any.
#include "classes.h"
#include "interpreter.h"

namespace flash::avm1 {

void InstallTextField(Interpreter& in, Globals& g) {
    MakeClass(in, u"TextField", g.textFieldProto,
              [](CallContext& c) -> Value { return c.thisValue; });
}

}  // namespace flash::avm1
