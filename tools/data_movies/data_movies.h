#pragma once

#include "swfgen/bit_writer.h"

// The data movies that lie beside the program in "Tools".
namespace data_movies {

// "Tools\start.swf": shown while no file is open. The program's name fades in over a slow
// ripple of rings that goes on while the movie waits.
swfgen::Bytes StartMovie();

// "Tools\FLVPlayer.swf": the wrapper through which FLV files play. Its frame is its state:
// 0 ready, 1 loading, 2 playing, 3 paused, 4 ended, 5 failed, 6 stopped; every frame stops
// there and sets "_level0.strStatu" to the state's word ("buffering" instead of "play" while
// playing waits for data). Frame 2 plays "_level0.strPath" through a NetStream (from where it
// stood, or from the start for a new path); 3 and 4 pause; 6 pauses at the first frame; 5
// shows that the file cannot be played, and the wrapper goes there itself when the stream is
// not found or ends without having shown anything. When a stream ends the wrapper goes to 6.
// The decoded video size is in "_level0.flvPlayer.0._videoWidth" and "_videoHeight" (0 while
// none is known). The video fills the stage above a control bar keeping its aspect ratio; the
// bar has a seek bar to click or drag and the time played and the duration.
swfgen::Bytes FlvPlayerMovie();

// The status words of the wrapper's frames 0 to 6.
inline constexpr const char* kFlvStates[] = {"ready", "load",  "play", "pause",
                                             "end",   "error", "stop"};

}  // namespace data_movies
