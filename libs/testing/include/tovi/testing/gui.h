#pragma once

#include <chrono>
#include <functional>
#include <string>

class wxWindow;

namespace tovi::testing {

// Runs the wxWidgets event loop until `done` returns true or the timeout passes; returns
// whether `done` became true. GUI tests use it instead of sleeping.
bool PumpEventsUntil(const std::function<bool()>& done,
                     std::chrono::milliseconds timeout = std::chrono::seconds(10));
void PumpEvents(std::chrono::milliseconds duration);

// Saves what the window shows on screen as a PNG under ScreenshotPath(name); returns the
// file's path, or an empty string when the window could not be captured.
std::string SaveScreenshot(wxWindow* window, const std::string& name);

}  // namespace tovi::testing
