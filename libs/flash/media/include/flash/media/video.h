#pragma once

// Embedded video: decoding VideoFrame packets (and later FLV video packets) into images for
// the renderer, behind a small interface with an FFmpeg backend, and a track that shows any
// frame of a stream, decoding from the keyframe before it when it has to.

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>

#include "flash/swf/bitmap.h"
#include "flash/swf/video.h"

namespace flash::media {

// How packets are wrapped: VideoFrame tags carry VP6 bare; FLV puts a byte before it that
// says how much to crop off the right and bottom.
enum class VideoPacking { Swf, Flv };

struct VideoCoding {
    swf::VideoCodec codec = swf::VideoCodec::SorensonH263;
    VideoPacking packing = VideoPacking::Swf;
    bool deblockingOff = false;  // DefineVideoStream's deblocking 1: no loop filter
};

// Decodes one stream's packets in order into premultiplied ARGB32 images (libswscale turns the
// codec's YUV into RGB).
class VideoDecoder {
  public:
    virtual ~VideoDecoder() = default;
    // Decodes the next packet. With `image`, the picture is converted into it; without, the
    // packet only moves the decoder on (frames skipped on the way to a seek target). False,
    // with the reason in *error, when the packet does not decode.
    virtual bool Decode(std::span<const std::uint8_t> packet, swf::Image* image,
                        std::string* error) = 0;
    // Forgets earlier frames (before decoding from a keyframe).
    virtual void Reset() = 0;
};

// The decoder for a codec, or null with the reason (an unknown codec, or one this build of the
// library lacks).
std::unique_ptr<VideoDecoder> CreateVideoDecoder(const VideoCoding& coding,
                                                 std::string* error = nullptr);

// Whether a packet decodes without the frames before it. Screen video counts a frame as a
// keyframe when it carries every block; a codec it cannot tell for has only its first frame.
bool IsKeyframe(swf::VideoCodec codec, std::span<const std::uint8_t> packet,
                VideoPacking packing = VideoPacking::Swf);

// A decoded frame as the renderer draws it: stretched over the stream's width and height
// (the image may be smaller or larger), smoothed when scaled if the stream asks for it.
struct VideoPicture {
    swf::Image image;
    int frame = -1;  // the frame it shows
    bool smoothing = false;
    std::uint8_t deblocking =
        0;  // DefineVideoStream's field: 0 as the packet says, 1 off, 2.. levels
};

// The frames of one DefineVideoStream. Frames are added as the timeline meets them (or all at
// once); the bytes stay with the caller (the movie's VideoFrame tags) and must outlive the track.
class VideoTrack {
  public:
    explicit VideoTrack(const swf::VideoStream& stream, VideoPacking packing = VideoPacking::Swf);
    ~VideoTrack();
    VideoTrack(const VideoTrack&) = delete;
    VideoTrack& operator=(const VideoTrack&) = delete;

    void AddFrame(int frame, std::span<const std::uint8_t> data);
    // The picture for `frame`: that frame's, or the last one before it that has data. Null when
    // there is none or it does not decode (LastError() says why).
    const VideoPicture* Picture(int frame);
    const std::string& LastError() const { return error_; }
    const swf::VideoStream& Stream() const { return stream_; }

  private:
    bool Show(int target);

    swf::VideoStream stream_;
    VideoPacking packing_;
    std::unique_ptr<VideoDecoder> decoder_;
    bool decoderTried_ = false;
    std::map<int, std::span<const std::uint8_t>> frames_;
    int decoded_ = -1;  // the last frame the decoder took
    int failed_ = -1;   // the last frame asked for that did not decode
    VideoPicture picture_;
    bool pictureValid_ = false;
    std::string error_;
};

}  // namespace flash::media
