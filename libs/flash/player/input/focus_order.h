#pragma once

#include "flash/geom.h"

namespace flash {

class DisplayObject;
class Runtime;
class TextFieldObject;

// Which objects take the keyboard focus, and the order Tab moves it in. Scripts decide
// through the objects' members: tabEnabled, tabIndex, tabChildren and focusEnabled.

// Whether Selection.setFocus may give the object the focus: a text field, a button, or a
// clip with focusEnabled or button handlers. A level's root never takes it.
bool CanTakeFocus(Runtime& runtime, DisplayObject& object);

// Where Tab (or Shift+Tab, `backwards`) moves the focus from `current` (null: nothing has
// it). When any object in the order has a tabIndex, only those take part, by tabIndex and
// then display order; else objects go by their top left corner on the stage, row by row,
// and objects at the same corner as another are reached through the first of them only.
// Null when nothing takes the focus by Tab.
DisplayObject* NextTabStop(Runtime& runtime, DisplayObject* current, bool backwards);

// The selectable text field a click at a stage point lands on, unless a button or a clip
// acting as one lies above it there; null for none.
TextFieldObject* TextFieldAt(Runtime& runtime, Point stage);

}  // namespace flash
