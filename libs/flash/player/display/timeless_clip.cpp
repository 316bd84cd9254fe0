#include "display/timeless_clip.h"

#include "display/display_properties.h"
#include "display/movie_clip.h"
#include "runtime/movie_data.h"

namespace flash {

int TimelessClip::SwfVersion() const {
    return Movie().Version();
}

avm1::Clip* TimelessClip::Parent() {
    return Container() != nullptr ? Container()->ScriptClip() : nullptr;
}

avm1::Value TimelessClip::GetProperty(avm1::Property property) {
    return GetDisplayProperty(*this, property);
}

void TimelessClip::SetProperty(avm1::Property property, const avm1::Value& value) {
    SetDisplayProperty(*this, property, value);
}

}  // namespace flash
