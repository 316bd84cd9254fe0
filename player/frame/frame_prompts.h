#pragma once

#include <wx/string.h>

#include <functional>

// The message boxes of the main window. They go through the program's prompt service, so
// tests answer them and nothing waits on a modal window.
namespace frame_prompts {

// A message box with an OK button.
void Tell(const wxString& text);
// A message box with Yes and No; true for Yes.
bool AskYesNo(const wxString& text);

// Test hook: every box goes to `answer` instead (it returns true for Yes); empty restores.
void SetAnswerer(std::function<bool(const wxString& text, bool yesNo)> answer);

}  // namespace frame_prompts
