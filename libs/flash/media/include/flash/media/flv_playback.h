#pragma once

// One video stream playing from a file: a worker reads and decodes ahead, the movie's thread
// asks for the picture of the moment once per frame, and the sound plays through the mixer.
// Pictures follow the sound that has been played; without sound they follow the frame clock
// (the time the movie's frames say has passed).
//
// What it reports comes as events, in the order a NetStream reports them: "NetStream.Play.Start"
// once the file opens (or "NetStream.Play.StreamNotFound" when it cannot be played at all),
// "NetStream.Buffer.Full" when enough is read to play, "NetStream.Buffer.Empty" when playing
// ran out of data, "NetStream.Buffer.Flush" when the whole file has been read,
// "NetStream.Play.Stop" when everything has been shown and heard, pause and seek notes; and the
// file's script data (onMetaData, onCuePoint, ...) when the playback time reaches it.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "flash/media/amf0.h"
#include "flash/media/byte_source.h"
#include "flash/media/flv_tags.h"
#include "flash/media/mixer.h"
#include "flash/media/stream_demuxer.h"

namespace flash::media {

struct FlvEvent {
    enum class Kind { Status, Script };
    Kind kind = Kind::Status;
    std::string code;     // Status: "NetStream.Play.Start", ...
    std::string level;    // Status: "status" or "error"
    double details = -1;  // Seek.InvalidTime: the last time that can be sought to
    std::string handler;  // Script: the handler's name
    AmfValue value;       // Script: its argument
};

class FlvPlayback final : public MixSource {
  public:
    struct Options {
        // Pictures follow the sound played when the stream has sound; false: the frame clock
        // always (reproducible headless runs).
        bool audioClock = true;
        std::size_t maxPictures = 6;  // decoded pictures kept ahead
        double audioAhead = 1.0;      // seconds of decoded sound kept ahead
        double packetsAhead = 2.0;    // seconds of packets read ahead beyond the buffer time
        std::size_t maxPacketBytes = 32u << 20;
        // Each tick first waits until the worker has done what it can (reproducible headless
        // runs: what a frame shows does not depend on how fast the worker was).
        bool waitForWorker = false;
    };

    FlvPlayback(SourceOpener opener, Mixer& mixer, Options options);
    FlvPlayback(SourceOpener opener, Mixer& mixer);
    ~FlvPlayback() override;
    FlvPlayback(const FlvPlayback&) = delete;
    FlvPlayback& operator=(const FlvPlayback&) = delete;

    // The movie's side: call once per frame with the seconds since the last call.
    void Tick(double seconds);
    std::vector<FlvEvent> TakeEvents();

    void SetPaused(bool paused);
    bool Paused() const { return paused_; }
    // To the keyframe at or before `seconds`; beyond the end reports Seek.InvalidTime.
    void Seek(double seconds);
    void SetBufferTime(double seconds);
    double BufferTime() const { return bufferTime_; }
    void SetVolume(double volume);

    // Playback time, seconds.
    double Time() const { return clock_; }
    // Seconds read ahead of the playback time.
    double BufferLength() const;
    std::uint64_t BytesLoaded() const;
    std::uint64_t BytesTotal() const;
    // Pictures shown per second over the last second.
    double CurrentFps() const;
    // The stream's tracks; known once it opened.
    std::optional<StreamLayout> Layout() const { return layout_; }
    // The picture of the moment: null before the first. The serial changes with the picture.
    const StreamPicture* Picture() const { return hasPicture_ ? &picture_ : nullptr; }
    std::uint64_t PictureSerial() const { return pictureSerial_; }
    bool Ended() const { return state_ == State::Ended; }
    // Whether a tick may change something: it opens, buffers, seeks or plays.
    bool Active() const;
    bool Failed() const { return state_ == State::Failed; }

    void MixLocked(float* out, std::size_t frames) override;

  private:
    enum class State { Opening, Buffering, Playing, Ended, Failed };
    struct AudioChunk {
        double time = 0;
        std::vector<std::int16_t> pcm;
        std::size_t offset = 0;  // frames played
    };
    // What the worker hands over; guarded by mutex_.
    struct Shared {
        bool opened = false;
        bool failed = false;
        std::string error;
        StreamLayout layout;
        bool audioDecodes = false;  // the sound track has a decoder
        std::uint64_t size = 0;
        std::uint64_t position = 0;
        bool endOfFile = false;  // every packet read
        bool drained = false;    // and decoded
        double readTime = 0;     // time of the last packet read
        std::deque<StreamPicture> pictures;
        std::deque<AudioChunk> audio;
        std::size_t audioFrames = 0;
        double audioTime = -1;  // what the mixer has played up to
        double audioFloor = 0;  // sound before this is dropped (the time sought to)
        std::deque<FlvScriptTag> scripts;
        std::uint64_t generation = 0;  // a seek starts a new one
        std::optional<double> seekTo;
        std::optional<double> seekedTo;  // the worker's answer for the current generation
        double bufferTime = 0.1;
        std::uint64_t nudges = 0;  // the movie's thread took something: there may be room
        bool idle = false;         // the worker waits: nothing more to do for now
        bool finished = false;     // the worker has returned
        bool stop = false;
    };

    class Worker;
    friend class Worker;

    void WaitForWorker();
    void TakeShared();
    void DeliverScripts();
    void Advance(double seconds);
    void ShowPictures();
    void Post(const char* code, const char* level = "status");

    SourceOpener opener_;
    Mixer& mixer_;
    Options options_;

    // The movie's thread.
    State state_ = State::Opening;
    bool paused_ = false;
    double clock_ = 0;
    double bufferTime_ = 0.1;
    bool flushed_ = false;
    bool seeking_ = false;
    bool sought_ = false;  // the seek's answer came this frame
    bool hasAudioClock_ = false;
    double audioDry_ = 0;  // seconds played without sound queued
    std::optional<StreamLayout> layout_;
    StreamPicture picture_;
    bool hasPicture_ = false;
    std::uint64_t pictureSerial_ = 0;
    std::deque<double> shownAt_;  // clock times of the pictures shown lately
    std::vector<FlvEvent> events_;
    std::uint64_t generation_ = 0;
    std::vector<FlvScriptTag> scripts_;
    std::size_t nextScript_ = 0;
    bool endOfFile_ = false;
    bool drained_ = false;
    double readTime_ = 0;
    double lastPictureTime_ = -1;  // of the pictures queued and shown
    std::size_t queuedPictures_ = 0;
    std::size_t queuedAudio_ = 0;
    std::uint64_t size_ = 0;

    // Shared with the worker.
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    Shared shared_;
    // Shared with the mixer (changed under the mixer's lock).
    bool audioRunning_ = false;
    float volume_ = 1.0f;

    std::atomic<double> playTime_{0};  // the clock, for the worker's read-ahead
    std::thread worker_;
};

}  // namespace flash::media
