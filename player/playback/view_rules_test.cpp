#include "playback/view_rules.h"

#include <gtest/gtest.h>

#include "res/resource_ids.h"

namespace {

ViewFacts Loaded() {
    ViewFacts f;
    f.loaded = true;
    f.swfWidth = 550;
    f.swfHeight = 400;
    f.documentPathLength = 12;
    f.relatedCount = 3;
    f.totalFrames = [] { return 100L; };
    f.quality = "high";
    return f;
}

TEST(ViewRules, CommandsAreEnabledByTheirConditions) {
    const struct {
        const char* what;
        int id;
        std::function<void(ViewFacts&)> change;
        bool enabled;
    } cases[] = {
        {"play needs a loaded movie", ID_PLAY, [](ViewFacts& f) { f.loaded = false; }, false},
        {"play when loaded", ID_PLAY, [](ViewFacts&) {}, true},
        {"stop needs frames", ID_STOP, [](ViewFacts& f) { f.totalFrames = [] { return 0L; }; },
         false},
        {"stop with frames", ID_STOP, [](ViewFacts&) {}, true},
        {"stop without a movie", ID_STOP, [](ViewFacts& f) { f.loaded = false; }, false},
        {"best size needs a stage width", ID_BEST_SIZE, [](ViewFacts& f) { f.swfWidth = 0; },
         false},
        {"best size needs a stage height", ID_BEST_SIZE, [](ViewFacts& f) { f.swfHeight = 0; },
         false},
        {"add needs a path over 3 characters", ID_ADD_TO_PLAYLIST,
         [](ViewFacts& f) { f.documentPathLength = 3; }, false},
        {"add with a path", ID_ADD_TO_PLAYLIST, [](ViewFacts&) {}, true},
        {"add all needs related files", ID_ADD_ALL_TO_PLAYLIST,
         [](ViewFacts& f) { f.relatedCount = 0; }, false},
        {"full screen refused for flv", ID_FULL_SCREEN, [](ViewFacts& f) { f.flv = true; }, false},
        {"full screen refused while making", ID_FULL_SCREEN, [](ViewFacts& f) { f.making = true; },
         false},
        {"full screen", ID_FULL_SCREEN, [](ViewFacts&) {}, true},
        {"make player refused for flv", ID_MAKE_EXE, [](ViewFacts& f) { f.flv = true; }, false},
        {"make player refused while making", ID_MAKE_EXE, [](ViewFacts& f) { f.making = true; },
         false},
        {"save as needs a loaded movie", ID_SAVE_AS, [](ViewFacts& f) { f.loaded = false; }, false},
        {"save as of an flv", ID_SAVE_AS, [](ViewFacts& f) { f.flv = true; }, true},
        {"progress refused for flv", ID_PROGRESS, [](ViewFacts& f) { f.flv = true; }, false},
        {"progress without a movie", ID_PROGRESS, [](ViewFacts& f) { f.loaded = false; }, false},
        {"volume always", ID_VOLUME, [](ViewFacts& f) { f = ViewFacts(); }, true},
        {"previous always", ID_PREVIOUS, [](ViewFacts& f) { f = ViewFacts(); }, true},
        {"next always", ID_NEXT, [](ViewFacts& f) { f = ViewFacts(); }, true},
        {"source always", ID_LIST_SOURCE, [](ViewFacts& f) { f = ViewFacts(); }, true},
    };
    PlayerSettings s;
    for (const auto& c : cases) {
        ViewFacts f = Loaded();
        c.change(f);
        EXPECT_EQ(ViewCommandState(c.id, f, s).enabled, c.enabled) << c.what;
    }
}

TEST(ViewRules, CheckMarksFollowTheSettings) {
    PlayerSettings s;
    s.ScaleMode = 3;
    s.OtherSeting = 1;
    s.isAddHead = false;
    ViewFacts f = Loaded();
    f.muted = true;
    f.ribbonVisible = false;
    f.quality = "medium";
    const struct {
        int id;
        bool checked;
    } cases[] = {
        {ID_MUTE, true},
        {ID_ADD_TO_TAIL, true},
        {ID_ADD_TO_HEAD, false},
        {ID_DRAG_NEVER, false},
        {ID_DRAG_ALWAYS, true},
        {ID_DRAG_AUTO, false},
        {ID_SCALE_SHOW_ALL, false},
        {ID_SCALE_NO_SCALE, true},
        {ID_SCALE_MEDIUM, false},
        {ID_RIBBON_TOGGLE, false},
        {ID_QUALITY_HIGH, false},
        {ID_QUALITY_MEDIUM, true},
        {ID_QUALITY_LOW, false},
    };
    for (const auto& c : cases) {
        CommandState state = ViewCommandState(c.id, f, s);
        ASSERT_TRUE(state.checked.has_value()) << c.id;
        EXPECT_EQ(*state.checked, c.checked) << c.id;
    }
    s.ScaleMode = 10;
    EXPECT_TRUE(*ViewCommandState(ID_SCALE_MEDIUM, f, s).checked);
    EXPECT_FALSE(ViewCommandState(ID_PLAY, f, s).checked.has_value());
}

}  // namespace
