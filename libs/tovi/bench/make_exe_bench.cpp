// Builds a standalone player from a 64 MiB movie while this thread, acting as the
// user-interface thread, handles every progress message; then copies the same bytes plainly
// in 1024-byte blocks and with the system copy. Prints the times and their ratios.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "file_factory.h"
#include "platform/file.h"
#include "platform/folders.h"
#include "platform/messages.h"
#include "platform/text.h"
#include "tovi.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void MakeFile(const fs::path& path, std::size_t size, unsigned seed) {
    std::vector<char> block(1 << 20);
    std::ofstream out(path, std::ios::binary);
    for (std::size_t done = 0; done < size; done += block.size()) {
        for (std::size_t i = 0; i < block.size(); ++i) {
            block[i] = static_cast<char>((seed + done + i * 13) & 0xFF);
        }
        out.write(block.data(), static_cast<std::streamsize>(std::min(block.size(), size - done)));
    }
}

class ProgressWindow : public platform::MessageWindow {
  public:
    platform::LRESULT HandleMessage(platform::UINT, platform::WPARAM wParam,
                                    platform::LPARAM lParam) override {
        ++messages;
        if (wParam == 5 && lParam &&
            std::wstring(reinterpret_cast<const wchar_t*>(lParam)) == L"正在改写文件...") {
            copyStart = Clock::now();
        } else if (wParam == 100) {
            copyEnd = Clock::now();
        } else if (wParam == 1) {
            done = true;
        }
        if (wParam >= 5 && wParam <= 100) {
            percent = static_cast<int>(wParam);  // what a progress bar would show
        }
        return 0;
    }
    long messages = 0;
    int percent = 0;
    bool done = false;
    Clock::time_point copyStart, copyEnd;
};

double PlainBlockCopy(const fs::path& stub, const fs::path& movie, const fs::path& out) {
    const auto start = Clock::now();
    platform::File target;
    target.Open(platform::WidePath(out.string()).c_str(), 0x9001);
    std::vector<std::uint8_t> buffer(1024);
    for (const fs::path& source : {stub, movie}) {
        platform::File in;
        in.Open(platform::WidePath(source.string()).c_str(), 0x8000);
        while (platform::UINT n = in.Read(buffer.data(), 1024)) {
            target.Write(buffer.data(), n);
        }
    }
    target.Close();
    return Seconds(Clock::now() - start);
}

}  // namespace

int main() {
    const char* tmp = std::getenv("TMPDIR");
    const fs::path dir =
        fs::path(tmp && *tmp ? tmp : "/tmp") / ("make_exe_bench." + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path stub = dir / "mkexe";
    const fs::path movie = dir / "movie.swf";
    MakeFile(stub, 512 * 1024, 1);
    MakeFile(movie, 64u << 20, 7);

    auto ui = std::make_shared<platform::ManualDispatcher>();
    platform::InstallUiDispatcher(ui);
    ProgressWindow window;
    auto* param = new stu_MakeExeParam{platform::WidePath(stub.string()),
                                       platform::WidePath((dir / "player").string()),
                                       platform::WidePath(movie.string()),
                                       &window,
                                       550,
                                       400};
    const auto start = Clock::now();
    std::thread worker(MakeExeThreadProc, param);
    while (!window.done) {
        ui->RunOne(100);
    }
    const double total = Seconds(Clock::now() - start);
    worker.join();
    platform::InstallUiDispatcher(nullptr);
    const double build = Seconds(window.copyEnd - window.copyStart);

    const double plain = PlainBlockCopy(stub, movie, dir / "plain");
    const auto systemStart = Clock::now();
    platform::CopyFileTo(platform::WidePath(movie.string()).c_str(),
                         platform::WidePath((dir / "system").string()).c_str(), false);
    const double system = Seconds(Clock::now() - systemStart);

    std::printf("standalone build of a 64 MiB movie (512 KiB stub), %ld messages handled\n",
                window.messages);
    std::printf("  build, copy phase:        %.3f s\n", build);
    std::printf("  build, whole (1 s pause): %.3f s\n", total);
    std::printf("  plain copy, 1024 B blocks: %.3f s\n", plain);
    std::printf("  system copy of the movie:  %.3f s\n", system);
    std::printf("  ratio build / plain copy:  %.2f\n", build / plain);
    std::printf("  ratio build / system copy: %.2f\n", build / system);
    fs::remove_all(dir);
    return 0;
}
