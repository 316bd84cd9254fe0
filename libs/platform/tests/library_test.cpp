#include "platform/library.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/errors.h"
#include "platform/registry.h"

namespace platform {
namespace {

class LibraryTest : public ::testing::Test {
  protected:
    void SetUp() override { ::setenv("TOVI_LIBRARY_DIR", PROBE_LIBRARY_DIR, 1); }
    void TearDown() override {
        ::unsetenv("TOVI_LIBRARY_DIR");
        RestoreSystemFunctions();
    }
};

TEST_F(LibraryTest, WindowsNameFindsTheSharedLibraryWithoutRegardToCase) {
    for (const wchar_t* name : {L"PlatformProbe.dll", L"platformprobe.DLL", L"PLATFORMPROBE"}) {
        ModuleHandle module = LoadModule(name);
        ASSERT_NE(module, nullptr);
        auto answer = FindFunctionAs<int (*)()>(module, "probe_answer");
        ASSERT_NE(answer, nullptr);
        EXPECT_EQ(answer(), 42);
        EXPECT_EQ(module, LoadModule(L"PlatformProbe.dll"));  // loaded once, stays loaded
    }
}

TEST_F(LibraryTest, MissingLibraryOrFunctionGivesNull) {
    SetLastError(0);
    EXPECT_EQ(LoadModule(L"Nothing.dll"), nullptr);
    EXPECT_EQ(GetLastError(), kErrorModNotFound);
    ::setenv("TOVI_LIBRARY_DIR", "/nonexistent", 1);
    EXPECT_EQ(LoadModule(L"PlatformProbe.dll"), nullptr);
    ::setenv("TOVI_LIBRARY_DIR", PROBE_LIBRARY_DIR, 1);
    ModuleHandle module = LoadModule(L"PlatformProbe.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(FindFunction(module, "no_such_function"), nullptr);
    EXPECT_EQ(GetLastError(), kErrorProcNotFound);
    EXPECT_EQ(FindFunction(nullptr, "probe_answer"), nullptr);
}

TEST_F(LibraryTest, SystemModuleOffersRegDeleteTreeUntilRemoved) {
    RegKey key;
    ASSERT_EQ(key.Create(RegRoot::CurrentUser, L"Software\\kestrum\\ToviFlash\\Settings"), 0);
    ModuleHandle advapi = LoadModule(L"Advapi32.dll");
    ASSERT_NE(advapi, nullptr);
    auto deleteTree = FindFunctionAs<RegDeleteTreeProc>(advapi, "RegDeleteTreeW");
    ASSERT_NE(deleteTree, nullptr);
    EXPECT_EQ(deleteTree(RegRoot::CurrentUser, L"Software\\kestrum\\ToviFlash"), 0);
    EXPECT_NE(key.Open(RegRoot::CurrentUser, L"Software\\kestrum\\ToviFlash"), 0);

    RemoveSystemFunction(L"ADVAPI32.DLL", "RegDeleteTreeW");
    EXPECT_EQ(FindFunction(LoadModule(L"Advapi32.dll"), "RegDeleteTreeW"), nullptr);
    EXPECT_EQ(GetLastError(), kErrorProcNotFound);
    RestoreSystemFunctions();
    EXPECT_NE(FindFunction(LoadModule(L"Advapi32.dll"), "RegDeleteTreeW"), nullptr);
}

}  // namespace
}  // namespace platform
