// Entry point of the non-GUI test programs: an isolated environment, then GoogleTest.
#include <gmock/gmock.h>

#include "tovi/testing/test_env.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleMock(&argc, argv);
    tovi::testing::SetUpIsolatedEnvironment();
    int result = RUN_ALL_TESTS();
    tovi::testing::TearDownIsolatedEnvironment();
    return result;
}
