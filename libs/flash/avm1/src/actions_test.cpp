#include "flash/avm1/actions.h"

#include <gtest/gtest.h>

#include <vector>

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

TEST(ActionName, NamesKnownCodes) {
    EXPECT_EQ(ActionName(0x96), "Push");
    EXPECT_EQ(ActionName(0x8E), "DefineFunction2");
    EXPECT_EQ(ActionName(0x01), "");
}

}  // namespace
}  // namespace flash::avm1
