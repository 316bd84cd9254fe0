#pragma once

#include <wx/string.h>

#include <optional>

class wxDialog;
class wxWindow;

// Every message box, file dialog and modal dialog of the three programs goes through one
// prompt service, so tests answer them and never wait on a modal window.
namespace host {

enum class PromptButtons { Ok, YesNo };
enum class PromptIcon { None, Information, Warning, Error, Question };
enum class PromptAnswer { Ok, Yes, No };

struct Message {
    wxString text;
    PromptButtons buttons = PromptButtons::Ok;
    PromptIcon icon = PromptIcon::Information;
    wxString caption;            // empty: the program's
    wxWindow* parent = nullptr;  // null: the program's main window
};

struct FileRequest {
    bool save = false;
    bool overwritePrompt = false;
    wxString defaultExtension;  // without its dot; goes on a save name typed without one
    wxString defaultName;
    wxString folder;  // where the dialog starts; empty: the user's home folder
    // Pairs of "name|pattern" separated by "|", optionally ending with "||".
    wxString filter;
    wxWindow* parent = nullptr;  // null: the program's main window
};

class PromptService {
  public:
    virtual ~PromptService();

    virtual PromptAnswer Show(const Message& message) = 0;
    // The path the user gave, as given; none when the dialog was cancelled.
    virtual std::optional<wxString> ShowFileDialog(const FileRequest& request) = 0;
    // Runs a modal dialog of the program (an about box) and gives its end code.
    virtual int RunModal(wxDialog& dialog) = 0;

    void Tell(const wxString& text, PromptIcon icon = PromptIcon::Information,
              wxWindow* parent = nullptr);
    // True for Yes.
    bool AskYesNo(const wxString& text, wxWindow* parent = nullptr);
    // The file to use: a save dialog's name gets the default extension when it has none, and
    // replacing an existing file of that final name is asked first (No gives none).
    std::optional<wxString> AskFile(const FileRequest& request);
};

// The question asked before a save replaces `fileName`.
wxString ReplaceQuestion(const wxString& fileName);

// A filter as the programs write it ("a|*.a|b|*.b||") in the form the file dialogs take.
wxString DialogFilter(const wxString& filter);

}  // namespace host
