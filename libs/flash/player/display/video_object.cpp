#include "display/video_object.h"

#include "flash/media/flv_playback.h"
#include "flash/media/video.h"
#include "runtime/movie_data.h"

namespace flash {

namespace {

// A Video a script made has the size Flash gives a new Video object.
constexpr int kDefaultWidth = 160;
constexpr int kDefaultHeight = 120;

}  // namespace

VideoObject::VideoObject(Runtime& runtime, std::shared_ptr<MovieData> movie,
                         std::uint16_t characterId, std::shared_ptr<const swf::VideoStream> stream)
    : TimelessClip(runtime, std::move(movie), characterId), stream_(std::move(stream)) {
    if (stream_) {
        smoothing_ = stream_->smoothing;
        deblocking_ = stream_->deblocking;
    }
}

VideoObject::~VideoObject() = default;

Rect VideoObject::LocalBounds() const {
    const int width = stream_ ? stream_->width : kDefaultWidth;
    const int height = stream_ ? stream_->height : kDefaultHeight;
    return Rect{0, width * 20, 0, height * 20};
}

bool VideoObject::HitsPoint(Point local) const {
    const Rect r = LocalBounds();
    return local.x >= r.xmin && local.x < r.xmax && local.y >= r.ymin && local.y < r.ymax;
}

const swf::Image* VideoObject::Picture() const {
    if (attached_) {
        const media::FlvPlayback* playback = attached_->playback.get();
        const media::StreamPicture* p = playback != nullptr ? playback->Picture() : nullptr;
        if (p == nullptr || (cleared_ && playback->PictureSerial() == clearedAt_)) {
            return nullptr;
        }
        return &p->image;
    }
    if (!stream_ || cleared_) {
        return nullptr;
    }
    if (!track_) {
        track_ = std::make_unique<media::VideoTrack>(*stream_);
        for (const swf::VideoFrame* frame : Movie().VideoFrames(CharacterId())) {
            track_->AddFrame(frame->frameNumber, frame->data);
        }
    }
    const media::VideoPicture* p = track_->Picture(Ratio());
    return p != nullptr ? &p->image : nullptr;
}

int VideoObject::DecodedWidth() const {
    const swf::Image* p = Picture();
    return p != nullptr ? p->width : 0;
}

int VideoObject::DecodedHeight() const {
    const swf::Image* p = Picture();
    return p != nullptr ? p->height : 0;
}

void VideoObject::Attach(std::shared_ptr<VideoFeed> feed) {
    attached_ = std::move(feed);
    cleared_ = !attached_;
}

void VideoObject::Clear() {
    cleared_ = true;
    clearedAt_ = attached_ && attached_->playback ? attached_->playback->PictureSerial() : 0;
}

}  // namespace flash
