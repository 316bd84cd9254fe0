// Shared object files: where they go and what survives the trip through a .sol file.
#include "net/shared_object_store.h"

#include <gtest/gtest.h>

#include "flash/avm1/testing/fake_host.h"
#include "flash/avm1/vm.h"

namespace flash::net {
namespace {

TEST(SharedObjectPathTest, FollowsTheMoviePathAndRefusesBadNames) {
    struct Case {
        const char* name;
        std::optional<std::string> localPath;
        const char* file;  // relative to the root; empty when refused
    };
    const Case cases[] = {
        {"score", std::nullopt, "localhost/home/u/game.swf/score.sol"},
        {"a/b", std::nullopt, "localhost/home/u/game.swf/a/b.sol"},
        {"score", "/", "localhost/score.sol"},
        {"score", "/home/u", "localhost/home/u/score.sol"},
        {"score", "/home/u/", "localhost/home/u/score.sol"},
        {"score", "/home/other", ""},
        {"score", "/home/u/g", ""},  // not a whole folder of the path
        {"", std::nullopt, ""},
        {"bad name", std::nullopt, ""},
        {"x:y", std::nullopt, ""},
        {"../escape", std::nullopt, ""},
        {"score", "/home/u/../..", ""},
    };
    for (const Case& c : cases) {
        auto file = SharedObjectPath("/root", "/home/u/game.swf", c.name, c.localPath);
        std::string got = file ? file->lexically_relative("/root").generic_string() : "";
        EXPECT_EQ(got, c.file) << c.name << " " << c.localPath.value_or("-");
    }
}

class SolTest : public ::testing::Test {
  protected:
    avm1::testing::FakeHost host{8};
    avm1::Vm vm{host};

    avm1::Value Get(avm1::Object* o, avm1::StringView path) {
        avm1::Value v = avm1::Value::Obj(o);
        std::size_t start = 0;
        while (start <= path.size()) {
            std::size_t dot = std::min(path.find(u'.', start), path.size());
            v = vm.Get(v.AsObject(), path.substr(start, dot - start), 8);
            start = dot + 1;
        }
        return v;
    }
};

TEST_F(SolTest, ValuesAndSharedObjectsSurviveTheFile) {
    avm1::Object* data = vm.NewObject();
    avm1::Object* inner = vm.NewObject();
    vm.Set(inner, u"name", avm1::Value::Str(u"\u4E2D"), 8);
    vm.Set(inner, u"self", avm1::Value::Obj(inner), 8);  // a cycle
    avm1::Value list[] = {avm1::Value::Number(1.5), avm1::Value::Obj(inner)};
    vm.Set(data, u"list", avm1::Value::Obj(vm.NewArray(list)), 8);
    vm.Set(data, u"inner", avm1::Value::Obj(inner), 8);
    vm.Set(data, u"flag", avm1::Value::Bool(true), 8);
    vm.Set(data, u"none", avm1::Value::Null(), 8);

    std::vector<std::uint8_t> bytes = EncodeSol(vm, u"prefs", data, 8);
    avm1::Object* back = vm.NewObject();
    ASSERT_TRUE(DecodeSol(vm, bytes, back, 8));
    EXPECT_EQ(vm.ToString(Get(back, u"inner.name"), 8), u"\u4E2D");
    EXPECT_EQ(Get(back, u"inner.self").AsObject(), Get(back, u"inner").AsObject());
    EXPECT_EQ(Get(back, u"list.1").AsObject(), Get(back, u"inner").AsObject());
    EXPECT_EQ(vm.ToNumber(Get(back, u"list.0"), 8), 1.5);
    EXPECT_EQ(vm.ToNumber(Get(back, u"list.length"), 8), 2);
    EXPECT_TRUE(Get(back, u"flag").AsBool());
    EXPECT_TRUE(Get(back, u"none").IsNull());

    // A file cut anywhere keeps the entries before the cut and never fails hard.
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        avm1::Object* part = vm.NewObject();
        DecodeSol(vm, std::span(bytes.data(), cut), part, 8);
    }
}

TEST_F(SolTest, RefusesOtherFilesAndHugeCounts) {
    avm1::Object* data = vm.NewObject();
    std::vector<std::uint8_t> bytes = EncodeSol(vm, u"x", data, 8);
    bytes[6] = 'X';
    EXPECT_FALSE(DecodeSol(vm, bytes, data, 8));

    // An entry "a" holding a strict array that claims four billion elements.
    bytes = EncodeSol(vm, u"x", data, 8);
    const std::uint8_t entry[] = {0, 1, 'a', 0x0A, 0xFF, 0xFF, 0xFF, 0xFF, 0x06, 0};
    bytes.insert(bytes.end(), std::begin(entry), std::end(entry));
    EXPECT_TRUE(DecodeSol(vm, bytes, data, 8));
    EXPECT_TRUE(vm.Get(data, u"a", 8).IsUndefined());
}

}  // namespace
}  // namespace flash::net
