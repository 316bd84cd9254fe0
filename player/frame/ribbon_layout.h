#pragma once

#include <functional>

#include "ribbon_model.h"

// The ribbon of the main window, built once in one pass.
namespace ribbon {

// Elements the main frame changes at run time. Owned by the ribbon; null until it is built.
struct Handles {
    ApplicationMenu* applicationMenu = nullptr;
    Element* volumeSlider = nullptr;      // 32775
    Element* muteCheck = nullptr;         // 32776
    Element* playButton = nullptr;        // 32777
    Element* previousButton = nullptr;    // 32779
    Element* nextButton = nullptr;        // 32780
    Element* stopButton = nullptr;        // 32778
    Element* progressSlider = nullptr;    // 32793
    Panel* nowPlayingPanel = nullptr;     // "正在播放"
    Element* bestSizeButton = nullptr;    // 32781 of the "播放" panel
    Element* fullScreenButton = nullptr;  // 32786
    Element* openButton = nullptr;        // 32851, carries the related-files menu
    Element* playlistButton = nullptr;    // -32851, carries the playlist menu
    Element* recentItem1 = nullptr;       // 40001
    Element* recentItem2 = nullptr;       // 40002
    Element* moreButton = nullptr;        // -32850, carries the history menu
    Element* playlistCapacityLabel = nullptr;
    Element* relatedCapacityLabel = nullptr;
    Element* historyCapacityLabel = nullptr;
};

struct LayoutInputs {
    // Slider positions of the three capacity panels.
    int maxHistory = 200;
    int maxBoundFile = 50;
    int maxPlayerFile = 250;
    // Reads the system volume (0..65535) into the value it is given, which starts at 32767.
    std::function<void(int&)> readVolume;
};

// Width of the application menu's recent-files area and its caption.
inline constexpr int kRecentAreaWidth = 300;
inline constexpr const wchar_t* kRecentAreaCaption = L"ToviFlash V 1.0";
inline constexpr int kApplicationButtonSize = 45;

// Builds the whole layout into an empty ribbon and fills the handles.
void BuildLayout(Ribbon& ribbon, Handles& handles, const LayoutInputs& inputs);

}  // namespace ribbon
