#include "flv_worker.h"

#include <chrono>

namespace flash::media {

namespace {

// Script data tags kept for one stream, at most.
constexpr std::size_t kMaxScriptTags = 4096;

}  // namespace

void FlvPlayback::Worker::Run() {
    if (Open()) {
        for (Step step = Next(); step != Step::Done; step = Next()) {
            if (step == Step::Wait) {
                Idle();
            }
        }
    }
    std::lock_guard lock(owner_.mutex_);
    owner_.shared_.finished = true;
    owner_.idle_.notify_all();
}

// Waits for the movie's thread to take something, seek or stop.
void FlvPlayback::Worker::Idle() {
    std::unique_lock lock(owner_.mutex_);
    Shared& s = owner_.shared_;
    const std::uint64_t nudges = s.nudges;
    s.idle = true;
    owner_.idle_.notify_all();
    owner_.wake_.wait_for(lock, std::chrono::milliseconds(50),
                          [&] { return s.stop || s.seekTo.has_value() || s.nudges != nudges; });
    s.idle = false;
}

void FlvPlayback::Worker::Fail(std::string why) {
    std::lock_guard lock(owner_.mutex_);
    owner_.shared_.failed = true;
    owner_.shared_.error = why.empty() ? "the file cannot be opened" : std::move(why);
}

bool FlvPlayback::Worker::Open() {
    std::string error;
    std::unique_ptr<ByteSource> source = owner_.opener_(&error);
    if (!source) {
        Fail(error);
        return false;
    }
    scanner_ = std::make_unique<FlvScriptScanner>(std::move(source));
    if (!scanner_->Valid()) {
        Fail("not an FLV file");
        return false;
    }
    source = owner_.opener_(&error);
    demuxer_ = source ? OpenFlvDemuxer(std::move(source), &error) : nullptr;
    // An FLV header with nothing readable behind it plays as an empty stream.
    StreamLayout layout;
    if (demuxer_) {
        layout = demuxer_->Layout();
    } else {
        endOfFile_ = true;
    }
    if (layout.hasVideo) {
        video_ = demuxer_->CreateVideoDecoder(nullptr);
    }
    if (layout.hasAudio) {
        audio_ = demuxer_->CreateAudioDecoder(nullptr);
    }
    // The metadata leads the file: it is there when the stream starts.
    ScanScripts(16);
    std::lock_guard lock(owner_.mutex_);
    Shared& s = owner_.shared_;
    s.opened = true;
    s.layout = layout;
    s.audioDecodes = audio_ != nullptr;
    s.size = scanner_->Size();
    s.endOfFile = endOfFile_;
    return true;
}

FlvPlayback::Worker::Step FlvPlayback::Worker::Next() {
    bool wantPictures = false;
    bool wantAudio = false;
    double ahead = 0;
    {
        std::unique_lock lock(owner_.mutex_);
        Shared& s = owner_.shared_;
        if (s.stop) {
            return Step::Done;
        }
        if (s.seekTo) {
            const double to = *s.seekTo;
            s.seekTo.reset();
            const std::uint64_t generation = s.generation;
            lock.unlock();
            Restart(to, generation);
            return Step::Again;
        }
        wantPictures = video_ && s.pictures.size() < owner_.options_.maxPictures;
        wantAudio = audio_ && static_cast<double>(s.audioFrames) <
                                  owner_.options_.audioAhead * static_cast<double>(kMixRate);
        ahead = s.bufferTime + owner_.options_.packetsAhead;
    }
    if (wantPictures && !videoPackets_.empty()) {
        DecodeVideo();
        return Step::Again;
    }
    if (wantAudio && !audioPackets_.empty()) {
        DecodeAudio();
        return Step::Again;
    }
    const bool starving =
        (wantPictures && videoPackets_.empty()) || (wantAudio && audioPackets_.empty());
    const bool room = packetBytes_ < owner_.options_.maxPacketBytes &&
                      (readTime_ - owner_.playTime_.load() < ahead || starving);
    if (!endOfFile_ && room) {
        ReadPacket();
        return Step::Again;
    }
    if (endOfFile_ && !drained_ && videoPackets_.empty() && audioPackets_.empty()) {
        Drain();
        return Step::Again;
    }
    if (!scanner_->Done()) {
        ScanScripts(64);
        return Step::Again;
    }
    return Step::Wait;
}

void FlvPlayback::Worker::Restart(double seconds, std::uint64_t generation) {
    const bool sought = demuxer_ && demuxer_->Seek(seconds);
    if (video_) {
        video_->Reset();
    }
    if (audio_) {
        audio_->Reset();
    }
    videoPackets_.clear();
    audioPackets_.clear();
    packetBytes_ = 0;
    readTime_ = seconds;
    endOfFile_ = !sought;
    drained_ = false;
    generation_ = generation;
    std::lock_guard lock(owner_.mutex_);
    Shared& s = owner_.shared_;
    s.pictures.clear();
    s.audio.clear();
    s.audioFrames = 0;
    s.audioTime = -1;
    s.endOfFile = endOfFile_;
    s.drained = false;
    s.readTime = seconds;
    s.seekedTo.reset();
    answered_ = false;
}

bool FlvPlayback::Worker::ReadPacket() {
    StreamPacket packet;
    const StreamDemuxer::ReadResult r = demuxer_->Read(packet);
    if (r != StreamDemuxer::ReadResult::Packet) {
        endOfFile_ = true;
    } else {
        readTime_ = std::max(readTime_, packet.time);
        const bool isVideo = packet.kind == StreamPacket::Kind::Video;
        if ((isVideo && video_) || (!isVideo && audio_)) {
            packetBytes_ += packet.data.size();
            (isVideo ? videoPackets_ : audioPackets_).push_back(std::move(packet));
        }
    }
    std::lock_guard lock(owner_.mutex_);
    Shared& s = owner_.shared_;
    s.position = demuxer_->Position();
    s.readTime = readTime_;
    s.endOfFile = endOfFile_;
    return r == StreamDemuxer::ReadResult::Packet;
}

void FlvPlayback::Worker::DecodeVideo() {
    StreamPacket packet = std::move(videoPackets_.front());
    videoPackets_.pop_front();
    packetBytes_ -= packet.data.size();
    video_->Send(&packet);
    StreamPicture picture;
    while (video_->Receive(picture)) {
        PushPicture(std::move(picture));
        picture = {};
    }
}

void FlvPlayback::Worker::DecodeAudio() {
    StreamPacket packet = std::move(audioPackets_.front());
    audioPackets_.pop_front();
    packetBytes_ -= packet.data.size();
    PcmBuffer pcm;
    audio_->Decode(packet, pcm);
    if (pcm.Frames() == 0) {
        return;
    }
    std::lock_guard lock(owner_.mutex_);
    Shared& s = owner_.shared_;
    if (!answered_ && !video_) {
        Answer(packet.time);
    }
    s.audioFrames += pcm.Frames();
    s.audio.push_back({packet.time, std::move(pcm.samples), 0});
}

// At the end of the file: the pictures the codec still holds.
void FlvPlayback::Worker::Drain() {
    if (video_) {
        video_->Send(nullptr);
        StreamPicture picture;
        while (video_->Receive(picture)) {
            PushPicture(std::move(picture));
            picture = {};
        }
    }
    drained_ = true;
    std::lock_guard lock(owner_.mutex_);
    if (!answered_) {
        Answer(readTime_);
    }
    owner_.shared_.drained = true;
}

void FlvPlayback::Worker::PushPicture(StreamPicture&& picture) {
    std::lock_guard lock(owner_.mutex_);
    if (!answered_) {
        Answer(picture.time);
    }
    owner_.shared_.pictures.push_back(std::move(picture));
}

// The seek's answer: where playing goes on. Called with the lock held.
void FlvPlayback::Worker::Answer(double time) {
    owner_.shared_.seekedTo = time;
    owner_.shared_.audioFloor = time;
    answered_ = true;
}

void FlvPlayback::Worker::ScanScripts(std::size_t tags) {
    if (!scanner_ || scanner_->Done()) {
        return;
    }
    std::vector<FlvScriptTag> found;
    scanner_->Scan(tags, found);
    if (found.empty() || scripts_ >= kMaxScriptTags) {
        return;
    }
    std::lock_guard lock(owner_.mutex_);
    for (FlvScriptTag& tag : found) {
        if (scripts_++ >= kMaxScriptTags) {
            break;
        }
        owner_.shared_.scripts.push_back(std::move(tag));
    }
}

}  // namespace flash::media
