#include "file_factory.h"

#include <atomic>
#include <mutex>

namespace tovi {
namespace {

std::mutex g_mutex;
FileFactory g_factory;
std::atomic<int> g_pause{1000};

}  // namespace

void SetFileFactory(FileFactory factory) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_factory = std::move(factory);
}

std::unique_ptr<platform::File> MakeFile() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_factory ? g_factory() : std::make_unique<platform::File>();
}

void SetMakeExePause(int milliseconds) {
    g_pause = milliseconds;
}

int MakeExePause() {
    return g_pause;
}

}  // namespace tovi
