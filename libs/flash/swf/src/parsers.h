#pragma once

// The readers of the single tag bodies, used by the tag walk. Each reads from a BitReader over
// one tag body (after the character id where there is one) and throws ParseError on data that
// does not fit.

#include <cstdint>
#include <vector>

#include "flash/swf/bit_reader.h"
#include "flash/swf/movie.h"

namespace flash::swf::detail {

// Shapes and styles.
FillStyle ReadFillStyle(BitReader& r, int shapeVersion);
LineStyle ReadLineStyle(BitReader& r, int shapeVersion);
Shape ReadShape(BitReader& r, int version);
MorphShape ReadMorphShape(BitReader& r, int version);
// A glyph's SHAPE: edges only, fill indexes 0 or 1, no lines.
std::vector<Edge> ReadGlyphShape(BitReader& r);

// Display list.
PlaceObject ReadPlaceObject(BitReader& r, int version, int swfVersion);
RemoveObject ReadRemoveObject(BitReader& r, int version);
std::vector<Filter> ReadFilterList(BitReader& r);

// Fonts and text.
Font ReadFont(BitReader& r, int version);
void ReadFontInfo(BitReader& r, int version, Font& font);
Text ReadText(BitReader& r, int version);
EditText ReadEditText(BitReader& r);

// Sounds, buttons, video.
Sound ReadSound(BitReader& r);
SoundInfo ReadSoundInfo(BitReader& r);
SoundStreamHead ReadSoundStreamHead(BitReader& r, int version);
Button ReadButton(BitReader& r, int version);
void ReadButtonCxform(BitReader& r, Button& button);
void ReadButtonSound(BitReader& r, Button& button);
VideoStream ReadVideoStream(BitReader& r);

}  // namespace flash::swf::detail
