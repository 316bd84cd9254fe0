#include "extract.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <ostream>

#include "cache_folder.h"
#include "standalone_trailer.h"
#include "tovi/testing/files.h"

namespace {

namespace fs = std::filesystem;
using standalone::ExtractIo;
using tovi::testing::Bytes;
using tovi::testing::ReadFileBytes;
using tovi::testing::WriteFileBytes;

struct Note {
    platform::WPARAM code;
    platform::LPARAM value;
    std::string text;
    bool operator==(const Note&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Note& n) {
    return os << "(" << n.code << ", " << n.value << (n.text.empty() ? "" : ", ") << n.text << ")";
}

Note Show() {
    return {EXN_SHOW_PROGRESS, 0, ""};
}
Note Progress(platform::LPARAM p) {
    return {EXN_PROGRESS, p, ""};
}
Note Done(platform::LPARAM r) {
    return {EXN_DONE, r, ""};
}
Note Width(platform::LPARAM w) {
    return {EXN_MOVIE_WIDTH, w, ""};
}
Note Height(platform::LPARAM h) {
    return {EXN_MOVIE_HEIGHT, h, ""};
}
Note PlayFile(const std::string& path) {
    return {EXN_PLAY_FILE, 0, path};
}
Note ErrorText() {
    return {EXN_ERROR_TEXT, 0, standalone::kExtractFailedText};
}

// Records what the window would be told; `stopAfter` notifications later it reports the
// window gone.
class Recorder : public standalone::ExtractSink {
  public:
    bool Notify(platform::WPARAM code, platform::LPARAM argument) override {
        if (code == EXN_ERROR_TEXT || code == EXN_PLAY_FILE) {
            notes.push_back({code, 0, reinterpret_cast<const char*>(argument)});
        } else {
            notes.push_back({code, argument, ""});
        }
        return stopAfter < 0 || static_cast<int>(notes.size()) < stopAfter;
    }
    std::vector<Note> notes;
    int stopAfter = -1;
};

Bytes Pattern(std::size_t n, std::uint8_t seed) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) {
        b[i] = static_cast<std::uint8_t>(seed + i * 13 + (i >> 8));
    }
    return b;
}

Bytes WithFingerprintAtTail(Bytes stub) {
    std::copy(standalone::kBareStubFingerprint.begin(), standalone::kBareStubFingerprint.end(),
              stub.end() - static_cast<std::ptrdiff_t>(standalone::kFingerprintDistance));
    return stub;
}

// A standalone player as the builder lays it out: stub, movie, trailer.
Bytes PlayerFile(const Bytes& stub, const Bytes& movie, int width = 550, int height = 400) {
    Bytes out = stub;
    out.insert(out.end(), movie.begin(), movie.end());
    const auto trailer = standalone_trailer::Encode(width, height, stub.size());
    out.insert(out.end(), trailer.begin(), trailer.end());
    return out;
}

const Bytes& Stub() {
    static const Bytes stub = WithFingerprintAtTail(Pattern(3000, 7));
    return stub;
}

class ExtractTest : public ::testing::Test {
  protected:
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(CacheDir(), ec);
        fs::remove_all(fs::path(InTemp()).parent_path(), ec);
    }

    std::string Own() const { return (dir_ / "Card.exe").string(); }
    fs::path CacheDir() const { return fs::path(std::getenv("XDG_CACHE_HOME")) / "ToviPlayer"; }
    std::string CachePath() const {
        return standalone::PlayerCachePath(CacheDir().string(), Own());
    }
    std::string InTemp() const {
        return standalone::PlayerCachePath(standalone::TempFolder(), Own());
    }

    void WritePlayer(const Bytes& movie) { WriteFileBytes(Own(), PlayerFile(Stub(), movie)); }

    platform::LPARAM Run(bool force = false, ExtractIo* io = nullptr) {
        recorder_ = Recorder();
        return io ? standalone::RunExtraction(Own(), force, recorder_, *io)
                  : standalone::RunExtraction(Own(), force, recorder_);
    }

    // Nothing but the player's folder with its cache file is left in the cache folder (no
    // temporary files).
    void ExpectOnlyCacheFile() const {
        const fs::path own = fs::path(CachePath()).parent_path();
        for (const auto& entry : fs::directory_iterator(CacheDir())) {
            EXPECT_EQ(entry.path(), own);
        }
        for (const auto& entry : fs::directory_iterator(own)) {
            EXPECT_EQ(entry.path().string(), CachePath());
        }
    }

    tovi::testing::TempDir dir_;
    Recorder recorder_;
};

struct ResultCase {
    const char* name;
    std::function<void(const std::string& own, const std::string& cache)> prepare;
    platform::LPARAM result;
};

void PrintTo(const ResultCase& c, std::ostream* os) {
    *os << c.name;
}

class ExtractResultTest : public ExtractTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(ExtractResultTest, EndsWithItsResultCode) {
    const auto& c = GetParam();
    fs::create_directories(fs::path(CachePath()).parent_path());
    c.prepare(Own(), CachePath());
    EXPECT_EQ(Run(), c.result);
    ASSERT_FALSE(recorder_.notes.empty());
    EXPECT_EQ(recorder_.notes.front(), Show());
    EXPECT_EQ(recorder_.notes.back(), Done(c.result));
    const bool played = c.result == EXTRACT_WRITTEN || c.result == EXTRACT_REUSED;
    const bool playNoted = recorder_.notes.size() >= 2 &&
                           recorder_.notes[recorder_.notes.size() - 2].code == EXN_PLAY_FILE;
    EXPECT_EQ(playNoted, played);
}

const Bytes kMovie = Pattern(5000, 99);

INSTANTIATE_TEST_SUITE_P(
    Runs, ExtractResultTest,
    ::testing::Values(
        ResultCase{"OwnFileUnreadable", [](auto&, auto&) {}, EXTRACT_OWN_FILE_UNREADABLE},
        ResultCase{"NoTrailer", [](auto& own, auto&) { WriteFileBytes(own, Pattern(4000, 1)); },
                   EXTRACT_NOT_RECOGNISED},
        ResultCase{"NoTrailerShorterThanFingerprintDistance",
                   [](auto& own, auto&) { WriteFileBytes(own, Pattern(100, 1)); },
                   EXTRACT_NOT_RECOGNISED},
        ResultCase{"EmptyFile", [](auto& own, auto&) { WriteFileBytes(own, {}); },
                   EXTRACT_NOT_RECOGNISED},
        ResultCase{"BareStub", [](auto& own, auto&) { WriteFileBytes(own, Stub()); },
                   EXTRACT_BARE_STUB},
        ResultCase{
            "TenByteMovie",
            [](auto& own, auto&) { WriteFileBytes(own, PlayerFile(Stub(), Pattern(10, 3))); },
            EXTRACT_BAD_TRAILER},
        ResultCase{"OffsetBeyondEnd",
                   [](auto& own, auto&) {
                       Bytes b = PlayerFile(Stub(), kMovie);
                       b[b.size() - 1] = 0xFF;
                       WriteFileBytes(own, b);
                   },
                   EXTRACT_BAD_TRAILER},
        ResultCase{"CacheNameTakenByAFolder",
                   [](auto& own, auto& cache) {
                       WriteFileBytes(own, PlayerFile(Stub(), kMovie));
                       fs::create_directories(cache);
                   },
                   EXTRACT_CACHE_UNWRITABLE},
        ResultCase{
            "ElevenByteMovie",
            [](auto& own, auto&) { WriteFileBytes(own, PlayerFile(Stub(), Pattern(11, 3))); },
            EXTRACT_WRITTEN},
        ResultCase{"NoCacheYet",
                   [](auto& own, auto&) { WriteFileBytes(own, PlayerFile(Stub(), kMovie)); },
                   EXTRACT_WRITTEN},
        ResultCase{"IdenticalCache",
                   [](auto& own, auto& cache) {
                       WriteFileBytes(own, PlayerFile(Stub(), kMovie));
                       WriteFileBytes(cache, kMovie);
                   },
                   EXTRACT_REUSED}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(ExtractTest, UnreadableOwnFileIsReportedWithAMessage) {
    Run();
    EXPECT_EQ(recorder_.notes,
              (std::vector<Note>{Show(), ErrorText(), Done(EXTRACT_OWN_FILE_UNREADABLE)}));
}

TEST_F(ExtractTest, BadOffsetStillReportsTheStageSize) {
    WriteFileBytes(Own(), PlayerFile(Stub(), Pattern(10, 3), 70000, 240));
    Run();
    EXPECT_EQ(recorder_.notes, (std::vector<Note>{Show(), Progress(5), Width(70000 & 0xFFFF),
                                                  Height(240), Done(EXTRACT_BAD_TRAILER)}));
}

TEST_F(ExtractTest, MovieOfTwoWholeBlocksReportsEachStepAndWritesTheMovie) {
    const Bytes movie = Pattern(2048, 5);
    WriteFileBytes(Own(), PlayerFile(Stub(), movie, 320, 200));
    EXPECT_EQ(Run(), EXTRACT_WRITTEN);
    EXPECT_EQ(recorder_.notes,
              (std::vector<Note>{Show(), Progress(5), Width(320), Height(200), Progress(10),
                                 Progress(52), Progress(95), Progress(95), Progress(100),
                                 PlayFile(CachePath()), Done(EXTRACT_WRITTEN)}));
    EXPECT_EQ(ReadFileBytes(CachePath()), movie);
    struct stat st {};
    ASSERT_EQ(::stat(CacheDir().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(CachePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);
    ExpectOnlyCacheFile();
}

TEST_F(ExtractTest, SecondRunReusesTheCacheWithoutWriting) {
    WritePlayer(kMovie);
    ASSERT_EQ(Run(), EXTRACT_WRITTEN);
    struct stat before {};
    ASSERT_EQ(::stat(CachePath().c_str(), &before), 0);

    EXPECT_EQ(Run(), EXTRACT_REUSED);
    struct stat after {};
    ASSERT_EQ(::stat(CachePath().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    const auto& n = recorder_.notes;
    ASSERT_GE(n.size(), 8u);
    EXPECT_EQ(std::vector<Note>(n.begin(), n.begin() + 5),
              (std::vector<Note>{Show(), Progress(5), Width(550), Height(400), Progress(10)}));
    EXPECT_EQ(std::vector<Note>(n.end() - 3, n.end()),
              (std::vector<Note>{Progress(100), PlayFile(CachePath()), Done(EXTRACT_REUSED)}));
    // In between only the sampling's progress, rising in steps of 5 from 10.
    platform::LPARAM step = 10;
    for (auto it = n.begin() + 5; it != n.end() - 3; ++it, step += 5) {
        EXPECT_EQ(*it, Progress(step));
    }
}

struct StaleCase {
    const char* name;
    std::size_t movieLength;
    std::function<void(Bytes&)> spoil;
};

void PrintTo(const StaleCase& c, std::ostream* os) {
    *os << c.name;
}

class StaleCacheTest : public ExtractTest, public ::testing::WithParamInterface<StaleCase> {};

TEST_P(StaleCacheTest, IsWrittenAnew) {
    const auto& c = GetParam();
    const Bytes movie = Pattern(c.movieLength, 41);
    WritePlayer(movie);
    Bytes stale = movie;
    c.spoil(stale);
    fs::create_directories(fs::path(CachePath()).parent_path());
    WriteFileBytes(CachePath(), stale);
    EXPECT_EQ(Run(), EXTRACT_WRITTEN);
    EXPECT_EQ(ReadFileBytes(CachePath()), movie);
}

INSTANTIATE_TEST_SUITE_P(
    Caches, StaleCacheTest,
    ::testing::Values(
        StaleCase{"FirstByteDiffers", 5000, [](Bytes& b) { b[0] ^= 0xFF; }},
        StaleCase{"LastByteDiffers", 5000, [](Bytes& b) { b.back() ^= 0xFF; }},
        StaleCase{"LongerCache", 5000, [](Bytes& b) { b.push_back(0); }},
        // The sampling reads the first five and last four bytes and positions below 32768;
        // this byte is none of them, so only the whole-file comparison sees it.
        StaleCase{"DiffersOnlyBeyondTheSamples", 100000, [](Bytes& b) { b[50000] ^= 0x01; }}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(ExtractTest, ReExtractRewritesAnIdenticalCache) {
    WritePlayer(kMovie);
    ASSERT_EQ(Run(), EXTRACT_WRITTEN);
    struct stat before {};
    ASSERT_EQ(::stat(CachePath().c_str(), &before), 0);
    EXPECT_EQ(Run(true), EXTRACT_WRITTEN);
    struct stat after {};
    ASSERT_EQ(::stat(CachePath().c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(ReadFileBytes(CachePath()), kMovie);
}

// Two players of one file name in different folders: each keeps its own cache, so one
// starting never replaces the movie of the other.
TEST_F(ExtractTest, TwoPlayersOfOneNameKeepTheirOwnCaches) {
    const fs::path other = dir_ / "elsewhere" / "Card.exe";
    fs::create_directories(other.parent_path());
    const Bytes otherMovie = Pattern(kMovie.size(), 42);
    WritePlayer(kMovie);
    WriteFileBytes(other, PlayerFile(Stub(), otherMovie));
    ASSERT_EQ(Run(), EXTRACT_WRITTEN);
    Recorder recorder;
    ASSERT_EQ(standalone::RunExtraction(other.string(), false, recorder), EXTRACT_WRITTEN);
    const std::string otherCache =
        standalone::PlayerCachePath(standalone::GetCacheFolder(), other.string());
    EXPECT_NE(otherCache, CachePath());
    EXPECT_EQ(recorder.notes[recorder.notes.size() - 2], PlayFile(otherCache));
    EXPECT_EQ(ReadFileBytes(CachePath()), kMovie);
    EXPECT_EQ(ReadFileBytes(otherCache), otherMovie);
    EXPECT_EQ(Run(), EXTRACT_REUSED);
}

// The cache lives in the per-user cache folder, made owner-only when missing, and nothing of
// it goes to the shared temporary folder.
TEST_F(ExtractTest, CacheIsInThePerUserCacheFolder) {
    const fs::path home = dir_ / "fresh cache";
    ::setenv("XDG_CACHE_HOME", home.c_str(), 1);
    WritePlayer(kMovie);
    ASSERT_EQ(Run(), EXTRACT_WRITTEN);
    EXPECT_EQ(standalone::GetCacheFolder(), (home / "ToviPlayer").string());
    EXPECT_EQ(fs::path(CachePath()).parent_path().parent_path(), home / "ToviPlayer");
    EXPECT_EQ(ReadFileBytes(CachePath()), kMovie);
    for (const fs::path& folder :
         {home, home / "ToviPlayer", fs::path(CachePath()).parent_path()}) {
        struct stat st {};
        ASSERT_EQ(::stat(folder.c_str(), &st), 0) << folder;
        EXPECT_EQ(st.st_mode & 0777, 0700u) << folder;
    }
    EXPECT_FALSE(fs::exists(fs::path(standalone::TempFolder()) / "ToviPlayer"));
    EXPECT_FALSE(fs::exists(InTemp()));
}

TEST_F(ExtractTest, CacheFolderThatCannotBeCreatedFallsBackToTheTemporaryFolder) {
    WriteFileBytes(CacheDir(), {1, 2, 3});  // a file holds the folder's name
    WritePlayer(kMovie);
    EXPECT_EQ(Run(), EXTRACT_WRITTEN);
    const std::string inTemp = InTemp();
    EXPECT_EQ(recorder_.notes[recorder_.notes.size() - 2], PlayFile(inTemp));
    EXPECT_EQ(ReadFileBytes(inTemp), kMovie);
}

TEST_F(ExtractTest, CacheFolderThatIsALinkIsNotUsed) {
    tovi::testing::TempDir elsewhere;
    fs::create_directory_symlink(elsewhere.path(), CacheDir());
    EXPECT_EQ(standalone::GetCacheFolder(), standalone::TempFolder());
    WritePlayer(kMovie);
    EXPECT_EQ(Run(), EXTRACT_WRITTEN);
    EXPECT_TRUE(fs::is_empty(elsewhere.path()));
}

TEST_F(ExtractTest, CacheFolderOfAnotherUserIsNotUsed) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give a folder away";
    }
    fs::create_directories(fs::path(CachePath()).parent_path());
    ASSERT_EQ(::chown(CacheDir().c_str(), 4242, 4242), 0);
    EXPECT_EQ(standalone::GetCacheFolder(), standalone::TempFolder());
}

TEST_F(ExtractTest, OpenCacheFolderOfOursIsMadePrivate) {
    fs::create_directories(fs::path(CachePath()).parent_path());
    ASSERT_EQ(::chmod(CacheDir().c_str(), 0777), 0);
    EXPECT_EQ(standalone::GetCacheFolder(), CacheDir().string());
    struct stat st {};
    ASSERT_EQ(::stat(CacheDir().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(ExtractTest, CacheFileThatIsALinkIsNeitherReadNorWrittenThrough) {
    WritePlayer(kMovie);
    fs::create_directories(fs::path(CachePath()).parent_path());
    const fs::path victim = dir_ / "victim";
    WriteFileBytes(victim, kMovie);  // even identical content must not be trusted
    fs::create_symlink(victim, CachePath());
    EXPECT_EQ(Run(), EXTRACT_CACHE_UNWRITABLE);
    EXPECT_EQ(ReadFileBytes(victim), kMovie);
    EXPECT_TRUE(fs::is_symlink(CachePath()));
}

TEST_F(ExtractTest, CacheFileOfAnotherUserIsNotReusedOrReplaced) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give a file away";
    }
    WritePlayer(kMovie);
    fs::create_directories(fs::path(CachePath()).parent_path());
    WriteFileBytes(CachePath(), kMovie);
    ASSERT_EQ(::chown(CachePath().c_str(), 4242, 4242), 0);
    EXPECT_EQ(Run(), EXTRACT_CACHE_UNWRITABLE);
    struct stat st {};
    ASSERT_EQ(::stat(CachePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4242u);
}

// Files that fail part way: reads of the program file beyond `readLimit`, or writes of the
// cache beyond `writeLimit` bytes.
class FailingIo : public ExtractIo {
  public:
    class Own : public standalone::ByteFile {
      public:
        Own(std::unique_ptr<ByteFile> real, std::uint64_t limit)
            : real_(std::move(real)), limit_(limit) {}
        std::uint64_t Length() const override { return real_->Length(); }
        bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count) override {
            return offset + count <= limit_ && real_->ReadAt(offset, buffer, count);
        }
        bool Write(const void*, std::size_t) override { return false; }
        bool Close() override { return real_->Close(); }

      private:
        std::unique_ptr<ByteFile> real_;
        std::uint64_t limit_;
    };
    class Writer : public standalone::CacheWriter {
      public:
        Writer(std::unique_ptr<CacheWriter> real, std::uint64_t limit)
            : real_(std::move(real)), limit_(limit) {}
        bool Write(const void* buffer, std::size_t count) override {
            written_ += count;
            return written_ <= limit_ && real_->Write(buffer, count);
        }
        bool Commit() override { return real_->Commit(); }
        void Discard() override { real_->Discard(); }

      private:
        std::unique_ptr<CacheWriter> real_;
        std::uint64_t limit_;
        std::uint64_t written_ = 0;
    };

    std::unique_ptr<standalone::ByteFile> OpenOwn(const std::string& path) override {
        auto real = real_.OpenOwn(path);
        return real ? std::make_unique<Own>(std::move(real), readLimit) : nullptr;
    }
    std::unique_ptr<standalone::ByteFile> OpenCache(const std::string& path) override {
        return real_.OpenCache(path);
    }
    std::unique_ptr<standalone::CacheWriter> CreateCache(const std::string& path) override {
        auto real = real_.CreateCache(path);
        return real ? std::make_unique<Writer>(std::move(real), writeLimit) : nullptr;
    }
    std::string CacheFolder() override { return real_.CacheFolder(); }

    std::uint64_t readLimit = UINT64_MAX;
    std::uint64_t writeLimit = UINT64_MAX;

  private:
    ExtractIo& real_ = standalone::SystemExtractIo();
};

TEST_F(ExtractTest, ReadOrWriteErrorPartWayEndsTheRunAndKeepsTheOldCache) {
    const Bytes old = Pattern(kMovie.size(), 200);
    for (bool readFails : {true, false}) {
        SCOPED_TRACE(readFails ? "read fails" : "write fails");
        WritePlayer(kMovie);
        fs::create_directories(fs::path(CachePath()).parent_path());
        WriteFileBytes(CachePath(), old);
        FailingIo io;
        if (readFails) {
            io.readLimit = Stub().size() + 3000;
        } else {
            io.writeLimit = 3000;
        }
        const platform::LPARAM expected =
            readFails ? EXTRACT_OWN_FILE_UNREADABLE : EXTRACT_CACHE_UNWRITABLE;
        EXPECT_EQ(Run(false, &io), expected);
        const auto& n = recorder_.notes;
        ASSERT_GE(n.size(), 2u);
        EXPECT_EQ(n[n.size() - 2], ErrorText());
        EXPECT_EQ(n.back(), Done(expected));
        EXPECT_EQ(ReadFileBytes(CachePath()), old);
        ExpectOnlyCacheFile();
    }
}

TEST_F(ExtractTest, WindowGoingAwayStopsTheRunWithoutLeavingAPartialFile) {
    WritePlayer(Pattern(10000, 3));
    Recorder recorder;
    recorder.stopAfter = 8;  // during the copy
    EXPECT_EQ(standalone::RunExtraction(Own(), false, recorder), 0);
    EXPECT_EQ(recorder.notes.size(), 8u);
    EXPECT_EQ(recorder.notes.back().code, EXN_PROGRESS);
    EXPECT_TRUE(fs::is_empty(CacheDir()));
}

}  // namespace
