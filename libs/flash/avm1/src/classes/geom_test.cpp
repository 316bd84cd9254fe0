// flash.geom's Point, Rectangle and Matrix through their script methods.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flash/avm1/geom_values.h"
#include "flash/avm1/testing/fake_host.h"
#include "flash/avm1/vm.h"

namespace flash::avm1 {
namespace {

constexpr int kVersion = 8;

class GeomTest : public ::testing::Test {
  protected:
    std::string Text(const Value& v) {
        String s = vm.ToString(v, kVersion);
        return std::string(s.begin(), s.end());
    }
    // Calls `method` on `object` and gives what `object` then prints, or the result.
    std::string After(const Value& object, const char* method, std::vector<Value> args,
                      bool result = false) {
        String name(method, method + std::char_traits<char>::length(method));
        Value r = vm.CallMethod(object.AsObject(), name, args, kVersion);
        return Text(result ? r : object);
    }

    testing::FakeHost host;
    Vm vm{host};
};

Value N(double v) {
    return Value::Number(v);
}

TEST_F(GeomTest, MatrixMethods) {
    struct Case {
        const char* method;
        std::vector<double> args;
        const char* expected;
    };
    const Case cases[] = {
        {"invert", {}, "(a=0.5, b=0, c=0, d=0.5, tx=-5, ty=-10)"},
        {"translate", {1, 2}, "(a=2, b=0, c=0, d=2, tx=11, ty=22)"},
        {"scale", {2, 3}, "(a=4, b=0, c=0, d=6, tx=20, ty=60)"},
        {"identity", {}, "(a=1, b=0, c=0, d=1, tx=0, ty=0)"},
        {"createBox", {2, 3, 0, 4, 5}, "(a=2, b=0, c=0, d=3, tx=4, ty=5)"},
        {"createGradientBox", {1638.4, 819.2}, "(a=1, b=0, c=0, d=0.5, tx=819.2, ty=409.6)"},
    };
    for (const Case& c : cases) {
        Value m = NewGeomMatrix(vm, {2, 0, 0, 2, 10, 20}, kVersion);
        std::vector<Value> args;
        for (double a : c.args) {
            args.push_back(N(a));
        }
        EXPECT_EQ(After(m, c.method, args), c.expected) << c.method;
    }
}

TEST_F(GeomTest, MatrixConcatAndPoints) {
    Value m = NewGeomMatrix(vm, {2, 0, 0, 2, 10, 20}, kVersion);
    Value shift = NewGeomMatrix(vm, {1, 0, 0, 1, 5, 5}, kVersion);
    Value p = NewGeomPoint(vm, 1, 1, kVersion);
    EXPECT_EQ(After(m, "transformPoint", {p}, true), "(x=12, y=22)");
    EXPECT_EQ(After(m, "deltaTransformPoint", {p}, true), "(x=2, y=2)");
    EXPECT_EQ(After(m, "concat", {shift}), "(a=2, b=0, c=0, d=2, tx=15, ty=25)");
    // A singular matrix inverts to the identity.
    Value flat = NewGeomMatrix(vm, {0, 0, 0, 0, 3, 3}, kVersion);
    EXPECT_EQ(After(flat, "invert", {}), "(a=1, b=0, c=0, d=1, tx=0, ty=0)");
    ASSERT_TRUE(GeomMatrixOf(vm, m, kVersion));
    EXPECT_EQ(GeomMatrixOf(vm, m, kVersion)->tx, 15);
    EXPECT_FALSE(GeomMatrixOf(vm, Value::Obj(vm.NewObject()), kVersion));
}

TEST_F(GeomTest, RectangleMethods) {
    Value a = NewGeomRectangle(vm, 0, 0, 10, 10, kVersion);
    Value b = NewGeomRectangle(vm, 5, 5, 10, 10, kVersion);
    Value apart = NewGeomRectangle(vm, 20, 20, 1, 1, kVersion);
    EXPECT_EQ(After(a, "union", {b}, true), "(x=0, y=0, w=15, h=15)");
    EXPECT_EQ(After(a, "intersection", {b}, true), "(x=5, y=5, w=5, h=5)");
    EXPECT_EQ(After(a, "intersection", {apart}, true), "(x=0, y=0, w=0, h=0)");
    EXPECT_EQ(After(a, "intersects", {apart}, true), "false");
    // The right and bottom edges are outside.
    EXPECT_EQ(After(a, "contains", {N(9.5), N(0)}, true), "true");
    EXPECT_EQ(After(a, "contains", {N(10), N(0)}, true), "false");
    EXPECT_EQ(After(a, "inflate", {N(1), N(2)}), "(x=-1, y=-2, w=12, h=14)");
    EXPECT_EQ(Text(vm.Get(a.AsObject(), u"bottomRight", kVersion)), "(x=11, y=12)");
    EXPECT_EQ(After(a, "setEmpty", {}), "(x=0, y=0, w=0, h=0)");
    EXPECT_EQ(After(a, "isEmpty", {}, true), "true");
}

TEST_F(GeomTest, PointMethods) {
    Value a = NewGeomPoint(vm, 3, 4, kVersion);
    Value b = NewGeomPoint(vm, 13, 24, kVersion);
    EXPECT_EQ(Text(vm.Get(a.AsObject(), u"length", kVersion)), "5");
    EXPECT_EQ(After(a, "add", {b}, true), "(x=16, y=28)");
    EXPECT_EQ(After(a, "equals", {NewGeomPoint(vm, 3, 4, kVersion)}, true), "true");
    EXPECT_EQ(After(a, "equals", {Value::Obj(vm.NewObject())}, true), "false");
    Value point = vm.Get(
        vm.Get(vm.Get(vm.Global(), u"flash", kVersion).AsObject(), u"geom", kVersion).AsObject(),
        u"Point", kVersion);
    EXPECT_EQ(After(point, "interpolate", {a, b, N(0.25)}, true), "(x=10.5, y=19)");
    EXPECT_EQ(After(a, "normalize", {N(10)}), "(x=6, y=8)");
}

}  // namespace
}  // namespace flash::avm1
