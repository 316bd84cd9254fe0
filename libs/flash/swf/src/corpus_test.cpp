// Every movie of the reference corpus parses, no tag of it is rejected and every bitmap
// decodes. Damaged movies
// (cut data, a tag running past the end) are listed, not failed: keeping what is there is
// the expected outcome for them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <sstream>

#include "flash/render/bitmap_decode.h"
#include "flash/swf/error.h"
#include "flash/swf/movie.h"
#include "tovi/testing/files.h"

namespace flash::swf {
namespace {

namespace fs = std::filesystem;

void ForEachBitmap(const std::vector<Frame>& frames,
                   const std::function<void(std::uint16_t, const Bitmap&)>& visit) {
    for (const auto& frame : frames) {
        for (const auto& tag : frame.tags) {
            const auto* def = std::get_if<DefineCharacter>(&tag);
            if (def == nullptr) {
                continue;
            }
            if (const auto* b = std::get_if<std::shared_ptr<const Bitmap>>(&def->character)) {
                visit(def->id, **b);
            } else if (const auto* s =
                           std::get_if<std::shared_ptr<const Sprite>>(&def->character)) {
                ForEachBitmap((*s)->frames, visit);
            }
        }
    }
}

TEST(CorpusTest, EveryMovieParses) {
    const fs::path dir = tovi::testing::CorpusDir();
    if (dir.empty()) {
        GTEST_SKIP() << "no corpus beside the source tree (set TOVI_CORPUS_DIR)";
    }
    int count = 0;
    int bitmaps = 0;
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
            ForEachBitmap(movie.frames, [&](std::uint16_t id, const Bitmap& b) {
                ++bitmaps;
                std::string error;
                if (!render::DecodeBitmap(b, &error)) {
                    ADD_FAILURE() << name << ": bitmap " << id << ": " << error;
                }
            });
        } catch (const ParseError& e) {
            ADD_FAILURE() << name << ": " << e.what();
        }
    }
    EXPECT_GT(count, 0);
    std::printf("parsed %d corpus movies, decoded %d bitmaps\n", count, bitmaps);
}

}  // namespace
}  // namespace flash::swf
