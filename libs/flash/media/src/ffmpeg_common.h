#pragma once

// Small helpers shared by the FFmpeg backends.

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <memory>

namespace flash::media::detail {

// FFmpeg reports damaged data on stderr; the backends report it their own way.
void QuietFfmpegLog();

struct CodecContextFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;

}  // namespace flash::media::detail
