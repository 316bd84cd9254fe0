#pragma once

#include <wx/menu.h>

#include <functional>
#include <map>
#include <memory>

class wxWindow;

// Menu 119 as the view shows it. Its items get local ids below the toolkit's limit of 32767
// and remember the commands they stand for; the items whose update rule sets a check mark
// are check items.
class ContextMenu {
  public:
    // `checkable(command)` says whether the command's rule sets a check mark.
    explicit ContextMenu(const std::function<bool(int)>& checkable);

    wxMenu& menu() { return *menu_; }
    // Runs the update handlers `target` reaches for every item: enabling and check marks.
    void Update(wxWindow* target);
    // The command of a local item id; 0 for none.
    int CommandOf(int itemId) const;

    // Shows the menu at `at` (client coordinates of `owner`) and sends the chosen command to
    // `target` as a menu command; false when nothing was chosen.
    bool PopupAndRun(wxWindow* owner, const wxPoint& at, wxWindow* target);

  private:
    std::unique_ptr<wxMenu> menu_;
    std::map<int, int> commands_;
};
