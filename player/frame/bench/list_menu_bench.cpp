// Rebuilding the playlist menu with 500 entries and the extended menu on: the rebuild of the
// menu as the frame runs it, and building the popup menu the user opens from it.
#include <wx/app.h>
#include <wx/init.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

#include "common/player_context.h"
#include "image_strips.h"
#include "list_commands.h"
#include "main_frame.h"
#include "ribbon_menus.h"
#include "testing/scripted_prompts.h"

namespace {

struct Figures {
    double min, median, max;
    double cpuMedian;  // processor time of this process, steadier on a busy machine
};

Figures Measure(int runs, const std::function<void()>& work) {
    std::vector<double> ms;
    std::vector<double> cpu;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        std::clock_t cpuStart = std::clock();
        work();
        cpu.push_back(1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    return {ms.front(), ms[ms.size() / 2], ms.back(), cpu[cpu.size() / 2]};
}

void Print(const char* what, Figures f) {
    std::printf("%-50s min %7.2f ms  median %7.2f ms  max %7.2f ms  cpu median %7.2f ms\n", what,
                f.min, f.median, f.max, f.cpuMedian);
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    ribbon::Ribbon ribbon;
    ribbon::Handles handles;
    ribbon::BuildLayout(ribbon, handles, {});
    PlayerSettings settings;
    settings.MaxPlayerFile = 500;
    settings.hasMenu[kPlaylistList] = true;
    MediaLists lists(settings);
    for (int i = 0; i < 500; ++i) {
        lists.playlist.AddTail(
            wxString::Format(L"C:\\Documents\\Flash 动画\\第%03d集 - 海底世界大冒险.swf", i));
    }
    ScriptedPrompts prompts;
    ListCommands commands(ribbon, handles, settings, lists, prompts);

    std::printf("playlist: 500 entries, extended menu on (4 items under each entry)\n");
    Print("rebuild playlist menu, large icons",
          Measure(50, [&] { commands.RebuildPlaylistMenu(); }));
    settings.isLargeIcon[kPlaylistList] = false;
    Print("rebuild playlist menu, small icons",
          Measure(50, [&] { commands.RebuildPlaylistMenu(); }));
    std::size_t elements = 0;
    handles.playlistButton->Visit([&](ribbon::Element&) {
        ++elements;
        return false;
    });
    std::printf("elements under the playlist button: %zu\n", elements);

    if (std::getenv("DISPLAY") == nullptr) {
        std::printf("no display: popup menu figures skipped\n");
        return 0;
    }
    std::fflush(stdout);
    wxApp::SetInstance(new wxApp);
    wxInitializer init(argc, argv);
    if (!init.IsOk()) {
        std::printf("cannot initialise wxWidgets: popup menu figures skipped\n");
        return 0;
    }
    res::ImageStrips images;
    Print("build the popup menu the playlist button opens", Measure(5, [&] {
              ribbon::ElementMenu menu(images, handles.playlistButton->subItems());
          }));
    settings.hasMenu[kPlaylistList] = false;
    commands.RebuildPlaylistMenu();
    Print("the same with the extended menu off", Measure(5, [&] {
              ribbon::ElementMenu menu(images, handles.playlistButton->subItems());
          }));

    // The rebuild as the shown main window runs it, its ribbon drawn.
    PlayerSettings shownSettings = settings;
    shownSettings.hasMenu[kPlaylistList] = true;
    shownSettings.isLargeIcon[kPlaylistList] = true;
    MediaLists shownLists(shownSettings);
    for (const wxString& path : lists.playlist.Entries()) {
        shownLists.playlist.AddTail(path);
    }
    PlayerContext context{shownSettings, shownLists, prompts, images};
    wxDocManager manager;
    auto* frame = new CMainFrame(context);
    if (!frame->Create(&manager, L"ToviFlash播放器")) {
        std::printf("cannot create the main window: its figures skipped\n");
        return 0;
    }
    frame->Show();
    wxTheApp->Yield();
    Print("rebuild playlist menu in the shown main window",
          Measure(20, [&] { frame->RebuildPlaylistMenu(); }));
    frame->Destroy();
    wxTheApp->Yield();
    return 0;
}
