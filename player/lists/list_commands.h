#pragma once

#include <wx/string.h>

#include <optional>

#include "lists/media_lists.h"

namespace host {
class PromptService;
}

// The commands of the list entries' menu items: open (and the extended menus' play), remove,
// add to the playlist, and the previous/next entries. An item names its entry by the
// description of the element that carries the entry's open id.
class ListItemCommands {
  public:
    class Host {
      public:
        virtual ~Host();
        // The description of the first menu element with this id, or none.
        virtual std::optional<wxString> DescriptionOf(int id) = 0;
        virtual wxString DocumentPath() = 0;
        // Opens the file through the document; false when it could not be opened.
        virtual bool OpenDocument(const wxString& path) = 0;
    };

    ListItemCommands(MediaLists& lists, Host& host, host::PromptService& prompts)
        : lists_(lists), host_(host), prompts_(prompts) {}

    // Runs the command of an id in one of the list ranges; other ids do nothing.
    void Run(int id);

  private:
    std::optional<wxString> PathOf(int openId);
    void Open(ListKind list, int openId);

    MediaLists& lists_;
    Host& host_;
    host::PromptService& prompts_;
};
