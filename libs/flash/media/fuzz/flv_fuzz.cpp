// Feeds arbitrary bytes through the FLV path: the script data walk, the demuxer and the
// decoders packet by packet with a seek on the way, then a short playback on its worker.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "flash/media/audio_output.h"
#include "flash/media/flv_playback.h"
#include "flash/media/flv_tags.h"
#include "flash/media/stream_demuxer.h"

namespace {

using namespace flash::media;

void Demux(const SourceOpener& open) {
    std::unique_ptr<StreamDemuxer> demuxer = OpenFlvDemuxer(open(nullptr));
    if (!demuxer) {
        return;
    }
    auto video = demuxer->CreateVideoDecoder(nullptr);
    auto audio = demuxer->CreateAudioDecoder(nullptr);
    StreamPacket packet;
    StreamPicture picture;
    PcmBuffer pcm;
    for (int i = 0; i < 400; ++i) {
        if (i == 200) {
            demuxer->Seek(0.5);
        }
        if (demuxer->Read(packet) != StreamDemuxer::ReadResult::Packet) {
            break;
        }
        if (packet.kind == StreamPacket::Kind::Video && video) {
            video->Send(&packet);
            while (video->Receive(picture)) {
            }
        } else if (audio) {
            pcm.Clear();
            audio->Decode(packet, pcm);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto bytes = std::make_shared<const std::vector<std::uint8_t>>(data, data + size);
    const SourceOpener open = MemoryOpener(bytes);

    FlvScriptScanner scanner(open(nullptr));
    std::vector<FlvScriptTag> tags;
    while (scanner.Valid() && !scanner.Done()) {
        scanner.Scan(64, tags);
    }
    Demux(open);

    static Mixer mixer([] { return std::make_unique<ManualOutput>(); }, false);
    FlvPlayback playback(open, mixer, {.audioClock = false});
    for (int i = 0; i < 8; ++i) {
        playback.Tick(0.1);
        if (i == 4) {
            playback.Seek(0.2);
        }
        playback.TakeEvents();
    }
    return 0;
}
