// The list of built-in classes.
//
// To add a class: write classes/<class>.cpp with its methods as named functions and
// NativeMember tables (Method, Accessor, Constant), an Install<Class>(Interpreter&, Globals&)
// that makes the constructor with MakeClass and calls DefineMembers for the prototype and the
// constructor; declare it in classes.h, list the file in avm1/CMakeLists.txt and call it
// below. Classes that need the display list belong to the runtime (player/script).
//
// The order is observable: it is the order _global lists its members in.
#include "classes.h"

namespace flash::avm1 {

void InstallClasses(Interpreter& in, Globals& g) {
    InstallObject(in, g);
    InstallAsNative(in, g);
    InstallFunction(in, g);
    InstallArray(in, g);
    InstallString(in, g);
    InstallNumber(in, g);
    InstallBoolean(in, g);
    InstallMath(in, g);
    InstallDate(in, g);
    InstallError(in, g);
    InstallGlobalFunctions(in, g);
    InstallAsBroadcaster(in, g);
    InstallPlayerBroadcasters(in, g);
    InstallSystem(in, g);
    InstallMovieClipLoader(in, g);
    InstallMovieClip(in, g);
    InstallButton(in, g);
    InstallTextField(in, g);
    InstallXmlNode(in, g);
    InstallXml(in, g);
    InstallExternalInterface(in, g);
    InstallPoint(in, g);
    InstallRectangle(in, g);
    InstallMatrix(in, g);
    InstallColorTransform(in, g);
    InstallLoadVars(in, g);
    InstallContextMenu(in, g);
}

}  // namespace flash::avm1
