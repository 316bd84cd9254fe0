#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

#include <functional>

#include "common/player_context.h"
#include "common/player_settings.h"
#include "lists/media_lists.h"

class wxDocManager;
class wxDocTemplate;
class CToviFlashDoc;
class CToviFlashView;
class FrameLink;

// The running player: the document manager with its one single-document template, the main
// window, the document and its view, brought up in the order the program starts in and taken
// down when the main window closes, with the settings and lists read and written around it.
// It owns the settings and the lists and hands the main window, the document and the view
// one context with them, the prompt service and the image strips.
class PlayerSession {
  public:
    // Makes the main window around the document manager; null when it cannot be made.
    using FrameFactory = std::function<FrameLink*(wxDocManager* manager, PlayerContext& context)>;

    // `prompts` and `images` are not owned and outlive the session.
    PlayerSession(host::PromptService& prompts, res::ImageStrips& images);
    ~PlayerSession();
    PlayerSession(const PlayerSession&) = delete;
    PlayerSession& operator=(const PlayerSession&) = delete;

    // Start-up: the settings key, the template, the main window, the document and view, the
    // saved state, the file of the command line (or the start movie), the window shown and
    // accepting dropped files, then the folders. False when the program is not to run.
    bool Start(const wxString& file, const FrameFactory& makeFrame);

    // Reads the settings and the lists and refreshes the main window's list controls.
    void LoadState();
    // Writes the settings and the lists.
    void SaveState();

    // Opens each file in turn through the document; the last one that opens stays open.
    void OpenFiles(const wxArrayString& files);

    wxDocManager* GetDocManager() const { return manager_; }
    CToviFlashDoc* GetDocument() const { return document_; }
    CToviFlashView* GetView() const;
    FrameLink* GetFrame() const { return frame_; }
    PlayerContext& Context() { return context_; }
    PlayerSettings& Settings() { return settings_; }
    MediaLists& Lists() { return lists_; }

    // The per-user folders ("Kestrum\ToviFlash\Seting") and the program's "Binary" and "Tools".
    static void CreateFolders();

  private:
    // Takes down what a failed start-up brought up, the document before the main window.
    void Abandon();

    PlayerSettings settings_;
    MediaLists lists_{settings_};
    PlayerContext context_;
    wxDocManager* manager_ = nullptr;
    wxDocTemplate* template_ = nullptr;
    FrameLink* frame_ = nullptr;
    CToviFlashDoc* document_ = nullptr;
};
