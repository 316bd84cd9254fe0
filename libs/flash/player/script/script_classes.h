#pragma once

// The script classes that need the display list, one file each in this folder; registry.cpp
// installs them on the interpreter's globals.

#include "flash/avm1/native_member.h"
#include "flash/avm1/vm.h"

namespace flash {

class Runtime;

// Adds every class of this folder to the runtime's interpreter.
void InstallScriptClasses(avm1::Vm& vm);

// One installer per class (the file of the same name).
void InstallMovieClip(avm1::Vm& vm);
// The drawing methods, which InstallMovieClip adds (movie_clip_drawing.cpp).
void InstallMovieClipDrawing(avm1::Vm& vm);
void InstallColor(avm1::Vm& vm);
void InstallKey(avm1::Vm& vm);
void InstallMouse(avm1::Vm& vm);
void InstallSelection(avm1::Vm& vm);
void InstallButton(avm1::Vm& vm);
void InstallSound(avm1::Vm& vm);
void InstallNetConnection(avm1::Vm& vm);
void InstallNetStream(avm1::Vm& vm);
void InstallVideo(avm1::Vm& vm);
void InstallTransform(avm1::Vm& vm);
void InstallBitmapData(avm1::Vm& vm);
void InstallTextField(avm1::Vm& vm);
void InstallTextFormat(avm1::Vm& vm);
void InstallTextSnapshot(avm1::Vm& vm);
void InstallStyleSheet(avm1::Vm& vm);

// The runtime a native runs for (the host of its interpreter).
Runtime& RuntimeOf(avm1::CallContext& c);
// tabIndex on a prototype; `listed` lets for..in see it before it is set.
void AddTabIndex(avm1::Vm& vm, avm1::Object* proto, bool listed);
// enabled and useHandCursor true on a clip or button prototype that has none.
void AddInteractiveDefaults(avm1::Vm& vm, avm1::Object* proto);
// A global object of that name; made as a broadcaster when the interpreter has none.
avm1::Object* GlobalObject(avm1::Vm& vm, avm1::StringView name);

}  // namespace flash
