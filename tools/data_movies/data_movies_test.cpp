#include "data_movies.h"

#include <gtest/gtest.h>

#include "flash/swf/movie.h"

namespace {

using flash::swf::DoAction;
using flash::swf::PlaceObject;

template <typename T>
int Count(const flash::swf::Frame& frame) {
    int n = 0;
    for (const auto& tag : frame.tags) {
        n += std::holds_alternative<T>(tag) ? 1 : 0;
    }
    return n;
}

TEST(DataMovies, TheStartMovieReadsCleanly) {
    flash::swf::Movie movie = flash::swf::ParseMovie(data_movies::StartMovie());
    EXPECT_FALSE(movie.truncated);
    EXPECT_TRUE(movie.diagnostics.empty());
    EXPECT_EQ(movie.header.frameCount, movie.frames.size());
    // The root stops once the name is in; the ripple plays on in its clip.
    EXPECT_EQ(Count<DoAction>(movie.frames.back()), 1);
}

TEST(DataMovies, TheFlvWrapperHasOneStoppingFramePerState) {
    flash::swf::Movie movie = flash::swf::ParseMovie(data_movies::FlvPlayerMovie());
    EXPECT_TRUE(movie.diagnostics.empty());
    ASSERT_EQ(movie.frames.size(), std::size(data_movies::kFlvStates));
    for (const auto& frame : movie.frames) {
        EXPECT_EQ(Count<DoAction>(frame), 2);  // the set-up, then the state's own
    }
    bool named = false;
    for (const auto& tag : movie.frames[0].tags) {
        if (const auto* place = std::get_if<PlaceObject>(&tag)) {
            named |= place->name == "flvPlayer";
        }
    }
    EXPECT_TRUE(named);
}

}  // namespace
