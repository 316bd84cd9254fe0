#pragma once

// The worker of a FlvPlayback: opens the file, reads packets ahead, decodes pictures and sound
// ahead, answers seeks, and walks the script data tags, handing everything over under the
// playback's lock.

#include <deque>
#include <memory>

#include "flash/media/flv_playback.h"
#include "flash/media/flv_tags.h"

namespace flash::media {

class FlvPlayback::Worker {
  public:
    explicit Worker(FlvPlayback& owner) : owner_(owner) {}
    void Run();

  private:
    enum class Step { Done, Again, Wait };

    bool Open();
    void Idle();
    void Fail(std::string why);
    Step Next();
    void Restart(double seconds, std::uint64_t generation);
    bool ReadPacket();
    void DecodeVideo();
    void DecodeAudio();
    void Drain();
    void ScanScripts(std::size_t tags);
    void PushPicture(StreamPicture&& picture);
    void Answer(double time);

    FlvPlayback& owner_;
    std::unique_ptr<FlvScriptScanner> scanner_;
    std::unique_ptr<StreamDemuxer> demuxer_;
    std::unique_ptr<StreamVideoDecoder> video_;
    std::unique_ptr<StreamAudioDecoder> audio_;
    std::deque<StreamPacket> videoPackets_;
    std::deque<StreamPacket> audioPackets_;
    std::size_t packetBytes_ = 0;
    double readTime_ = 0;
    bool endOfFile_ = false;
    bool drained_ = false;
    std::uint64_t generation_ = 0;
    bool answered_ = true;  // the current generation's seek has its answer
    std::size_t scripts_ = 0;
};

}  // namespace flash::media
