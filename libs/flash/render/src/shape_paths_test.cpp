// Fill contours and stroke paths built from edges.
#include "shape_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "test_support.h"

namespace flash::render {
namespace {

using testing::Line;
using testing::Rect;

// The path as text: M, L, Q, Z per op.
std::string Ops(const Path& p) {
    std::string s;
    for (Path::Op op : p.Ops()) {
        s += "MLQZ"[static_cast<int>(op)];
    }
    return s;
}

TEST(BuildFillPathTest, JoinsEdgesInAnyOrderIntoClosedContours) {
    std::vector<swf::Edge> edges = Rect(0, 0, 10, 10, 1);
    std::reverse(edges.begin(), edges.end());
    std::swap(edges[0], edges[2]);
    const Path p = BuildFillPath(edges, 1);
    EXPECT_EQ(Ops(p), "MLLLLZ");
    // Two separate squares make two contours.
    std::vector<swf::Edge> two = Rect(0, 0, 10, 10, 1);
    for (const swf::Edge& e : Rect(20, 0, 30, 10, 1)) {
        two.insert(two.begin() + 1, e);
    }
    EXPECT_EQ(Ops(BuildFillPath(two, 1)), "MLLLLZMLLLLZ");
}

TEST(BuildFillPathTest, OrientsEdgesSoTheFillIsOnOneSide) {
    // fill0 edges are walked backwards: the same square given as fill0 on its outside-walk
    // yields the same points as fill1 on the clockwise walk.
    std::vector<swf::Edge> cw = Rect(0, 0, 10, 10, 1);
    std::vector<swf::Edge> ccw;
    for (const swf::Edge& e : cw) {
        ccw.push_back(Line(e.to.x / 20, e.to.y / 20, e.from.x / 20, e.from.y / 20, 1, 0));
    }
    const Path a = BuildFillPath(cw, 1);
    const Path b = BuildFillPath(ccw, 1);
    ASSERT_EQ(Ops(a), Ops(b));
    // Same cycle of points (the start may differ).
    std::vector<Point> pa(a.Points().begin(), a.Points().end() - 1);
    std::vector<Point> pb(b.Points().begin(), b.Points().end() - 1);
    auto at = std::find(pb.begin(), pb.end(), pa[0]);
    ASSERT_NE(at, pb.end());
    std::rotate(pb.begin(), at, pb.end());
    EXPECT_EQ(pa, pb);
}

TEST(BuildFillPathTest, LeavesOutEdgesWithTheFillOnBothSidesAndOtherFills) {
    std::vector<swf::Edge> edges = Rect(0, 0, 10, 10, 1);
    edges.push_back(Line(5, 0, 5, 10, 1, 1));  // inside one fill
    edges.push_back(Line(20, 0, 30, 0, 0, 2));
    EXPECT_EQ(Ops(BuildFillPath(edges, 1)), "MLLLLZ");
    EXPECT_EQ(Ops(BuildFillPath(edges, 2)), "MLZ");  // an open piece still closes
}

TEST(BuildLinePathTest, JoinsConsecutiveEdgesAndClosesLoops) {
    struct Case {
        const char* name;
        std::vector<swf::Edge> edges;
        bool noClose;
        const char* ops;
    };
    const Case cases[] = {
        {"closed loop", Rect(0, 0, 10, 10, 0, 1), false, "MLLLLZ"},
        {"loop kept open", Rect(0, 0, 10, 10, 0, 1), true, "MLLLL"},
        {"two pieces", {Line(0, 0, 10, 0, 0, 0, 1), Line(20, 0, 30, 0, 0, 0, 1)}, false, "MLML"},
        {"other style between",
         {Line(0, 0, 10, 0, 0, 0, 1), Line(10, 0, 10, 10, 0, 0, 2), Line(10, 0, 20, 0, 0, 0, 1)},
         false,
         "MLL"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Ops(BuildLinePath(c.edges, 1, c.noClose)), c.ops) << c.name;
    }
}

TEST(BuildShapePathsTest, NotesFillsThatShareEdges) {
    swf::Shape shape;
    shape.layers.push_back({{testing::Solid({}), testing::Solid({})}, {}, Rect(0, 0, 10, 10, 1)});
    shape.layers.push_back({{testing::Solid({}), testing::Solid({})}, {}, Rect(0, 0, 10, 10, 1)});
    shape.layers[1].edges[0].fill0 = 2;
    const ShapePaths paths = BuildShapePaths(shape);
    ASSERT_EQ(paths.layers.size(), 2u);
    EXPECT_FALSE(paths.layers[0].sharedEdges);
    EXPECT_TRUE(paths.layers[1].sharedEdges);
    EXPECT_EQ(paths.layers[1].fills.size(), 2u);
}

}  // namespace
}  // namespace flash::render
