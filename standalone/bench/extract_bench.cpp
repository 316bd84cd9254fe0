// Extraction of a 64 MiB movie against a plain copy of the same bytes, and the check that
// reuses the cache file. Prints its figures; nothing is asserted.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include "cache_folder.h"
#include "extract.h"
#include "platform/messages.h"
#include "standalone_trailer.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kMovieBytes = 64u << 20;
constexpr std::size_t kStubBytes = 4u << 20;
constexpr int kRounds = 3;

// Notifications dropped at once: the cost of the extraction's own work.
class QuietSink : public standalone::ExtractSink {
  public:
    bool Notify(platform::WPARAM, platform::LPARAM) override {
        ++count;
        return true;
    }
    long count = 0;
};

// Notifications sent through the platform's messages to a user-interface thread, as the
// player window gets them.
class WindowSink : public standalone::ExtractSink {
  public:
    explicit WindowSink(platform::MessageWindow& window) : window_(window) {}
    bool Notify(platform::WPARAM code, platform::LPARAM argument) override {
        platform::SendWindowMessage(window_.GetSafeHwnd(), WM_EXTRACT_NOTIFY, code, argument);
        return true;
    }

  private:
    platform::MessageWindow& window_;
};

class Window : public platform::MessageWindow {
  public:
    platform::LRESULT HandleMessage(platform::UINT, platform::WPARAM, platform::LPARAM) override {
        return 0;
    }
};

double Seconds(const std::function<void()>& work) {
    double best = 1e9;
    for (int i = 0; i < kRounds; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

void Report(const char* what, double seconds) {
    std::printf("%-52s %9.1f ms  %8.1f MiB/s\n", what, seconds * 1000.0,
                kMovieBytes / seconds / (1u << 20));
}

void PlainCopy(const std::string& from, std::uint64_t offset, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    std::vector<char> buffer(1u << 20);
    std::uint64_t left = kMovieBytes;
    while (left > 0 && in >= 0 && out >= 0) {
        const auto n = ::pread(in, buffer.data(), std::min<std::uint64_t>(left, buffer.size()),
                               static_cast<off_t>(offset));
        if (n <= 0 || ::write(out, buffer.data(), static_cast<std::size_t>(n)) != n) {
            break;
        }
        offset += static_cast<std::uint64_t>(n);
        left -= static_cast<std::uint64_t>(n);
    }
    ::close(in);
    ::close(out);
}

}  // namespace

int main() {
    const fs::path dir =
        fs::temp_directory_path() / ("toviplayer_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    ::setenv("TMPDIR", dir.c_str(), 1);
    const std::string player = (dir / "Bench.exe").string();
    {
        std::vector<char> bytes(kStubBytes + kMovieBytes);
        std::uint32_t x = 12345;
        for (char& c : bytes) {
            x = x * 1103515245u + 12345u;
            c = static_cast<char>(x >> 24);
        }
        const auto trailer = standalone_trailer::Encode(550, 400, kStubBytes);
        std::ofstream out(player, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.write(reinterpret_cast<const char*>(trailer.data()), trailer.size());
    }
    std::printf("movie %zu MiB behind a %zu MiB stub, best of %d runs, page cache warm\n",
                kMovieBytes >> 20, kStubBytes >> 20, kRounds);

    Report("plain copy of the movie bytes (1 MiB blocks)",
           Seconds([&] { PlainCopy(player, kStubBytes, (dir / "plain.swf").string()); }));

    QuietSink quiet;
    Report("extraction, notifications not delivered", Seconds([&] {
               quiet.count = 0;
               standalone::RunExtraction(player, true, quiet);
           }));
    std::printf("  (%ld notifications per run)\n", quiet.count);

    // A user-interface thread that handles each notification while the worker waits.
    auto ui = std::make_shared<platform::ManualDispatcher>();
    Window window;
    std::atomic<bool> stop{false};
    std::thread uiThread([&] {
        platform::InstallUiDispatcher(ui);
        while (!stop) {
            ui->RunOne(10);
        }
        platform::InstallUiDispatcher(nullptr);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the thread installs itself
    WindowSink sink(window);
    Report("extraction, notifications sent to a window thread",
           Seconds([&] { standalone::RunExtraction(player, true, sink); }));
    platform::LPARAM result = 0;
    Report("reuse check of the same cache (samples + whole file)",
           Seconds([&] { result = standalone::RunExtraction(player, false, sink); }));
    std::printf("  (result %ld)\n", static_cast<long>(result));
    stop = true;
    uiThread.join();

    std::error_code ec;
    fs::remove_all(dir, ec);
    return 0;
}
