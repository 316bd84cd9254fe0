#pragma once

#include "flash/avm1/host.h"

namespace flash {

class DisplayObject;

// The properties clips and buttons share as scripts read and write them (_x, _y, the scales,
// _rotation, _alpha, _visible, _width, _height, _name, _target, _xmouse, _ymouse, _url, the
// quality ones). Timeline properties give undefined here; clips answer them themselves.
avm1::Value GetDisplayProperty(DisplayObject& object, avm1::Property property);
// Values that are not numbers where numbers are wanted are ignored, as Flash ignores them.
void SetDisplayProperty(DisplayObject& object, avm1::Property property, const avm1::Value& value);

}  // namespace flash
