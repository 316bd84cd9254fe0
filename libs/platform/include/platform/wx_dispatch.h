#pragma once

// Hands window messages from worker threads to the wxWidgets application's thread through
// wxApp::CallAfter. Call once on that thread after the application object exists (OnInit);
// UninstallWxDispatcher before it goes away (OnExit) releases waiting senders.
namespace platform {

void InstallWxDispatcher();
void UninstallWxDispatcher();

}  // namespace platform
