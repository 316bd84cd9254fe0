#include "signals.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <numbers>

namespace flash::media::testing {

double Tone::Value(int channel, int i) const {
    const double f = channel == 0 ? hz : hz * 1.5;
    return amplitude * std::sin(2 * std::numbers::pi * f * i / rate);
}

std::vector<std::vector<std::uint8_t>> EncodePackets(const char* encoder, const Tone& tone,
                                                     int framesPerPacket) {
    std::vector<std::vector<std::uint8_t>> packets;
    const AVCodec* codec = avcodec_find_encoder_by_name(encoder);
    if (codec == nullptr) {
        return packets;
    }
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    const int channels = tone.stereo ? 2 : 1;
    ctx->sample_rate = tone.rate;
    av_channel_layout_default(&ctx->ch_layout, channels);
    ctx->sample_fmt = codec->sample_fmts[0];
    ctx->bit_rate = tone.rate >= 22050 ? 64000 : 24000;
    AVDictionary* options = nullptr;
    if (framesPerPacket > 0) {
        av_dict_set_int(&options, "frames_per_packet", framesPerPacket, 0);
    }
    if (avcodec_open2(ctx, codec, &options) < 0) {
        av_dict_free(&options);
        avcodec_free_context(&ctx);
        return packets;
    }
    av_dict_free(&options);
    AVFrame* frame = av_frame_alloc();
    frame->nb_samples = ctx->frame_size > 0 ? ctx->frame_size : 1024;
    frame->format = ctx->sample_fmt;
    av_channel_layout_copy(&frame->ch_layout, &ctx->ch_layout);
    av_frame_get_buffer(frame, 0);
    AVPacket* packet = av_packet_alloc();
    auto drain = [&] {
        while (avcodec_receive_packet(ctx, packet) == 0) {
            packets.emplace_back(packet->data, packet->data + packet->size);
            av_packet_unref(packet);
        }
    };
    for (int done = 0; done < tone.samples;) {
        const int n = frame->nb_samples;
        av_frame_make_writable(frame);
        for (int i = 0; i < n; ++i) {
            for (int c = 0; c < channels; ++c) {
                const double v = done + i < tone.samples ? tone.Value(c, done + i) : 0.0;
                switch (ctx->sample_fmt) {
                    case AV_SAMPLE_FMT_FLTP:
                        reinterpret_cast<float*>(frame->data[c])[i] = static_cast<float>(v);
                        break;
                    case AV_SAMPLE_FMT_FLT:
                        reinterpret_cast<float*>(frame->data[0])[i * channels + c] =
                            static_cast<float>(v);
                        break;
                    case AV_SAMPLE_FMT_S32P:
                        reinterpret_cast<std::int32_t*>(frame->data[c])[i] =
                            static_cast<std::int32_t>(v * 2147483647.0);
                        break;
                    case AV_SAMPLE_FMT_S16P:
                        reinterpret_cast<std::int16_t*>(frame->data[c])[i] =
                            static_cast<std::int16_t>(v * 32767);
                        break;
                    default:
                        reinterpret_cast<std::int16_t*>(frame->data[0])[i * channels + c] =
                            static_cast<std::int16_t>(v * 32767);
                        break;
                }
            }
        }
        done += n;
        avcodec_send_frame(ctx, frame);
        drain();
    }
    avcodec_send_frame(ctx, nullptr);
    drain();
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&ctx);
    return packets;
}

namespace {

std::uint8_t RateCode(int rate) {
    switch (rate) {
        case 5512:
            return 0;
        case 11025:
            return 1;
        case 22050:
            return 2;
        default:
            return 3;
    }
}

std::vector<std::uint8_t> Concat(const std::vector<std::vector<std::uint8_t>>& packets) {
    std::vector<std::uint8_t> all;
    for (const auto& p : packets) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

// FFmpeg's SWF ADPCM encoder gives each packet of 4096 samples its own code size; a
// DefineSound has one code size and its blocks packed bit to bit.
std::vector<std::uint8_t> JoinAdpcmPackets(const std::vector<std::vector<std::uint8_t>>& packets,
                                           int channels) {
    std::vector<std::uint8_t> out;
    std::size_t bits = 0;
    auto put = [&](unsigned bit) {
        if (bits % 8 == 0) {
            out.push_back(0);
        }
        if (bit) {
            out.back() = static_cast<std::uint8_t>(out.back() | 0x80 >> (bits % 8));
        }
        ++bits;
    };
    auto bitAt = [](const std::vector<std::uint8_t>& p, std::size_t i) {
        return (p[i / 8] >> (7 - i % 8)) & 1u;
    };
    if (packets.empty()) {
        return out;
    }
    put(bitAt(packets[0], 0));
    put(bitAt(packets[0], 1));
    const std::size_t codeBits = ((packets[0][0] >> 6) & 3) + 2;
    const std::size_t block = 22 * channels + 4095 * codeBits * channels;
    for (const auto& p : packets) {
        for (std::size_t i = 2; i < 2 + block && i < p.size() * 8; ++i) {
            put(bitAt(p, i));
        }
    }
    return out;
}

}  // namespace

swf::Sound EncodeSound(swf::SoundFormat format, const Tone& tone, bool is16Bit, bool bigEndian) {
    swf::Sound s;
    s.format = format;
    s.rate = RateCode(tone.rate);
    s.stereo = tone.stereo;
    s.is16Bit = is16Bit;
    s.sampleCount = static_cast<std::uint32_t>(tone.samples);
    const int channels = tone.stereo ? 2 : 1;
    switch (static_cast<int>(format)) {
        case 0:
        case 3:
            for (int i = 0; i < tone.samples; ++i) {
                for (int c = 0; c < channels; ++c) {
                    const double v = tone.Value(c, i);
                    if (!is16Bit) {
                        s.data.push_back(static_cast<std::uint8_t>(std::lround(128 + v * 127)));
                        continue;
                    }
                    const auto w = static_cast<std::uint16_t>(std::lround(v * 32767));
                    const std::uint8_t lo = w & 0xFF;
                    const std::uint8_t hi = w >> 8;
                    s.data.push_back(bigEndian ? hi : lo);
                    s.data.push_back(bigEndian ? lo : hi);
                }
            }
            break;
        case 1:
            s.data = JoinAdpcmPackets(EncodePackets("adpcm_swf", tone), channels);
            break;
        case 2: {
            const auto frames = Concat(EncodePackets("libmp3lame", tone));
            s.data = {0, 0};
            s.data.insert(s.data.end(), frames.begin(), frames.end());
            break;
        }
        case 4:
        case 5:
        case 6:
            s.stereo = false;
            s.data = Concat(EncodePackets("nellymoser", tone));
            break;
        case 11:
            s.stereo = false;
            s.data = Concat(EncodePackets("libspeex", tone, 4));
            break;
        case 7:
            s.is16Bit = false;
            s.data = Concat(EncodePackets("pcm_alaw", tone));
            break;
        case 8:
            s.is16Bit = false;
            s.data = Concat(EncodePackets("pcm_mulaw", tone));
            break;
        default:
            break;
    }
    return s;
}

std::vector<std::uint8_t> TestPicture(int width, int height, int frame) {
    std::vector<std::uint8_t> bgra(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &bgra[(static_cast<std::size_t>(y) * width + x) * 4];
            std::uint8_t r = 128, g = 128, b = 128;
            const int left = 8 + 2 * frame;
            if (x >= left && x < left + 32 && y >= 16 && y < 48) {
                r = 220, g = 30, b = 30;
            } else if (y >= height - 24 && y < height - 8) {
                r = 30, g = 200, b = 40;
            } else if (x >= width - 24 && x < width - 8) {
                r = 20, g = 40, b = 210;
            }
            p[0] = b;
            p[1] = g;
            p[2] = r;
            p[3] = 255;
        }
    }
    return bgra;
}

std::vector<VideoPacket> EncodeVideo(const char* encoder, int width, int height, int frames,
                                     int gop) {
    std::vector<VideoPacket> packets;
    const AVCodec* codec = avcodec_find_encoder_by_name(encoder);
    if (codec == nullptr) {
        return packets;
    }
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    ctx->width = width;
    ctx->height = height;
    ctx->pix_fmt = codec->pix_fmts[0];
    ctx->time_base = {1, 25};
    ctx->gop_size = gop;
    ctx->bit_rate = 2000000;
    if (avcodec_open2(ctx, codec, nullptr) < 0) {
        avcodec_free_context(&ctx);
        return packets;
    }
    AVFrame* frame = av_frame_alloc();
    frame->format = ctx->pix_fmt;
    frame->width = width;
    frame->height = height;
    av_frame_get_buffer(frame, 0);
    SwsContext* sws = sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, ctx->pix_fmt,
                                     SWS_BILINEAR, nullptr, nullptr, nullptr);
    AVPacket* packet = av_packet_alloc();
    auto drain = [&] {
        while (avcodec_receive_packet(ctx, packet) == 0) {
            packets.push_back({{packet->data, packet->data + packet->size},
                               (packet->flags & AV_PKT_FLAG_KEY) != 0});
            av_packet_unref(packet);
        }
    };
    for (int i = 0; i < frames; ++i) {
        av_frame_make_writable(frame);
        const auto bgra = TestPicture(width, height, i);
        const std::uint8_t* src[1] = {bgra.data()};
        const int stride[1] = {width * 4};
        sws_scale(sws, src, stride, 0, height, frame->data, frame->linesize);
        frame->pts = i;
        avcodec_send_frame(ctx, frame);
        drain();
    }
    avcodec_send_frame(ctx, nullptr);
    drain();
    av_packet_free(&packet);
    sws_freeContext(sws);
    av_frame_free(&frame);
    avcodec_free_context(&ctx);
    return packets;
}

Measure MeasureChannel(const PcmBuffer& pcm, int channel, std::size_t from, std::size_t to) {
    Measure m;
    to = std::min(to, pcm.Frames());
    if (to <= from + 1) {
        return m;
    }
    double sum = 0;
    int crossings = 0;
    std::size_t first = 0;
    std::size_t last = 0;
    for (std::size_t i = from; i < to; ++i) {
        const double v = pcm.samples[2 * i + static_cast<std::size_t>(channel)] / 32768.0;
        sum += v * v;
        if (i > from) {
            const double prev = pcm.samples[2 * (i - 1) + static_cast<std::size_t>(channel)];
            if (prev < 0 && pcm.samples[2 * i + static_cast<std::size_t>(channel)] >= 0) {
                if (crossings == 0) {
                    first = i;
                }
                last = i;
                ++crossings;
            }
        }
    }
    m.rms = std::sqrt(sum / static_cast<double>(to - from));
    if (crossings >= 2) {
        m.frequency =
            (crossings - 1) * static_cast<double>(kMixRate) / static_cast<double>(last - first);
    }
    return m;
}

}  // namespace flash::media::testing
