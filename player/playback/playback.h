#pragma once

#include <wx/gdicmn.h>
#include <wx/string.h>

#include <functional>
#include <optional>

#include "common/player_settings.h"
#include "host/player_control.h"

struct stu_SwfInfo;

// Frames of the FLV wrapper movie: its current frame is its state.
inline constexpr long kFlvFramePlaying = 2;
inline constexpr long kFlvFramePaused = 3;
inline constexpr long kFlvFrameStopped = 6;

// Told once for each opened movie written for ActionScript 3.
inline constexpr const wchar_t* kActionScript3Notice =
    L"此动画使用 ActionScript 3.0 编写, 播放器暂时还不支持其中的脚本, "
    L"动画中的交互和程序效果不会运行, 时间轴仍会照常播放。";

// How the play button looks.
struct PlayButtonLook {
    wxString text;
    int image = 0;
    wxString tooltip;
    wxString description;
};
PlayButtonLook PlayButtonFor(bool playing);

// The movie in the control: loading it (SWF directly, FLV through the wrapper movie or the
// start movie when no file is open), and the playback commands of the view.
class Playback {
  public:
    Playback(host::PlayerControl& control, PlayerSettings& settings)
        : control_(control), settings_(settings) {}

    // Files beside the program: the start movie and the FLV wrapper movie (full paths).
    void SetDataMovies(wxString startMovie, wxString flvPlayer) {
        startMovie_ = std::move(startMovie);
        flvPlayer_ = std::move(flvPlayer);
    }

    struct LoadResult {
        bool ok = true;
        wxString error;  // the message for the user; empty when nothing is to be said
        long frameCount = 0;
        // The movie is written for ActionScript 3: its timeline plays, its scripts do not.
        bool actionScript3 = false;
    };
    // The load routine for `path` (empty: the start movie). `loaded` runs once the movie is
    // in the control (the lists and menus follow it); the quality is put last. A failing call
    // of the control ends the routine there.
    LoadResult Load(const wxString& path, const std::function<void(long frameCount)>& loaded);

    bool IsFlv() const { return flv_; }
    bool IsLoaded() const { return loaded_; }

    // Playing: for FLV the wrapper's status text, else the control's own state.
    bool IsPlaying();
    void PlayPause();
    void StopMovie();
    // The progress slider was moved.
    void Seek(long frame);

    // Stores the quality word and puts it.
    void SetQuality(const wxString& word);
    // Reads the quality back into the settings (lower-cased) and returns it.
    wxString SyncQuality();
    void SetScaleMode(int mode);

    // Runs a playback keyword: "play", "replay", "stop", "susped", "next", "last" (any case).
    // `navigate` takes "next" (true) and "last" (false).
    void RunKeyword(const wxString& keyword, const std::function<void(bool forward)>& navigate);

    // The movie's own size: the wrapper's video size for FLV, else the header's stage size.
    wxSize MovieSize(const stu_SwfInfo& info);

    host::PlayerControl& control() { return control_; }

  private:
    host::PlayerControl& control_;
    PlayerSettings& settings_;
    wxString startMovie_;
    wxString flvPlayer_;
    bool flv_ = false;
    bool loaded_ = false;
};

// The keyword the end of a movie calls for: frame `f` of `n` has reached the last `margin`
// frames; none when the movie is not there yet or the play mode is unknown.
std::optional<wxString> EndOfMovieKeyword(long f, long n, int margin, int playMode);

// How often to look for the end of a movie playing at `fps` frames per second: twice per
// frame, so neither of the last two frames can slip by. A movie that does not play moves no
// frame on, so it is looked at only every kIdleCheckMs.
int EndCheckIntervalMs(double fps);
inline constexpr int kIdleCheckMs = 250;

// The main window size that gives the playing area the movie's size, never less than 320 by
// 240: `frame` is the main window's size and `area` the control's.
wxSize BestWindowSize(wxSize frame, wxSize area, wxSize movie);

// A number as the FLV wrapper reports it: at most 19 characters read as a decimal integer;
// anything that is not a number gives 0.
int ParseVideoDimension(const wxString& text);
