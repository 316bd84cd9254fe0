#include "extract.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "cache_folder.h"
#include "names.h"
#include "standalone_trailer.h"

namespace standalone {
namespace {

constexpr std::size_t kCopyBlock = 1024;
constexpr std::size_t kReadChunk = 64 * 1024;  // a whole number of copy blocks
constexpr std::size_t kCompareChunk = 64 * 1024;
constexpr int kSampleAttempts = 100;
constexpr int kEqualSamplesNeeded = 22;

enum class Verdict { kSame, kDifferent, kStopped };

// The generator of the quick comparison: each run starts again from state 1, so every run
// samples the same positions.
class SampleRandom {
  public:
    std::uint32_t Next() {
        state_ = state_ * 214013u + 2531011u;
        return (state_ >> 16) & 0x7FFF;
    }

  private:
    std::uint32_t state_ = 1;
};

class Extraction {
  public:
    Extraction(const std::string& ownPath, bool force, ExtractSink& sink, ExtractIo& io)
        : ownPath_(ownPath), force_(force), sink_(sink), io_(io) {}

    platform::LPARAM Run() {
        if (!Send(EXN_SHOW_PROGRESS, 0)) {
            return 0;
        }
        own_ = io_.OpenOwn(ownPath_);
        if (!own_) {
            return Fail(EXTRACT_OWN_FILE_UNREADABLE);
        }
        if (!Send(EXN_PROGRESS, 5)) {
            return 0;
        }
        const std::uint64_t length = own_->Length();
        std::uint8_t last[standalone_trailer::kSize] = {};
        if (length >= standalone_trailer::kSize &&
            !own_->ReadAt(length - standalone_trailer::kSize, last, sizeof last)) {
            return Fail(EXTRACT_OWN_FILE_UNREADABLE);
        }
        standalone_trailer::Trailer trailer;
        const auto status = standalone_trailer::Decode(last, length, &trailer);
        if (status == standalone_trailer::Status::kNoMarker) {
            return Done(IsBareStub(length) ? EXTRACT_BARE_STUB : EXTRACT_NOT_RECOGNISED);
        }
        // The stage size goes to the window even when the offset turns out to be bad.
        if (!Send(EXN_MOVIE_WIDTH, last[2] | (last[3] << 8)) ||
            !Send(EXN_MOVIE_HEIGHT, last[4] | (last[5] << 8))) {
            return 0;
        }
        if (status == standalone_trailer::Status::kBadOffset) {
            return Done(EXTRACT_BAD_TRAILER);
        }
        offset_ = trailer.movieOffset;
        movieLength_ = trailer.movieLength;

        cachePath_ = PlayerCachePath(io_.CacheFolder(), ownPath_);
        if (!Send(EXN_PROGRESS, 10)) {
            return 0;
        }
        if (!force_) {
            switch (CompareWithCache()) {
                case Verdict::kStopped:
                    return 0;
                case Verdict::kSame:
                    return Play(EXTRACT_REUSED);
                case Verdict::kDifferent:
                    break;
            }
        }
        return WriteCache();
    }

  private:
    bool Send(platform::WPARAM code, platform::LPARAM argument) {
        return sink_.Notify(code, argument);
    }

    platform::LPARAM Done(platform::LPARAM result) {
        own_.reset();
        return Send(EXN_DONE, result) ? result : 0;
    }

    platform::LPARAM Fail(platform::LPARAM result) {
        own_.reset();
        if (!Send(EXN_ERROR_TEXT, reinterpret_cast<platform::LPARAM>(kExtractFailedText))) {
            return 0;
        }
        return Done(result);
    }

    platform::LPARAM Play(platform::LPARAM result) {
        if (!Send(EXN_PROGRESS, 100) ||
            !Send(EXN_PLAY_FILE, reinterpret_cast<platform::LPARAM>(cachePath_.c_str()))) {
            return 0;
        }
        return Done(result);
    }

    bool IsBareStub(std::uint64_t length) {
        std::uint8_t value[kBareStubFingerprint.size()] = {};
        return length >= kFingerprintDistance &&
               own_->ReadAt(length - kFingerprintDistance, value, sizeof value) &&
               std::equal(kBareStubFingerprint.begin(), kBareStubFingerprint.end(), value);
    }

    // The quick sampled test first; when it finds no difference, the whole file is compared
    // before the cache is trusted, so a movie that differs beyond the samples is never played
    // in place of this one.
    Verdict CompareWithCache() {
        std::unique_ptr<ByteFile> cache = io_.OpenCache(cachePath_);
        if (!cache || cache->Length() != movieLength_) {
            return Verdict::kDifferent;
        }
        const Verdict sampled = CompareSamples(*cache);
        if (sampled != Verdict::kSame) {
            return sampled;
        }
        return CompareWhole(*cache) ? Verdict::kSame : Verdict::kDifferent;
    }

    Verdict CompareSamples(ByteFile& cache) {
        SampleRandom random;
        int equal = 0;
        for (int k = 0; k < kSampleAttempts; ++k) {
            const int step = 10 + 5 * k;
            std::uint64_t position;
            if (step < 35) {
                position = static_cast<std::uint64_t>(k);
            } else if (step < 60) {
                position = movieLength_ + 5 - static_cast<std::uint64_t>(k);
            } else {
                position = random.Next();
            }
            if (position < movieLength_) {
                std::uint8_t mine = 0;
                std::uint8_t cached = 0;
                if (!own_->ReadAt(offset_ + position, &mine, 1) ||
                    !cache.ReadAt(position, &cached, 1) || mine != cached) {
                    return Verdict::kDifferent;
                }
                if (++equal == kEqualSamplesNeeded) {
                    return Verdict::kSame;
                }
            }
            if (!Send(EXN_PROGRESS, step)) {
                return Verdict::kStopped;
            }
        }
        return Verdict::kSame;
    }

    bool CompareWhole(ByteFile& cache) {
        std::vector<std::uint8_t> mine(kCompareChunk);
        std::vector<std::uint8_t> cached(kCompareChunk);
        for (std::uint64_t done = 0; done < movieLength_;) {
            const auto count = static_cast<std::size_t>(
                std::min<std::uint64_t>(kCompareChunk, movieLength_ - done));
            if (!own_->ReadAt(offset_ + done, mine.data(), count) ||
                !cache.ReadAt(done, cached.data(), count) ||
                std::memcmp(mine.data(), cached.data(), count) != 0) {
                return false;
            }
            done += count;
        }
        return true;
    }

    platform::LPARAM WriteCache() {
        std::unique_ptr<CacheWriter> writer = io_.CreateCache(cachePath_);
        if (!writer) {
            return Done(EXTRACT_CACHE_UNWRITABLE);
        }
        // Pieces of 1024 bytes, one notification each, read from the program file in larger
        // chunks.
        std::vector<std::uint8_t> chunk(kReadChunk);
        std::size_t chunkUsed = 0;
        std::size_t chunkFilled = 0;
        std::uint64_t copied = 0;
        const std::uint64_t blocks = movieLength_ / kCopyBlock;
        const auto tail = static_cast<std::size_t>(movieLength_ % kCopyBlock);
        for (std::uint64_t i = 0; i <= blocks; ++i) {
            // The tail piece (possibly empty) comes last and reports progress once more.
            const std::size_t count = i < blocks ? kCopyBlock : tail;
            if (count > 0) {
                if (chunkUsed == chunkFilled) {
                    chunkFilled = static_cast<std::size_t>(
                        std::min<std::uint64_t>(kReadChunk, movieLength_ - copied));
                    chunkUsed = 0;
                    if (!own_->ReadAt(offset_ + copied, chunk.data(), chunkFilled)) {
                        writer->Discard();
                        return Fail(EXTRACT_OWN_FILE_UNREADABLE);
                    }
                }
                if (!writer->Write(chunk.data() + chunkUsed, count)) {
                    writer->Discard();
                    return Fail(EXTRACT_CACHE_UNWRITABLE);
                }
                chunkUsed += count;
                copied += count;
            }
            const auto position = static_cast<platform::LPARAM>(
                10 + 85.0 * static_cast<double>(copied) / static_cast<double>(movieLength_));
            if (!Send(EXN_PROGRESS, position)) {
                writer->Discard();
                return 0;
            }
        }
        if (!writer->Commit()) {
            return Fail(EXTRACT_CACHE_UNWRITABLE);
        }
        return Play(EXTRACT_WRITTEN);
    }

    const std::string& ownPath_;
    const bool force_;
    ExtractSink& sink_;
    ExtractIo& io_;
    std::unique_ptr<ByteFile> own_;
    std::uint64_t offset_ = 0;
    std::uint64_t movieLength_ = 0;
    std::string cachePath_;
};

}  // namespace

platform::LPARAM RunExtraction(const std::string& ownPath, bool force, ExtractSink& sink,
                               ExtractIo& io) {
    return Extraction(ownPath, force, sink, io).Run();
}

}  // namespace standalone
