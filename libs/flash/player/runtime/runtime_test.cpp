// The runtime headless: display list, timelines and gotos, on movies written with swfgen.
#include "runtime/runtime.h"

#include <gtest/gtest.h>

#include "display/movie_clip.h"
#include "flash/swf/movie.h"
#include "test_movies.h"

namespace flash {
namespace {

using namespace testmovies;

std::shared_ptr<const swf::Movie> Parse(const swfgen::MovieWriter& movie) {
    swfgen::Bytes bytes = movie.Build();
    return std::make_shared<const swf::Movie>(swf::ParseMovie(bytes));
}

// depth -> character id of what the clip shows.
std::map<int, int> Contents(const MovieClip& clip) {
    std::map<int, int> out;
    for (const auto& [depth, child] : clip.DisplayList()) {
        out[depth] = child->CharacterId();
    }
    return out;
}

class RuntimeTest : public ::testing::Test {
  protected:
    MovieClip& Load(const swfgen::MovieWriter& movie) {
        runtime.Load(0, Parse(movie), "file:///test.swf", true);
        return *runtime.LevelClip(0);
    }
    Runtime runtime{PlayerLimits{}};
};

TEST_F(RuntimeTest, TimelinePlacesMovesRemovesAndLoops) {
    swfgen::MovieWriter m(6, kStage, 12);
    DefineSquare(m, 1);
    DefineSquare(m, 2);
    m.PlaceObject2(PlaceNew(1, 1)).ShowFrame();                                  // frame 0
    m.PlaceObject2(MoveTo(1, 100, 0)).PlaceObject2(PlaceNew(2, 2)).ShowFrame();  // 1
    m.RemoveObject2(1).ShowFrame();                                              // 2
    m.PlaceObject2(PlaceNew(1, 1)).ShowFrame();                                  // 3
    MovieClip& root = Load(m);
    EXPECT_EQ(root.Frame(), -1);
    EXPECT_EQ(root.TotalFrames(), 4);

    runtime.Advance();
    EXPECT_EQ(root.Frame(), 0);
    EXPECT_EQ(Contents(root), (std::map<int, int>{{1, 1}}));
    DisplayObject* first = root.ChildAt(1);

    runtime.Advance();
    EXPECT_EQ(Contents(root), (std::map<int, int>{{1, 1}, {2, 2}}));
    EXPECT_EQ(root.ChildAt(1), first) << "a move keeps the instance";
    EXPECT_EQ(root.ChildAt(1)->GetMatrix().tx, 100);
    DisplayObject* second = root.ChildAt(2);

    runtime.Advance();
    EXPECT_EQ(Contents(root), (std::map<int, int>{{2, 2}}));
    runtime.Advance();
    EXPECT_EQ(Contents(root), (std::map<int, int>{{1, 1}, {2, 2}}));
    EXPECT_EQ(root.ChildAt(1)->GetMatrix().tx, 0);

    // Back to frame 1: depth 2 was placed there and stays the same instance; depth 1 is the
    // instance of frame 0 again, moved as frame 1 moved it.
    root.GoTo(1);
    runtime.Settle();
    EXPECT_EQ(root.Frame(), 1);
    EXPECT_EQ(Contents(root), (std::map<int, int>{{1, 1}, {2, 2}}));
    EXPECT_EQ(root.ChildAt(2), second);
    EXPECT_EQ(root.ChildAt(1)->PlaceFrame(), 0);
    EXPECT_EQ(root.ChildAt(1)->GetMatrix().tx, 100);

    // Past the last frame the timeline starts again.
    runtime.Advance();
    runtime.Advance();
    runtime.Advance();
    EXPECT_EQ(root.Frame(), 0);
    EXPECT_EQ(Contents(root), (std::map<int, int>{{1, 1}}));
    EXPECT_EQ(root.ChildAt(1)->GetMatrix().tx, 0);
}

TEST_F(RuntimeTest, SpritesPlayOnTheirOwnAndSurviveTheParentLooping) {
    swfgen::MovieWriter m(6, kStage, 12);
    DefineSquare(m, 1);
    swfgen::TagList sprite(6);
    sprite.PlaceObject2(PlaceNew(1, 1)).ShowFrame().ShowFrame().ShowFrame();
    m.DefineSprite(2, sprite);
    m.PlaceObject2(PlaceNew(2, 1, "clip")).ShowFrame().ShowFrame();
    MovieClip& root = Load(m);
    std::vector<int> rootFrames, clipFrames;
    MovieClip* clip = nullptr;
    for (int i = 0; i < 5; ++i) {
        runtime.Advance();
        MovieClip* now = root.ChildAt(1)->AsClip();
        ASSERT_NE(now, nullptr);
        if (clip != nullptr) {
            EXPECT_EQ(now, clip) << "the clip placed in frame 0 lives on when the root loops";
        }
        clip = now;
        rootFrames.push_back(root.Frame());
        clipFrames.push_back(clip->Frame());
    }
    EXPECT_EQ(rootFrames, (std::vector<int>{0, 1, 0, 1, 0}));
    EXPECT_EQ(clipFrames, (std::vector<int>{0, 1, 2, 0, 1}));
    EXPECT_EQ(clip->InstanceName(), u"clip");
    EXPECT_EQ(root.ChildByName(u"CLIP", false), clip);
    EXPECT_EQ(root.ChildByName(u"CLIP", true), nullptr);
}

TEST_F(RuntimeTest, PlaceObjectRules) {
    swfgen::MovieWriter m(6, kStage, 12);
    DefineSquare(m, 1);
    DefineSquare(m, 2);
    swfgen::TagList empty(6);
    empty.ShowFrame();
    m.DefineSprite(3, empty);
    m.PlaceObject2(PlaceNew(1, 1)).PlaceObject2(PlaceNew(3, 2)).ShowFrame();
    // A move with a new character swaps a shape in place; a clip keeps its character.
    swfgen::Place swapShape = MoveTo(1, 40, 0);
    swapShape.characterId = 2;
    swfgen::Place swapClip = MoveTo(2, 60, 0);
    swapClip.characterId = 1;
    m.PlaceObject2(swapShape).PlaceObject2(swapClip);
    // Moves and removes of empty depths do nothing; unknown characters place nothing.
    m.PlaceObject2(MoveTo(7, 1, 1)).RemoveObject2(8).PlaceObject2(PlaceNew(99, 9)).ShowFrame();
    MovieClip& root = Load(m);
    runtime.Advance();
    DisplayObject* shape = root.ChildAt(1);
    DisplayObject* clip = root.ChildAt(2);
    runtime.Advance();
    EXPECT_EQ(root.ChildAt(1), shape);
    EXPECT_EQ(shape->CharacterId(), 2);
    EXPECT_EQ(shape->GetMatrix().tx, 40);
    EXPECT_EQ(root.ChildAt(2), clip);
    EXPECT_EQ(clip->CharacterId(), 3);
    EXPECT_EQ(clip->GetMatrix().tx, 60);
    EXPECT_EQ(Contents(root), (std::map<int, int>{{1, 2}, {2, 3}}));
    // Rewinding brings the first character back.
    root.GoTo(0);
    EXPECT_EQ(Contents(root), (std::map<int, int>{{1, 1}, {2, 3}}));
}

TEST_F(RuntimeTest, ScriptMovedObjectsKeepTheirPlace) {
    swfgen::MovieWriter m(6, kStage, 12);
    swfgen::TagList empty(6);
    empty.ShowFrame();
    m.DefineSprite(1, empty);
    m.PlaceObject2(PlaceNew(1, 1, "a")).ShowFrame();
    m.PlaceObject2(MoveTo(1, 200, 0)).ShowFrame();
    MovieClip& root = Load(m);
    runtime.Advance();
    MovieClip* a = root.ChildAt(1)->AsClip();
    a->SetProperty(avm1::Property::X, avm1::Value::Number(5));
    runtime.Advance();
    EXPECT_EQ(a->GetProperty(avm1::Property::X).AsNumber(), 5);
}

TEST_F(RuntimeTest, LabelsResolveWithoutCase) {
    swfgen::MovieWriter m(6, kStage, 12);
    m.ShowFrame().FrameLabel("Intro").ShowFrame().FrameLabel("end").ShowFrame();
    MovieClip& root = Load(m);
    EXPECT_EQ(root.FrameOfLabel(u"intro"), 1);
    EXPECT_EQ(root.FrameOfLabel(u"END"), 2);
    EXPECT_EQ(root.FrameOfLabel(u"missing"), std::nullopt);
    EXPECT_TRUE(root.GotoLabel(u"INTRO", false));
    EXPECT_EQ(root.Frame(), 1);
    EXPECT_FALSE(root.Playing());
    EXPECT_FALSE(root.GotoLabel(u"missing", true));
    EXPECT_EQ(root.Frame(), 1);
}

TEST_F(RuntimeTest, SelfContainingSpritesAndObjectFloodsStayBounded) {
    PlayerLimits limits;
    limits.maxDisplayObjects = 500;
    Runtime small(limits);
    swfgen::MovieWriter m(6, kStage, 12);
    // Sprite 1 holds itself twice: without limits it would never end.
    swfgen::TagList self(6);
    self.PlaceObject2(PlaceNew(1, 1)).PlaceObject2(PlaceNew(1, 2)).ShowFrame();
    m.DefineSprite(1, self);
    m.PlaceObject2(PlaceNew(1, 1)).ShowFrame();
    small.Load(0, Parse(m), "", true);
    small.Advance();
    small.Advance();
    EXPECT_LE(small.LiveObjects(), 500u);
    EXPECT_GT(small.LiveObjects(), 1u);
}

}  // namespace
}  // namespace flash
