#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/folders.h"
#include "platform/text.h"
#include "tovi.h"

namespace {

TEST(PathHelpersTest, TakePathsApart) {
    struct Case {
        const wchar_t* path;
        const wchar_t* name;
        const wchar_t* folder;
        const wchar_t* noExtension;
        const wchar_t* extension;
    } cases[] = {
        {L"C:\\Movies\\Intro.SWF", L"Intro.SWF", L"C:\\Movies\\", L"Intro", L".swf"},
        {L"C:\\Movies\\a.b.swf", L"a.b.swf", L"C:\\Movies\\", L"a.b", L".swf"},
        {L"C:\\Movies\\README", L"README", L"C:\\Movies\\", L"README", L"readme"},
        {L"C:\\a/b.swf", L"b.swf", L"C:\\a/", L"b", L".swf"},
        {L"/home/u\\clip.FLV", L"clip.FLV", L"/home/u\\", L"clip", L".flv"},
        {L" \t C:\\Movies\\Intro.swf \r\n", L"Intro.swf", L"C:\\Movies\\", L"Intro", L".swf"},
        {L"C:\\Movies\\.swf", L".swf", L"C:\\Movies\\", L"", L".swf"},
        {L"C:\\Movies\\", L"", L"C:\\Movies\\", L"", L""},
        {L"Intro.swf", L"Intro.swf", L"", L"Intro", L".swf"},
        {L"", L"", L"", L"", L""},
        {nullptr, L"", L"", L"", L""},
    };
    for (const Case& c : cases) {
        const std::string label = c.path ? platform::Utf8FromWide(c.path) : "(null)";
        EXPECT_EQ(GetNameFromPath(c.path), wxString(c.name)) << label;
        EXPECT_EQ(GetLastDirectoryFromPath(c.path), wxString(c.folder)) << label;
        EXPECT_EQ(GetNameFormPathNoEx(c.path), wxString(c.noExtension)) << label;
        EXPECT_EQ(GetExternNameFromPath(c.path), wxString(c.extension)) << label;
    }
}

TEST(PathHelpersTest, SettingsNamesGoToThePerUserFolderOthersBesideTheProgram) {
    const wxString appData = wxString(platform::GetAppDataFolder()) + L"\\Kestrum\\ToviFlash\\";
    const wxString program = wxString(platform::GetProgramFolder());
    ASSERT_TRUE(program.EndsWith(L"/"));
    struct Case {
        const wchar_t* name;
        wxString expected;
    } cases[] = {
        {L"Seting\\Playlist.ini", appData + L"Seting\\Playlist.ini"},
        {L"SETING\\history.ini", appData + L"SETING\\history.ini"},
        {L"Setings.ini", appData + L"Setings.ini"},
        {L"Setting\\x.ini", program + L"Setting\\x.ini"},
        {L"Binary\\kk.kk", program + L"Binary\\kk.kk"},
        {L"", program},
        {nullptr, program},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetSetingFilePathName(c.name), c.expected)
            << (c.name ? platform::Utf8FromWide(c.name) : "(null)");
    }
    // The folders below the per-user folder are left to the program's start-up.
    EXPECT_FALSE(platform::IsDirectory((appData + L"Seting").wc_str()));
}

}  // namespace
