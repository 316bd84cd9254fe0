#pragma once

// What a video stream's playback needs from a backend: packets of a container read in file
// order, and decoders for its audio and video. The FFmpeg backend reads FLV.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "flash/media/byte_source.h"
#include "flash/media/pcm.h"
#include "flash/swf/bitmap.h"

namespace flash::media {

struct StreamPacket {
    enum class Kind { Audio, Video };
    Kind kind = Kind::Video;
    double time = 0;  // decoding time, seconds
    bool keyframe = false;
    std::vector<std::uint8_t> data;
    std::int64_t dts = 0;  // the backend's own stamps
    std::int64_t pts = 0;
};

struct StreamLayout {
    bool hasAudio = false;
    bool hasVideo = false;
    int videoCodecId =
        0;  // FLV's codec ids: 2 H.263, 3 screen, 4 VP6, 5 VP6 alpha, 6 screen 2, 7 AVC
    int audioCodecId = -1;  // FLV's sound format codes: 0..15 (-1 none)
    int width = 0;
    int height = 0;
    double duration = 0;  // seconds; 0 unknown
    double frameRate = 0;
};

struct StreamPicture {
    swf::Image image;  // premultiplied ARGB32
    double time = 0;   // presentation time, seconds
};

class StreamVideoDecoder {
  public:
    virtual ~StreamVideoDecoder() = default;
    // Takes the next packet; null drains what the codec still holds (at the end). False
    // when it does not decode.
    virtual bool Send(const StreamPacket* packet) = 0;
    // The next picture in presentation order, when one is ready.
    virtual bool Receive(StreamPicture& out) = 0;
    // Forgets every frame before (after a seek).
    virtual void Reset() = 0;
};

class StreamAudioDecoder {
  public:
    virtual ~StreamAudioDecoder() = default;
    // Decodes a packet into mixer frames appended to `out`; false when it does not decode.
    virtual bool Decode(const StreamPacket& packet, PcmBuffer& out) = 0;
    virtual void Reset() = 0;
};

class StreamDemuxer {
  public:
    enum class ReadResult { Packet, End, Error };

    virtual ~StreamDemuxer() = default;
    virtual const StreamLayout& Layout() const = 0;
    virtual ReadResult Read(StreamPacket& out) = 0;
    // Moves to the keyframe at or before `seconds` (the first one when there is none before).
    virtual bool Seek(double seconds) = 0;
    // Bytes read so far and the whole file's size.
    virtual std::uint64_t Position() const = 0;
    virtual std::uint64_t Size() const = 0;
    // Null with the reason when the stream has no such track or its codec is missing.
    virtual std::unique_ptr<StreamVideoDecoder> CreateVideoDecoder(std::string* error) = 0;
    virtual std::unique_ptr<StreamAudioDecoder> CreateAudioDecoder(std::string* error) = 0;
};

// The FFmpeg backend: FLV demuxed by libavformat straight from the source. Null with the
// reason when the bytes are not a readable FLV file.
std::unique_ptr<StreamDemuxer> OpenFlvDemuxer(std::unique_ptr<ByteSource> source,
                                              std::string* error = nullptr);

}  // namespace flash::media
