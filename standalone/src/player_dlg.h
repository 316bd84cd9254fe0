#pragma once

#include <wx/frame.h>
#include <wx/timer.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "command_rules.h"
#include "host/player_control.h"
#include "host/prompts.h"
#include "platform/messages.h"
#include "state_probe.h"
#include "volume.h"

class CExtractProgressDlg;
class wxSlider;
class wxToolBar;
class wxScrollEvent;

// The standalone player's window: a menu, the player component, a three-button toolbar and
// a position slider. It plays the movie extracted from its own program file and receives
// the extraction's WM_EXTRACT_NOTIFY through the platform's messages.
class CPlayerDlg : public wxFrame, public platform::MessageWindow {
  public:
    // `ownPath` is the program file to extract from (empty: this program).
    CPlayerDlg(host::PromptService& prompts, std::unique_ptr<host::PlayerControl> flash,
               std::string ownPath = {});
    ~CPlayerDlg() override;

    platform::LRESULT HandleMessage(platform::UINT message, platform::WPARAM wParam,
                                    platform::LPARAM lParam) override;

    // Runs command `id` as the menu, a tool or an accelerator would, if its rule allows it.
    void RunCommand(int id);
    // The update rule of command `id` as it stands now.
    standalone::CommandState StateOf(int id) const;

    // Loads a movie, as extraction and open do; false when the control refused it.
    bool LoadMovie(const std::string& path);

    bool HasMovie() const { return hasMovie_; }
    bool IsBareStub() const { return bareStub_; }
    bool IsExtracting() const;
    const std::string& CurrentPath() const { return currentPath_; }
    const standalone::Volume& GetVolume() const { return volume_; }
    std::uint32_t MovieWidth() const { return movieWidth_; }
    std::uint32_t MovieHeight() const { return movieHeight_; }
    long LastExtractResult() const { return lastResult_; }
    CExtractProgressDlg* ProgressWindow() const { return progress_; }
    wxSlider* PositionSlider() const { return slider_; }
    wxToolBar* ToolBar() const { return toolbar_; }
    wxWindow* FlashWindow() const { return flash_->Window(); }

  private:
    void Initialise();
    void StartExtraction(bool force);
    void StopExtraction();
    void OnExtractNotify(platform::WPARAM code, platform::LPARAM argument);
    void PlayExtracted(const std::string& path);
    void FitToMovie();
    void LayoutControls();

    void OnMenu(wxCommandEvent& event);
    void OnUpdate(wxUpdateUIEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnFrameTimer(wxTimerEvent& event);
    void OnProbeTimer(wxTimerEvent& event);
    void OnSliderScroll(wxScrollEvent& event);

    void Open();
    void SaveAs();
    void OpenInFullPlayer();
    void ClearCache();
    void OpenPage(const char* path);
    // A message or a question over this window; texts are UTF-8.
    void Tell(const std::string& text, host::PromptIcon icon);
    bool Ask(const std::string& text);
    void ShowAbout();
    void WriteProbe();
    template <typename Fn>
    void Control(Fn&& fn);

    host::PromptService& prompts_;
    std::string ownPath_;

    bool bareStub_ = false;
    std::string currentPath_;
    // Where the file dialogs start: the folder last chosen in one, at first this program's.
    std::string lastFolder_;
    bool hasMovie_ = false;
    CExtractProgressDlg* progress_ = nullptr;
    wxSlider* slider_ = nullptr;
    standalone::Volume volume_;
    std::uint32_t movieHeight_ = 0;
    std::uint32_t movieWidth_ = 0;
    wxToolBar* toolbar_ = nullptr;
    std::unique_ptr<host::PlayerControl> flash_;

    wxTimer frameTimer_;
    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> workerDone_;
    long lastResult_ = 0;
    std::unique_ptr<standalone::StateProbe> probe_;
    wxTimer probeTimer_;
};
