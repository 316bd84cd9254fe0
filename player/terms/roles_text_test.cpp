#include "roles_text.h"

#include <gtest/gtest.h>

#include <functional>

#include "roles_check.h"
#include "tovi/testing/files.h"

namespace {

using tovi::testing::Bytes;

Bytes ShippedFile() {
    return tovi::testing::ReadFileBytes(tovi::testing::ProgramDir() / "Binary" / "Roles.dat");
}

TEST(RolesText, ShippedFilePassesAndReadsAsLines) {
    const Bytes bytes = ShippedFile();
    EXPECT_EQ(terms::FirstRolesFault(bytes), "");
    std::optional<wxString> text =
        terms::LoadRolesText((tovi::testing::ProgramDir() / "Binary" / "Roles.dat").wstring());
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->StartsWith(wxS("版本 1：ToviFlash 播放器源代码使用条款\r\n")));
    EXPECT_FALSE(text->EndsWith(wxS("\r\n")));
    // Every character of the file but the byte-order mark is in the text.
    EXPECT_EQ(text->length(), (bytes.size() - 2) / 2);
}

struct RefusedCase {
    const char* name;
    std::function<void(Bytes&)> change;
};

TEST(RolesText, DamagedFilesAreRefused) {
    const RefusedCase cases[] = {
        {"1279 bytes", [](Bytes& b) { b.resize(1279, 0x20); }},
        {"1745 bytes", [](Bytes& b) { b.resize(1745, 0x20); }},
        // Long enough, but without the checked bytes past offset 1279.
        {"1280 bytes", [](Bytes& b) { b.resize(1280); }},
        {"1620 bytes", [](Bytes& b) { b.resize(1620); }},
        {"byte at offset 2 changed", [](Bytes& b) { b[2] ^= 0x01; }},
        {"last checked byte changed", [](Bytes& b) { b[1218] ^= 0x01; }},
        {"no byte-order mark", [](Bytes& b) { b[0] = 'x'; }},
        {"empty", [](Bytes& b) { b.clear(); }},
    };
    tovi::testing::TempDir dir;
    for (const RefusedCase& c : cases) {
        Bytes bytes = ShippedFile();
        c.change(bytes);
        const auto file = dir / "Roles.dat";
        tovi::testing::WriteFileBytes(file, bytes);
        EXPECT_FALSE(terms::LoadRolesText(file.wstring())) << c.name;
    }
    EXPECT_FALSE(terms::LoadRolesText((dir / "missing.dat").wstring()));
}

TEST(RolesText, FilesAtTheLengthLimitsAreRead) {
    tovi::testing::TempDir dir;
    for (std::size_t length : {terms::kRolesMaxBytes, std::size_t{1622}}) {
        Bytes bytes = ShippedFile();
        bytes.resize(length, 0x20);
        const auto file = dir / "Roles.dat";
        tovi::testing::WriteFileBytes(file, bytes);
        EXPECT_TRUE(terms::LoadRolesText(file.wstring())) << length;
    }
}

TEST(RolesText, PercentSignsAreShownUnchanged) {
    Bytes bytes = ShippedFile();
    // Characters 2 to 5 of the first line (offsets 6 to 13) are not checked.
    const char* percent = "%s%d";
    for (int i = 0; i < 4; ++i) {
        bytes[6 + 2 * i] = static_cast<std::uint8_t>(percent[i]);
        bytes[7 + 2 * i] = 0;
    }
    tovi::testing::TempDir dir;
    const auto file = dir / "Roles.dat";
    tovi::testing::WriteFileBytes(file, bytes);
    std::optional<wxString> text = terms::LoadRolesText(file.wstring());
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->StartsWith(wxS("版本%s%doviFlash 播放器"))) << text->ToUTF8().data();
}

}  // namespace
