#include "tovi/testing/test_env.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace tovi::testing {
namespace {

fs::path g_root;

void SetEnv(const char* name, const fs::path& value) {
    ::setenv(name, value.c_str(), 1);
}

}  // namespace

void SetUpIsolatedEnvironment() {
    if (!g_root.empty()) {
        return;
    }
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/tovi-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create the test's temporary root under " + pattern);
    }
    g_root = pattern;
    // Readable by every user: some tests run a step as an unprivileged user.
    fs::permissions(g_root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    const struct {
        const char* var;
        const char* sub;
    } dirs[] = {{"HOME", "home"},           {"XDG_CONFIG_HOME", "home/.config"},
                {"XDG_DATA_HOME", "home/.local/share"}, {"XDG_CACHE_HOME", "home/.cache"},
                {"TMPDIR", "tmp"},          {"TOVI_HKLM_DIR", "machine"}};
    for (const auto& d : dirs) {
        fs::create_directories(g_root / d.sub);
        SetEnv(d.var, g_root / d.sub);
    }
    // Sound goes to SDL's device that plays into nothing: tests never sound on the machine's
    // speakers and find the same device everywhere (a test may choose another driver).
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    // A test that picks SDL's disk driver writes its file here, never into the working folder.
    SetEnv("SDL_DISKAUDIOFILE", g_root / "tmp" / "sdlaudio.raw");
}

void TearDownIsolatedEnvironment() {
    if (g_root.empty() || std::getenv("TOVI_KEEP_TEST_DIRS") != nullptr) {
        return;
    }
    std::error_code ec;
    fs::remove_all(g_root, ec);
    g_root.clear();
}

const fs::path& TestRoot() {
    return g_root;
}

}  // namespace tovi::testing
