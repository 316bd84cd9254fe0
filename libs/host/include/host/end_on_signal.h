#pragma once

// A request to end (SIGTERM from a session logging out or `kill`, SIGINT from a terminal)
// closes the program as the user would close it: every open modal dialog is cancelled, prompts
// asked from then on are answered No or cancelled without being shown, and the main window is
// closed, so the program saves what it saves on close. Install it before anything else (a
// sound library) takes the signals for itself.
namespace host {

void EndOnSignals();

// True once a request to end has come.
bool IsEnding();

// What a request to end does, for tests and for the handlers.
void EndAsRequested();
// Forgets a request to end (tests).
void ResetEnding();

}  // namespace host
