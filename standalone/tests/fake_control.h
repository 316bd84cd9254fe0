#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "player_control.h"
#include "prompts.h"

namespace standalone::testing {

// What the fake control was asked, and how it answers. Shared with the test, so it outlives
// the window that owns the control.
struct ControlLog {
    std::vector<std::string> calls;  // "LoadMovie <path>", "Play", "GotoFrame 7", ...
    std::vector<std::uint32_t> volumes;
    bool failCreate = false;
    bool failLoad = false;
    bool actionScript3 = false;  // every loaded movie is written for ActionScript 3
    long totalFrames = 24;
    long frameNum = 3;
    long scaleMode = 0;
    std::string quality = "high";
};

// A control without a player: a plain panel that records the operations.
std::unique_ptr<PlayerControl> MakeFakeControl(std::shared_ptr<ControlLog> log);

// Answers every prompt from its script and records it.
class ScriptedPrompts : public Prompts {
  public:
    void Tell(wxWindow* parent, const std::string& text, PromptKind kind) override;
    bool Ask(wxWindow* parent, const std::string& text) override;
    std::optional<std::string> ChooseFile(wxWindow* parent, const FileRequest& request) override;
    int RunModal(wxDialog& dialog) override;

    std::vector<std::string> told;      // texts of messages
    std::vector<std::string> asked;     // texts of questions
    std::deque<bool> answers;           // for Ask; No when empty
    std::deque<std::string> files;      // for ChooseFile; cancelled when empty
    std::vector<FileRequest> requests;  // as ChooseFile got them
    std::vector<std::string> modals;    // titles of modal dialogs
};

}  // namespace standalone::testing
