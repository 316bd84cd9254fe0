#include "testing/fake_flash.h"

#include <algorithm>

void FakeFlash::Call(const std::string& name, const std::string& args) {
    calls.push_back(args.empty() ? name : name + " " + args);
    if (std::find(failing.begin(), failing.end(), name) != failing.end()) {
        throw std::runtime_error(name + " failed");
    }
}

std::vector<std::string> FakeFlash::Take() {
    std::vector<std::string> taken;
    taken.swap(calls);
    return taken;
}

long FakeFlash::TotalFrames() {
    Call("TotalFrames");
    return total;
}

long FakeFlash::FrameNum() {
    Call("FrameNum");
    return frame;
}

long FakeFlash::CurrentFrame() {
    Call("CurrentFrame");
    return frame;
}

void FakeFlash::Play() {
    Call("Play");
    playing = true;
}

void FakeFlash::Stop() {
    Call("Stop");
    playing = false;
}

void FakeFlash::Rewind() {
    Call("Rewind");
    frame = 0;
}

void FakeFlash::StopPlay() {
    Call("StopPlay");
    playing = false;
}

void FakeFlash::GotoFrame(long f) {
    Call("GotoFrame", std::to_string(f));
    frame = f;
}

bool FakeFlash::IsPlaying() {
    Call("IsPlaying");
    return playing;
}

long FakeFlash::GetScaleMode() {
    Call("GetScaleMode");
    return scale;
}

void FakeFlash::SetScaleMode(long mode) {
    Call("SetScaleMode", std::to_string(mode));
    scale = mode;
}

wxString FakeFlash::GetQuality2() {
    Call("GetQuality2");
    return quality;
}

void FakeFlash::SetQuality2(const wxString& q) {
    Call("SetQuality2", q.utf8_string());
    quality = q;
}

void FakeFlash::LoadMovie(long layer, const wxString& path) {
    Call("LoadMovie", std::to_string(layer) + " " + path.utf8_string());
    auto it = movies.find(path);
    if (it == movies.end() && otherMovies < 0) {
        throw std::runtime_error("no such movie");
    }
    total = it == movies.end() ? otherMovies : it->second;
    frame = 0;
    playing = false;
}

void FakeFlash::SetVariable(const wxString& name, const wxString& value) {
    Call("SetVariable", name.utf8_string() + " " + value.utf8_string());
    variables[name] = value;
}

wxString FakeFlash::GetVariable(const wxString& name) {
    Call("GetVariable", name.utf8_string());
    auto it = variables.find(name);
    return it == variables.end() ? wxString() : it->second;
}
