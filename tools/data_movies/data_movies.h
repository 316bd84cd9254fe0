#pragma once

#include "swfgen/bit_writer.h"

// The data movies that lie beside the program in "Tools".
namespace data_movies {

// "Tools\start.swf": shown while no file is open. The program's name fades in over a slow
// ripple of rings that goes on while the movie waits.
swfgen::Bytes StartMovie();

// "Tools\FLVPlayer.swf": the wrapper through which FLV files play. Its frame is its state:
// 0 ready, 1 loading, 2 playing, 3 paused, 4 ended, 5 failed, 6 stopped; every frame stops
// there and sets "_level0.strStatu" to the state's word. It reads the file from
// "_level0.strPath" and reports the video's size in "_level0.flvPlayer.0._videoWidth" and
// "_videoHeight" (0 while no video is decoded).
swfgen::Bytes FlvPlayerMovie();

// The status words of the wrapper's frames 0 to 6.
inline constexpr const char* kFlvStates[] = {"ready", "load",  "play", "pause",
                                             "end",   "error", "stop"};

}  // namespace data_movies
