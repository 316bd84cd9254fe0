#pragma once

// What the main window's status pane asks of the active view: whether a movie has been
// loaded, and the player control's own playing state.
class PlayingStateSource {
  public:
    virtual ~PlayingStateSource() = default;
    virtual bool IsMovieLoaded() const = 0;
    // May throw when the control fails; the status then stays as it was.
    virtual bool IsControlPlaying() = 0;
};
