#pragma once

#include <wx/string.h>

#include <optional>

// Every message box and file dialog of the program goes through the one prompt service, so
// tests can answer them and never block on a modal window.

enum class PromptButtons { Ok, YesNo };
enum class PromptIcon { Information, Warning, Error, Question };
enum class PromptAnswer { Ok, Yes, No };

struct FileDialogRequest {
    bool save = false;
    bool overwritePrompt = false;
    wxString defaultExtension;  // without its dot; empty for none
    wxString defaultName;
    // The folder the dialog starts in; empty for the user's home folder.
    wxString folder;
    // Pairs of "name|pattern" separated by "|", optionally ending with "||".
    wxString filter;
};

class PromptService {
  public:
    virtual ~PromptService();

    virtual PromptAnswer Message(const wxString& text, PromptButtons buttons, PromptIcon icon) = 0;
    // The path the user gave in the dialog, as given; none when the dialog was cancelled.
    virtual std::optional<wxString> ShowFileDialog(const FileDialogRequest& request) = 0;

    // The file to use: a save dialog's name gets the default extension when it has none, and
    // replacing an existing file of that final name is asked first (No gives none).
    std::optional<wxString> AskFile(const FileDialogRequest& request);

    void Tell(const wxString& text, PromptIcon icon = PromptIcon::Information) {
        Message(text, PromptButtons::Ok, icon);
    }
    bool AskYesNo(const wxString& text) {
        return Message(text, PromptButtons::YesNo, PromptIcon::Question) == PromptAnswer::Yes;
    }
};

// The process-wide service. Until one is installed, every prompt is written to the standard
// error stream and answered No (or cancelled), so nothing ever waits.
PromptService& Prompts();
// Installs `service` (not owned); null goes back to the default.
void SetPrompts(PromptService* service);

// A filter as the program writes it ("a|*.a|b|*.b||") in the form the file dialogs take.
wxString DialogFilter(const wxString& filter);
