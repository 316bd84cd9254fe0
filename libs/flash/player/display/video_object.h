#pragma once

#include <memory>

#include "display/timeless_clip.h"
#include "flash/swf/bitmap.h"
#include "flash/swf/video.h"

namespace flash {

namespace media {
class FlvPlayback;
class VideoTrack;
}  // namespace media

// What a NetStream plays, shared with the Videos attached to it: a new play() reaches them.
struct VideoFeed {
    std::shared_ptr<media::FlvPlayback> playback;
};

// A Video on the stage: a DefineVideoStream instance (or one a script made). It shows the
// frame of its embedded stream that its ratio names, or, once a script attached a NetStream
// to it, that stream's picture of the moment; either way stretched over its own size.
class VideoObject final : public TimelessClip {
  public:
    VideoObject(Runtime& runtime, std::shared_ptr<MovieData> movie, std::uint16_t characterId,
                std::shared_ptr<const swf::VideoStream> stream);
    ~VideoObject() override;

    DisplayKind GetDisplayKind() const override { return DisplayKind::Graphic; }
    Rect LocalBounds() const override;
    bool HitsPoint(Point local) const override;

    // The picture to draw, or null for none.
    const swf::Image* Picture() const;
    bool Smoothing() const { return smoothing_; }
    void SetSmoothing(bool on) { smoothing_ = on; }
    int Deblocking() const { return deblocking_; }
    void SetDeblocking(int level) { deblocking_ = level; }
    // The decoded size of what it shows (0 before a picture).
    int DecodedWidth() const;
    int DecodedHeight() const;

    // attachVideo: a stream's pictures from now on; null detaches.
    void Attach(std::shared_ptr<VideoFeed> feed);
    // clear(): the picture shown goes until the next one comes.
    void Clear();

  private:
    std::shared_ptr<const swf::VideoStream> stream_;
    mutable std::unique_ptr<media::VideoTrack> track_;
    std::shared_ptr<VideoFeed> attached_;
    std::uint64_t clearedAt_ = 0;  // the attached stream's picture serial when cleared
    bool cleared_ = false;
    bool smoothing_ = false;
    int deblocking_ = 0;
};

}  // namespace flash
