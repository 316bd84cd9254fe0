#include <algorithm>

#include "flash/media/video.h"

namespace flash::media {

VideoTrack::VideoTrack(const swf::VideoStream& stream, VideoPacking packing)
    : stream_(stream), packing_(packing) {
    picture_.smoothing = stream.smoothing;
    picture_.deblocking = stream.deblocking;
}

VideoTrack::~VideoTrack() = default;

void VideoTrack::AddFrame(int frame, std::span<const std::uint8_t> data) {
    if (frame < 0) {
        return;
    }
    frames_[frame] = data;
    // A frame replaced behind the decoder invalidates what it decoded since.
    if (frame <= decoded_) {
        decoded_ = -1;
        pictureValid_ = false;
    }
    failed_ = -1;
}

const VideoPicture* VideoTrack::Picture(int frame) {
    auto it = frames_.upper_bound(frame);
    if (it == frames_.begin()) {
        return nullptr;
    }
    const int target = std::prev(it)->first;
    if (pictureValid_ && picture_.frame == target) {
        return &picture_;
    }
    // A frame that did not decode is not tried again at every paint.
    if (target == failed_) {
        return nullptr;
    }
    if (Show(target)) {
        return &picture_;
    }
    failed_ = target;
    return nullptr;
}

bool VideoTrack::Show(int target) {
    if (!decoderTried_) {
        decoderTried_ = true;
        decoder_ = CreateVideoDecoder({stream_.codec, packing_, stream_.deblocking == 1}, &error_);
    }
    if (!decoder_) {
        return false;
    }
    // Decode from the keyframe at or before the target, unless the decoder is already between
    // that keyframe and the target.
    auto key = frames_.upper_bound(target);
    while (key != frames_.begin()) {
        --key;
        if (IsKeyframe(stream_.codec, key->second, packing_)) {
            break;
        }
    }
    auto from = key;
    if (decoded_ >= 0 && decoded_ < target && decoded_ >= key->first) {
        from = frames_.upper_bound(decoded_);
    } else {
        decoder_->Reset();
    }
    pictureValid_ = false;
    bool ok = false;
    for (auto it = from; it != frames_.end() && it->first <= target; ++it) {
        const bool last = it->first == target;
        ok = decoder_->Decode(it->second, last ? &picture_.image : nullptr, &error_);
        decoded_ = it->first;
    }
    if (!ok) {
        return false;
    }
    picture_.frame = target;
    pictureValid_ = true;
    error_.clear();
    return true;
}

}  // namespace flash::media
