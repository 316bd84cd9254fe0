#pragma once

#include <cstdint>

#include "flash/geom.h"

namespace flash {

class DisplayObject;
class MovieClip;
class Runtime;

// What scripts say about an object that the mouse may act on: buttons, and clips that handle
// button events (onPress, onRelease, ... or on(press) clip actions).

// A clip with button event handlers takes the mouse as a button does.
bool ActsAsButton(Runtime& runtime, MovieClip& clip);
// `enabled` (true unless a script set it false).
bool IsEnabled(Runtime& runtime, DisplayObject& object);
// `useHandCursor` (true unless a script set it false).
bool UsesHandCursor(Runtime& runtime, DisplayObject& object);
// `trackAsMenu`: the definition's flag for buttons, or what a script set.
bool TracksAsMenu(Runtime& runtime, DisplayObject& object);

// The object that takes the mouse at a point of the stage (twips of _level0): the topmost
// enabled button whose hit area holds the point, or clip acting as a button whose content (or
// hitArea clip) does. Other content does not stand in the way. Null when there is none.
DisplayObject* PickMouseTarget(Runtime& runtime, Point stage);

// The innermost clip whose content lies under a point, skipping `dragged` and what is in it,
// for _droptarget. Null when there is none.
MovieClip* PickDropTarget(Runtime& runtime, Point stage, const DisplayObject* dragged);

// A change of a button's mouse state, by the condition bit of DefineButton2
// (swf::ButtonCondition). Runs nothing itself: it queues the button's actions for that
// condition and the matching script event (onPress, onRollOver, ...), starts the button's
// sound for it and shows the state the change leads to (the over, down or up state of a
// button; a clip's "_over", "_down" or "_up" frame when it has one).
void QueueButtonEvent(Runtime& runtime, DisplayObject& target, std::uint16_t condition);

}  // namespace flash
