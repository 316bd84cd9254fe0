#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "flash/player/player.h"
#include "input_events.h"

namespace replay {

// Math.random's seed of every run, so runs repeat.
inline constexpr std::uint32_t kRandomSeed = 1;

// A movie played the way the corpus runner plays it; flashrun plays it the same way, so both
// give the same trace for the same movie and input. The view has the size asked for (a
// case's viewport_dimensions, flashrun's --width and --height; 0 takes the stage's size),
// input positions and rendered frames are pixels of it, and after each tick of the frame
// clock the events up to the next Wait reach the player.
class ReplayRun {
  public:
    // `player` has its movie loaded and is not yet advanced; it must outlive the run.
    ReplayRun(flash::Player& player, std::vector<InputEvent> events, int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }

    // One tick of the frame clock, then that frame's input.
    void NextFrame();

    // Events handed on so far that the player has no call for (editing commands it does not
    // know, ...), counted by their name.
    const std::map<std::string, int>& Skipped() const { return skipped_; }

  private:
    // The clipboard of the run: SetClipboardText fills it, copy and cut in fields too.
    class RunClipboard final : public flash::Clipboard {
      public:
        std::wstring Text() override { return text_; }
        void SetText(const std::wstring& text) override { text_ = text; }

      private:
        std::wstring text_;
    };

    void RunUntilWait();
    void Send(const InputEvent& e);
    void SendControl(const InputEvent& e);

    flash::Player& player_;
    std::vector<InputEvent> events_;
    std::size_t next_ = 0;
    int width_ = 1;
    int height_ = 1;
    std::map<std::string, int> skipped_;
    RunClipboard clipboard_;
};

}  // namespace replay
