#pragma once

struct PlayerSettings;
class MediaLists;
class FrameLink;
namespace host {
class PromptService;
}
namespace res {
class ImageStrips;
}

// What the main window, the document and the view share. The session owns the settings and
// the lists and hands this to each of them; the program (or a test) supplies the prompt
// service and the image strips.
struct PlayerContext {
    PlayerSettings& settings;
    MediaLists& lists;
    host::PromptService& prompts;
    res::ImageStrips& images;
    // The main window as the document and the view see it; null before it is made and once
    // it is gone.
    FrameLink* frame = nullptr;
};
