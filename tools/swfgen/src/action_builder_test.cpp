#include "swfgen/action_builder.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tovi/testing/files.h"

namespace swfgen {
namespace {

using tovi::testing::HexBytes;

TEST(ActionBuilderTest, AssemblesActionsAsStored) {
    struct Case {
        const char* name;
        ActionBuilder actions;
        const char* bytes;
    };
    const Case cases[] = {
        {"plain actions and End", ActionBuilder().Stop().Play(), "07 06 00"},
        {"push string", ActionBuilder().Push("a").Trace(), "96 03 00 00 61 00 26 00"},
        {"push double, high word first", ActionBuilder().PushNumber(1.5),
         "96 09 00 06 00 00 F8 3F 00 00 00 00 00"},
        {"push integer, bool, constants",
         ActionBuilder().PushInteger(-2).PushBool(true).PushConstant(3).PushConstant(300),
         "96 05 00 07 FE FF FF FF  96 02 00 05 01  96 02 00 08 03  96 03 00 09 2C 01 00"},
        {"goto frame and label", ActionBuilder().GotoFrame(4).GotoLabel("x"),
         "81 02 00 04 00  8C 02 00 78 00 00"},
        {"jump back to the start", ActionBuilder().Label("top").Play().Jump("top"),
         "06 99 02 00 FA FF 00"},
        {"branch forward over a stop", ActionBuilder().If("end").Stop().Label("end"),
         "9D 02 00 01 00 07 00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.actions.Build(), HexBytes(c.bytes)) << c.name;
    }
}

TEST(ActionBuilderTest, UnknownLabelIsAnError) {
    EXPECT_THROW(ActionBuilder().Jump("nowhere").Build(), std::invalid_argument);
}

}  // namespace
}  // namespace swfgen
