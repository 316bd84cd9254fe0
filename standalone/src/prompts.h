#pragma once

#include <optional>
#include <string>

class wxDialog;
class wxWindow;

namespace standalone {

enum class PromptKind { kInformation, kError, kQuestion };

struct FileRequest {
    bool save = false;
    std::string defaultName;
    std::string defaultExtension;  // without its dot; the caller adds it to a name without one
    std::string folder;            // where the dialog starts; empty for the home folder
    // Pairs of "name|pattern" separated by "|", ending with "||".
    std::string filter;
};

// Every message box and file dialog of the standalone player goes through a prompt service,
// so tests can answer them and never wait on a modal window. Texts are UTF-8.
class Prompts {
  public:
    virtual ~Prompts() = default;
    // A message with an OK button.
    virtual void Tell(wxWindow* parent, const std::string& text, PromptKind kind) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool Ask(wxWindow* parent, const std::string& text) = 0;
    // The chosen path as the user gave it, or none when cancelled. Replacing an existing
    // file is the caller's question, once the final name is known.
    virtual std::optional<std::string> ChooseFile(wxWindow* parent, const FileRequest& request) = 0;
    // Runs a modal dialog of the program (the about box); returns its end code.
    virtual int RunModal(wxDialog& dialog) = 0;
};

// Modal wxWidgets message boxes and file dialogs.
Prompts& WxPrompts();

// A filter as written here ("a|*.a|b|*.b||") in the form wxWidgets' file dialogs take.
std::string DialogWildcard(const std::string& filter);

}  // namespace standalone
