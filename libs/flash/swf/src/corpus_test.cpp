// Every movie of the reference corpus parses, and no tag of it is rejected. Damaged movies
// (cut data, a tag running past the end) are listed, not failed: keeping what is there is
// the expected outcome for them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "flash/swf/error.h"
#include "flash/swf/movie.h"
#include "tovi/testing/files.h"

namespace flash::swf {
namespace {

namespace fs = std::filesystem;

fs::path CorpusDir() {
    if (const char* dir = std::getenv("TOVI_CORPUS_DIR")) {
        return dir;
    }
    // Beside the checkout, or beside the folder of worktrees.
    for (const fs::path& up : {fs::path(".."), fs::path("../..")}) {
        const fs::path dir = tovi::testing::SourceDir() / up / "shared" / "corpus";
        if (fs::is_directory(dir)) {
            return dir;
        }
    }
    return {};
}

TEST(CorpusTest, EveryMovieParses) {
    const fs::path dir = CorpusDir();
    if (dir.empty()) {
        GTEST_SKIP() << "no corpus beside the source tree (set TOVI_CORPUS_DIR)";
    }
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.path().filename() != "test.swf") {
            continue;
        }
        ++count;
        const auto name = fs::relative(entry.path(), dir).string();
        try {
            const Movie movie = LoadMovie(entry.path());
            for (const auto& d : movie.diagnostics) {
                std::ostringstream line;
                line << name << ": tag " << d.tagCode << " at " << d.offset << ": " << d.message;
                if (d.message.starts_with("tag skipped")) {
                    ADD_FAILURE() << line.str();
                } else {
                    std::cout << line.str() << "\n";
                }
            }
        } catch (const ParseError& e) {
            ADD_FAILURE() << name << ": " << e.what();
        }
    }
    EXPECT_GT(count, 0);
    std::printf("parsed %d corpus movies\n", count);
}

}  // namespace
}  // namespace flash::swf
