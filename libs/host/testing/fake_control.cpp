#include "host/testing/fake_control.h"

#include <wx/panel.h>

#include <algorithm>
#include <stdexcept>

namespace host::testing {
namespace {

bool IsQuery(const std::string& call) {
    static const char* const kQueries[] = {"TotalFrames", "FrameNum",     "CurrentFrame",
                                           "IsPlaying",   "GetScaleMode", "GetQuality2",
                                           "GetVariable"};
    const std::string name = call.substr(0, call.find(' '));
    return std::find(std::begin(kQueries), std::end(kQueries), name) != std::end(kQueries);
}

}  // namespace

std::vector<std::string> FakeControlState::Take() {
    std::vector<std::string> taken;
    taken.swap(calls);
    return taken;
}

std::vector<std::string> FakeControlState::Commands() const {
    std::vector<std::string> commands;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(commands),
                 [](const std::string& call) { return !IsQuery(call); });
    return commands;
}

FakeControl::FakeControl(std::shared_ptr<FakeControlState> state) : state_(std::move(state)) {
    last_ = this;
}

FakeControl::~FakeControl() {
    if (last_ == this) {
        last_ = nullptr;
    }
}

bool FakeControl::Create(wxWindow* parent, const wxString& windowText, long id,
                         const wxRect& rect) {
    if (state_->failCreate) {
        return false;
    }
    // wxWidgets takes no window id above 32767; the real control keeps such an id for itself.
    const wxWindowID windowId = id >= 0 && id < 32767 ? static_cast<wxWindowID>(id) : wxID_ANY;
    window_ = new wxPanel(parent, windowId, rect.GetPosition(), rect.GetSize(), 0, windowText);
    window_->SetLabel(windowText);
    window_->SetBackgroundColour(*wxBLACK);
    return true;
}

void FakeControl::Call(const std::string& name, const std::string& args) {
    state_->calls.push_back(args.empty() ? name : name + " " + args);
    const std::vector<std::string>& failing = state_->failing;
    if (std::find(failing.begin(), failing.end(), name) != failing.end()) {
        throw std::runtime_error(name + " failed");
    }
}

long FakeControl::TotalFrames() {
    Call("TotalFrames");
    return state_->total;
}

long FakeControl::FrameNum() {
    Call("FrameNum");
    return state_->frame;
}

long FakeControl::CurrentFrame() {
    Call("CurrentFrame");
    return state_->frame;
}

void FakeControl::Play() {
    Call("Play");
    state_->playing = true;
}

void FakeControl::Stop() {
    Call("Stop");
    state_->playing = false;
}

void FakeControl::Rewind() {
    Call("Rewind");
    state_->frame = 0;
}

void FakeControl::StopPlay() {
    Call("StopPlay");
    state_->playing = false;
}

void FakeControl::GotoFrame(long f) {
    Call("GotoFrame", std::to_string(f));
    state_->frame = f;
}

bool FakeControl::IsPlaying() {
    Call("IsPlaying");
    return state_->playing;
}

long FakeControl::GetScaleMode() {
    Call("GetScaleMode");
    return state_->scale;
}

void FakeControl::SetScaleMode(long mode) {
    Call("SetScaleMode", std::to_string(mode));
    state_->scale = mode;
}

wxString FakeControl::GetQuality2() {
    Call("GetQuality2");
    return state_->quality;
}

void FakeControl::SetQuality2(const wxString& q) {
    Call("SetQuality2", q.utf8_string());
    state_->quality = q;
}

void FakeControl::LoadMovie(long layer, const wxString& path) {
    Call("LoadMovie", std::to_string(layer) + " " + path.utf8_string());
    auto it = state_->movies.find(path);
    if (it == state_->movies.end() && state_->otherMovies < 0) {
        throw std::runtime_error("no such movie");
    }
    state_->total = it == state_->movies.end() ? state_->otherMovies : it->second;
    state_->frame = state_->loadedFrame;
    state_->playing = false;
}

void FakeControl::SetVariable(const wxString& name, const wxString& value) {
    Call("SetVariable", name.utf8_string() + " " + value.utf8_string());
    state_->variables[name] = value;
}

wxString FakeControl::GetVariable(const wxString& name) {
    Call("GetVariable", name.utf8_string());
    auto it = state_->variables.find(name);
    return it == state_->variables.end() ? wxString() : it->second;
}

void FakeControl::SetOutputVolume(std::uint32_t leftRight) {
    state_->volumes.push_back(leftRight);
}

}  // namespace host::testing
