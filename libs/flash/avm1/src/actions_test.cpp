#include "flash/avm1/actions.h"

#include <gtest/gtest.h>

#include <variant>
#include <vector>

#include "actions_cache.h"

namespace flash::avm1 {
namespace {

TEST(ActionReader, DecodesShortAndLongRecords) {
    const std::vector<std::uint8_t> bytes = {0x06, 0x81, 0x02, 0x00, 0x05, 0x00, 0x07, 0x00};
    ActionReader reader(bytes);
    Action a;
    ASSERT_EQ(reader.Decode(0, a), ActionReader::Status::Ok);
    EXPECT_EQ(a.Code(), ActionCode::Play);
    EXPECT_EQ(a.next, 1u);
    ASSERT_EQ(reader.Decode(1, a), ActionReader::Status::Ok);
    EXPECT_EQ(a.Code(), ActionCode::GotoFrame);
    EXPECT_EQ(a.payload.size(), 2u);
    EXPECT_EQ(a.next, 6u);
    ASSERT_EQ(reader.Decode(6, a), ActionReader::Status::Ok);
    EXPECT_EQ(reader.Decode(7, a), ActionReader::Status::End);
    EXPECT_EQ(reader.Decode(100, a), ActionReader::Status::End);
}

TEST(ActionReader, RefusesLengthsPastTheEnd) {
    const std::vector<std::vector<std::uint8_t>> cases = {
        {0x96},                          // no length
        {0x96, 0x05},                    // half a length
        {0x96, 0x05, 0x00, 0x00, 0x41},  // payload shorter than its length
        {0x96, 0xFF, 0xFF},
    };
    for (const auto& bytes : cases) {
        ActionReader reader(bytes);
        Action a;
        EXPECT_EQ(reader.Decode(0, a), ActionReader::Status::Truncated) << bytes.size();
    }
}

TEST(PayloadReader, ReadsSwfLayouts) {
    // 1.5 as a SWF double: high word first, each little-endian.
    const std::vector<std::uint8_t> bytes = {0x00, 0x00, 0xF8, 0x3F, 0x00, 0x00, 0x00,
                                             0x00, 'h',  'i',  0x00, 0xFE, 0xFF};
    PayloadReader r(bytes);
    EXPECT_EQ(r.Double(), 1.5);
    EXPECT_EQ(r.CString(), "hi");
    EXPECT_EQ(r.S16(), -2);
    EXPECT_FALSE(r.U8());
    PayloadReader unterminated(std::span<const std::uint8_t>(bytes).subspan(8, 2));
    EXPECT_FALSE(unterminated.CString());
}

// Decodes the one record in `bytes` for SWF `version`.
DecodedAction DecodeOne(const std::vector<std::uint8_t>& bytes, int version = 7) {
    ActionReader reader(bytes);
    Action a;
    EXPECT_EQ(reader.Decode(0, a), ActionReader::Status::Ok);
    return DecodeAction(a, version);
}

TEST(DecodeAction, PushKeepsTypedValuesUpToTheFirstUnreadableOne) {
    // string "a", float 1.5, null, undefined, register 3, true, int -1, pool 2, pool 0x102,
    // then a double cut short.
    const std::vector<std::uint8_t> bytes = {
        0x96, 0x20, 0x00, 0,    'a', 0, 1, 0x00, 0x00, 0xC0, 0x3F, 2, 3, 4, 3, 5, 1, 7,
        0xFF, 0xFF, 0xFF, 0xFF, 8,   2, 9, 0x02, 0x01, 6,    0,    0, 0, 0, 0, 0, 0};
    const DecodedAction push = DecodeOne(bytes);
    const auto& items = push.As<PushAction>().items;
    ASSERT_EQ(items.size(), 9u);
    using K = PushItem::Kind;
    EXPECT_EQ(items[0].value.AsString(), u"a");
    EXPECT_EQ(items[1].value.AsNumber(), 1.5);
    EXPECT_TRUE(items[2].value.IsNull());
    EXPECT_TRUE(items[3].value.IsUndefined());
    EXPECT_EQ(items[3].kind, K::Constant);
    EXPECT_EQ(items[4].kind, K::Register);
    EXPECT_EQ(items[4].index, 3);
    EXPECT_TRUE(items[5].value.AsBool());
    EXPECT_EQ(items[6].value.AsNumber(), -1);
    EXPECT_EQ(items[7].kind, K::Pool);
    EXPECT_EQ(items[7].index, 2);
    EXPECT_EQ(items[8].index, 0x102);
    // An unknown type ends the record too.
    EXPECT_EQ(DecodeOne({0x96, 0x04, 0x00, 5, 0, 42, 5}).As<PushAction>().items.size(), 1u);
}

TEST(DecodeAction, TextFollowsTheMovieVersion) {
    const std::vector<std::uint8_t> bytes = {0x8C, 0x03, 0x00, 0xC3, 0xA9, 0};  // GoToLabel "é"
    EXPECT_EQ(DecodeOne(bytes, 6).As<NameAction>().name, u"\u00E9");
    EXPECT_EQ(DecodeOne(bytes, 5).As<NameAction>().name, u"\u00C3\u00A9");
}

TEST(DecodeAction, ShortPayloadsLeaveFieldsEmpty) {
    EXPECT_FALSE(DecodeOne({0x81, 0x01, 0x00, 5}).As<GotoFrameAction>().frame);
    auto wait = DecodeOne({0x8A, 0x02, 0x00, 5, 0}).As<WaitForFrameAction>();
    EXPECT_EQ(wait.frame, 5);
    EXPECT_FALSE(wait.skip);
    EXPECT_FALSE(DecodeOne({0x99, 0x01, 0x00, 5}).As<BranchAction>().offset);
    EXPECT_FALSE(DecodeOne({0x87, 0x00, 0x00}).As<StoreRegisterAction>().reg);
    EXPECT_EQ(DecodeOne({0x9A, 0x00, 0x00}).As<GetUrl2Action>().flags, 0);
    // DefineFunction without its code size, Try without its finally size.
    EXPECT_FALSE(DecodeOne({0x9B, 0x04, 0x00, 'f', 0, 0, 0}).As<DefineFunctionAction>().function);
    EXPECT_FALSE(DecodeOne({0x8F, 0x06, 0x00, 1, 1, 0, 1, 0, 0}).As<TryAction>().block);
    // A constant pool keeps the strings before an unterminated one.
    auto pool = DecodeOne({0x88, 0x06, 0x00, 3, 0, 'a', 0, 'b', 'c'}).As<ConstantPoolAction>();
    ASSERT_EQ(pool.strings->size(), 1u);
    EXPECT_EQ((*pool.strings)[0].AsString(), u"a");
}

TEST(DecodeAction, ReadsFunctionsTriesAndFrames) {
    // DefineFunction2 "f"(r1 a, b), 3 registers, flags 0x2A, 7 bytes of code.
    const std::vector<std::uint8_t> fn2 = {0x8E, 0x0F, 0x00, 'f', 0, 2,   0, 3, 0x2A,
                                           0x00, 1,    'a',  0,   0, 'b', 0, 7, 0};
    const DecodedAction define = DecodeOne(fn2);
    const auto& f = *define.As<DefineFunctionAction>().function;
    EXPECT_TRUE(f.v2);
    EXPECT_EQ(f.name, u"f");
    EXPECT_EQ(f.registerCount, 3);
    EXPECT_EQ(f.flags, 0x2A);
    ASSERT_EQ(f.params.size(), 2u);
    EXPECT_EQ(f.params[0].reg, 1);
    EXPECT_EQ(f.params[1].name, u"b");
    EXPECT_EQ(f.codeSize, 7);

    // Try with catch into register 2 and finally; sizes 1, 2, 3.
    const DecodedAction tryAction = DecodeOne({0x8F, 0x08, 0x00, 7, 1, 0, 2, 0, 3, 0, 2});
    const auto& t = *tryAction.As<TryAction>().block;
    EXPECT_TRUE(t.hasCatch && t.hasFinally && t.catchInRegister);
    EXPECT_EQ(t.reg, 2);
    EXPECT_EQ(t.trySize + t.catchSize + t.finallySize, 6);

    auto g = DecodeOne({0x9F, 0x03, 0x00, 3, 0x10, 0x00}).As<GotoFrame2Action>();
    EXPECT_TRUE(g.play);
    EXPECT_EQ(g.bias, 16);
    EXPECT_TRUE(std::holds_alternative<NoPayload>(DecodeOne({0x06}).payload));
}

TEST(ActionProgram, DecodesEachOffsetOnceWithinTheBlockEnd) {
    // Play; GotoFrame 5; Stop; End
    const std::vector<std::uint8_t> bytes = {0x06, 0x81, 0x02, 0x00, 0x05, 0x00, 0x07, 0x00};
    ActionProgram program(bytes, 7);
    const DecodedAction* play = program.At(0, bytes.size());
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(program.At(0, bytes.size()), play);
    const DecodedAction* gotoFrame = program.At(1, bytes.size());
    ASSERT_NE(gotoFrame, nullptr);
    EXPECT_EQ(gotoFrame->As<GotoFrameAction>().frame, 5);
    EXPECT_EQ(gotoFrame->next, 6u);
    // A record running past the block's end is not an action of that block.
    EXPECT_EQ(program.At(1, 5), nullptr);
    EXPECT_EQ(program.At(1, 6), gotoFrame);
    EXPECT_EQ(program.At(7, bytes.size()), nullptr);  // End
    EXPECT_EQ(program.At(6, 6), nullptr);
    EXPECT_EQ(program.At(100, 200), nullptr);
    // Any offset may be reached by a jump: here the middle of GotoFrame's payload.
    const DecodedAction* inside = program.At(4, bytes.size());
    ASSERT_NE(inside, nullptr);
    EXPECT_EQ(inside->Code(), ActionCode::PreviousFrame);
}

TEST(ActionCache, SharesDecodedActionsWhileTheBufferLives) {
    ActionCache cache;
    auto bytes =
        std::make_shared<const std::vector<std::uint8_t>>(std::vector<std::uint8_t>{0x06, 0x00});
    auto program = cache.Get(bytes, 7);
    EXPECT_EQ(cache.Get(bytes, 7), program);
    EXPECT_NE(cache.Get(bytes, 5), program);  // text decodes by version
    EXPECT_NE(cache.Get(std::make_shared<const std::vector<std::uint8_t>>(*bytes), 7), program);

    // Another buffer at the same address once the first is gone is decoded afresh.
    std::vector<std::uint8_t> storage = {0x07, 0x00};
    ActionBytes first(std::make_shared<int>(1), &storage);
    auto firstProgram = cache.Get(first, 7);
    first.reset();
    ActionBytes second(std::make_shared<int>(2), &storage);
    EXPECT_NE(cache.Get(second, 7), firstProgram);
}

TEST(ActionName, NamesKnownCodes) {
    EXPECT_EQ(ActionName(0x96), "Push");
    EXPECT_EQ(ActionName(0x8E), "DefineFunction2");
    EXPECT_EQ(ActionName(0x01), "");
}

}  // namespace
}  // namespace flash::avm1
