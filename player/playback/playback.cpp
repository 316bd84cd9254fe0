#include "playback/playback.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <string>

#include "tovi.h"

namespace {

const wxString kFlvFailed =
    wxS("播放此FLV动画失败，可能是因为您所播放的动画不是有效的Flash文档, 或软件已损坏");
const wxString kSwfFailed = wxS("播放此动画失败，可能是因为您所播放的动画不是有效的Flash文档");

}  // namespace

PlayButtonLook PlayButtonFor(bool playing) {
    if (playing) {
        return {wxS("暂停"), 1, wxS("暂停当前播放"), wxS("暂停当前动画的播放、再次单击继续")};
    }
    return {wxS("播放"), 0, wxS("播放当前动画"), wxS("播放当前加载的动画、再次单击可暂停播放")};
}

Playback::LoadResult Playback::Load(const wxString& path, const std::function<void(long)>& loaded) {
    LoadResult result;
    enum { kStart, kFlv, kSwf } kind = kSwf;
    try {
        if (path.empty()) {
            kind = kStart;
            control_.LoadMovie(0, startMovie_);
            // The component leaves a loaded movie paused; the start movie is to be seen moving.
            control_.Play();
        } else {
            if (GetExternNameFromPath(path.wc_str()) == wxS(".flv")) {
                kind = kFlv;
                flv_ = true;
                control_.LoadMovie(0, flvPlayer_);
                control_.GotoFrame(0);
                control_.Stop();
                control_.SetVariable(wxS("_level0.strPath"), path);
                control_.GotoFrame(1);
                control_.Stop();
                control_.GotoFrame(2);
                control_.Stop();
                result.frameCount = 0;
            } else {
                flv_ = false;
                control_.LoadMovie(0, path);
                control_.Play();
                result.frameCount = control_.TotalFrames();
                result.actionScript3 = control_.UsesActionScript3();
            }
            loaded_ = true;
            control_.SetScaleMode(settings_.ScaleMode);
            if (loaded) {
                loaded(result.frameCount);
            }
        }
        control_.SetQuality2(settings_.PlayHuazhi);
    } catch (const std::exception&) {
        result.ok = false;
        result.error = kind == kFlv ? kFlvFailed : kind == kSwf ? kSwfFailed : wxString();
    }
    return result;
}

bool Playback::IsPlaying() {
    if (flv_) {
        wxString status = control_.GetVariable(wxS("_level0.strStatu")).Lower();
        return status == wxS("play") || status == wxS("buffering");
    }
    return control_.IsPlaying();
}

void Playback::PlayPause() {
    if (flv_) {
        long target = -1;
        switch (control_.FrameNum()) {
            case kFlvFramePaused:
            case kFlvFrameStopped:
                target = kFlvFramePlaying;
                break;
            case kFlvFramePlaying:
                target = kFlvFramePaused;
                break;
            case 1:
                target = 0;
                break;
            default:
                return;
        }
        control_.GotoFrame(target);
        control_.Stop();
        return;
    }
    if (control_.IsPlaying()) {
        control_.StopPlay();
    } else {
        control_.Play();
    }
}

void Playback::StopMovie() {
    if (flv_) {
        control_.GotoFrame(kFlvFrameStopped);
    } else {
        control_.Rewind();
    }
    control_.Stop();
}

void Playback::Seek(long frame) {
    control_.GotoFrame(frame);
    control_.Play();
}

void Playback::SetQuality(const wxString& word) {
    settings_.PlayHuazhi = word;
    control_.SetQuality2(word);
}

wxString Playback::SyncQuality() {
    settings_.PlayHuazhi = control_.GetQuality2().Lower();
    return settings_.PlayHuazhi;
}

void Playback::SetScaleMode(int mode) {
    settings_.ScaleMode = mode;
    control_.SetScaleMode(mode);
}

void Playback::RunKeyword(const wxString& keyword,
                          const std::function<void(bool forward)>& navigate) {
    const wxString word = keyword.Lower();
    if (word == wxS("play")) {
        control_.Play();
    } else if (word == wxS("replay")) {
        control_.GotoFrame(0);
        control_.Play();
    } else if (word == wxS("stop")) {
        control_.Rewind();
        control_.Stop();
    } else if (word == wxS("susped")) {
        control_.Stop();
    } else if (word == wxS("next") || word == wxS("last")) {
        if (navigate) {
            navigate(word == wxS("next"));
        }
    }
}

wxSize Playback::MovieSize(const stu_SwfInfo& info) {
    if (flv_) {
        return {ParseVideoDimension(control_.GetVariable(wxS("_level0.flvPlayer.0._videoWidth"))),
                ParseVideoDimension(control_.GetVariable(wxS("_level0.flvPlayer.0._videoHeight")))};
    }
    return {info.nWidth, info.nHeight};
}

std::optional<wxString> EndOfMovieKeyword(long f, long n, int margin, int playMode) {
    if (f < n - margin) {
        return std::nullopt;
    }
    switch (playMode) {
        case kPlayModeAuto:
        case kPlayModeLoopList:
            return wxString(wxS("next"));
        case kPlayModeLoopOne:
            return wxString(wxS("replay"));
        case kPlayModeOnce:
            return wxString(wxS("stop"));
        default:
            return std::nullopt;
    }
}

int EndCheckIntervalMs(double fps) {
    if (!(fps > 0)) {
        fps = 12;
    }
    return std::clamp(static_cast<int>(std::floor(500.0 / fps)), 1, 250);
}

wxSize BestWindowSize(wxSize frame, wxSize area, wxSize movie) {
    // Window sizes beyond 32767 do not exist on X11; a wild size from a movie stops there.
    auto side = [](int window, int inner, int wanted, int least) {
        long long size = static_cast<long long>(window) + std::max(wanted, least) - inner;
        return static_cast<int>(std::clamp<long long>(size, 1, 32767));
    };
    return {side(frame.x, area.x, movie.x, 320), side(frame.y, area.y, movie.y, 240)};
}

int ParseVideoDimension(const wxString& text) {
    // As the narrow text of at most 19 characters would be read by atoi.
    std::string narrow = text.ToStdString().substr(0, 19);
    const char* p = narrow.c_str();
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = std::min(value * 10 + (*p - '0'), 1LL << 31);
    }
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}
