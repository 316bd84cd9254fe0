#pragma once

#include <filesystem>

namespace tovi::testing {

// Every test process runs inside a temporary root of its own. Before any test starts, the
// entry point points HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME, TMPDIR and
// TOVI_HKLM_DIR (the local-machine registry folder) into it, so settings, lists, registry
// files and caches of a test never touch the real ones. The root is removed at exit unless
// TOVI_KEEP_TEST_DIRS is set.
void SetUpIsolatedEnvironment();
void TearDownIsolatedEnvironment();

// The temporary root of this test process.
const std::filesystem::path& TestRoot();

}  // namespace tovi::testing
