#pragma once

#include <wx/docview.h>
#include <wx/timer.h>

#include <memory>

#include "playback/flash_window.h"
#include "playback/playback.h"
#include "playback/view_rules.h"
#include "playing_state.h"

class CToviFlashDoc;
struct PlayerContext;
class FrameLink;
class PlayArea;

// The playing area: hosts the Flash control over its whole client area, loads the document's
// file into it, carries out the playback commands and keeps the ribbon's play button,
// progress slider and check marks in step with the control. It also looks for the end of the
// movie and applies the play mode.
class CToviFlashView : public wxView, public PlayingStateSource {
  public:
    explicit CToviFlashView(PlayerContext& context);
    ~CToviFlashView() override;

    bool OnCreate(wxDocument* doc, long flags) override;
    void OnDraw(wxDC*) override {}
    // The load routine: the document's file, or the start movie when none is open.
    void OnUpdate(wxView* sender, wxObject* hint = nullptr) override;
    bool OnClose(bool deleteWindow) override;
    void OnChangeFilename() override;

    CToviFlashDoc* GetDocument() const;
    // What the view shares with the main window and the document.
    PlayerContext& Context() const { return context_; }
    wxWindow* GetPlayArea() const;
    host::PlayerControl* Control() const;
    Playback* GetPlayback() const { return playback_.get(); }

    // A file (not the start movie) has been loaded at least once.
    bool IsMovieLoaded() const override { return playback_ && playback_->IsLoaded(); }
    // The control's own playing state (throws when the control fails).
    bool IsControlPlaying() override;

    // Runs a playback keyword ("play", "next", ...), as the end of a movie and the commands do.
    void RunKeyword(const wxString& keyword);
    // Fills the previous and next buttons' menus from the current source list.
    void RebuildPrevNextMenus();
    // Looks for the end of the movie once, as the timer does.
    void CheckEndOfMovie();

    // How often the end of the movie is looked for now, in milliseconds.
    int EndCheckInterval() const { return endTimer_.GetInterval(); }

    // The facts the command rules read now.
    ViewFacts CurrentFacts();

  private:
    void OnPlaybackCommand(wxCommandEvent& event);
    void OnUpdatePlaybackCommand(wxUpdateUIEvent& event);
    void OnFlashMenu(wxCommandEvent& event);
    void OnScaleMode(wxCommandEvent& event);
    void OnRibbon(wxCommandEvent& event);
    void OnQuality(wxCommandEvent& event);
    void OnRefreshList(wxCommandEvent& event);
    void OnExit(wxCommandEvent& event);
    void OnUpdateViewCommand(wxUpdateUIEvent& event);
    void OnEndTimer(wxTimerEvent& event);

    // Whether the command's update rule enables it now.
    bool IsEnabled(int id);
    void Navigate(bool forward);
    // Sets the end check going at the pace the movie needs now.
    void PaceEndCheck();
    void BestSize();
    void FullScreen();
    void OnSourceTerms(wxCommandEvent& event);
    void SaveCopy();
    void UpdatePlayButton();
    void UpdateProgress(wxUpdateUIEvent& event);
    // Runs a command that drives the control; a failure is reported, not thrown on.
    template <typename Fn>
    void Guarded(Fn&& fn);

    PlayerContext& context_;
    PlayArea* area_ = nullptr;
    std::unique_ptr<host::PlayerControl> flash_;
    std::unique_ptr<Playback> playback_;
    wxTimer endTimer_;
    // Set while the end of a movie is being handled (it may open another file, which may show
    // a message), so the check never runs inside itself.
    bool inEndCheck_ = false;
    // Set when going on from a finished movie failed; cleared by the next load or by play.
    bool endCheckHeld_ = false;

    wxDECLARE_CLASS(CToviFlashView);
    wxDECLARE_EVENT_TABLE();
};
