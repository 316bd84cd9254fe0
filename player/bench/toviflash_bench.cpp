// Figures of the running program: time from start to the first painted frame of the start
// movie, memory once idle, and CPU while a movie sits paused. Needs a display; runs ToviFlash
// in a temporary home of its own.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "common/settings_store.h"
#include "platform/registry.h"
#include "testing/movie_files.h"
#include "testing/program_driver.h"
#include "tovi/testing/files.h"
#include "tovi/testing/test_env.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const fs::path kProgram = fs::path(TOVI_PROGRAM_DIR) / "ToviFlash";

void Close(ProgramDriver& program, unsigned long window) {
    program.SendKeys(window, "ctrl+alt+q");
    program.WaitForExit(10s);
}

}  // namespace

int main() {
    tovi::testing::SetUpIsolatedEnvironment();
    const int runs = 5;
    std::vector<double> firstFrameMs;
    std::vector<long> idleKiB;
    std::vector<long> idlePssKiB;
    std::vector<long> idleAnonKiB;
    for (int i = 0; i < runs; ++i) {
        ProgramDriver program;
        const auto start = Clock::now();
        if (!program.Start(kProgram, {}, {"TOVI_REPORT_FIRST_PAINT=1"})) {
            std::fprintf(stderr, "cannot start %s\n", kProgram.c_str());
            return 1;
        }
        std::optional<std::string> line;
        while ((line = program.ReadErrorLine(20s)) &&
               line->find("first frame painted") == std::string::npos) {
        }
        if (!line) {
            std::fprintf(stderr, "no first frame reported\n");
            return 1;
        }
        firstFrameMs.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        std::this_thread::sleep_for(3s);
        idleKiB.push_back(program.ResidentKiB());
        idlePssKiB.push_back(program.ProportionalKiB());
        idleAnonKiB.push_back(program.PrivateKiB());
        if (auto window = program.WaitForWindow(5s)) {
            Close(program, *window);
        }
    }
    std::sort(firstFrameMs.begin(), firstFrameMs.end());
    std::sort(idleKiB.begin(), idleKiB.end());
    std::sort(idlePssKiB.begin(), idlePssKiB.end());
    std::sort(idleAnonKiB.begin(), idleAnonKiB.end());
    std::printf(
        "start to first painted frame of the start movie: median %.0f ms, best %.0f ms "
        "(%d runs)\n",
        firstFrameMs[runs / 2], firstFrameMs.front(), runs);
    std::printf(
        "memory once idle (start movie shown, 3 s after its first frame): median %ld KiB "
        "resident, %ld KiB proportional, %ld KiB anonymous\n",
        idleKiB[runs / 2], idlePssKiB[runs / 2], idleAnonKiB[runs / 2]);

    // A looping movie, paused from the keyboard, then left alone.
    tovi::testing::TempDir dir;
    const fs::path movie = dir / "moving.swf";
    WriteMovingMovie(movie);
    {
        platform::RegKey key;
        key.Create(platform::RegRoot::CurrentUser, settings_store::kSettingsKey);
        key.SetDword(L"PlayMode", 1);
    }
    ProgramDriver program;
    program.Start(kProgram, {movie.string()});
    std::optional<unsigned long> window = program.WaitForWindow(20s);
    if (!window) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    std::this_thread::sleep_for(2s);
    const auto playingBefore = program.CpuTime();
    std::this_thread::sleep_for(5s);
    const double playingPercent = (program.CpuTime() - playingBefore).count() / 5000.0 * 100;
    program.SendKeys(*window, "ctrl+p");
    std::this_thread::sleep_for(2s);
    const auto pausedBefore = program.CpuTime();
    const auto measured = 10s;
    std::this_thread::sleep_for(measured);
    const double pausedPercent = (program.CpuTime() - pausedBefore).count() /
                                 static_cast<double>(std::chrono::milliseconds(measured).count()) *
                                 100;
    std::printf("CPU while a 24 fps movie plays: %.1f %% of one core\n", playingPercent);
    std::printf("CPU while that movie sits paused: %.2f %% of one core (goal: under 1 %%)\n",
                pausedPercent);
    Close(program, *window);
    tovi::testing::TearDownIsolatedEnvironment();
    return 0;
}
