#pragma once

#include <wx/accel.h>
#include <wx/menu.h>

#include <string>
#include <vector>

namespace standalone {

// One entry of the player's menu: an item, a separator, or the start or end of a submenu.
struct MenuEntry {
    enum Kind { kItem, kCheckItem, kSeparator, kSubmenu, kEndSubmenu } kind;
    int id;
    const char* text;         // as the menu shows it, "\t" before the accelerator's label
    const char* description;  // the command's description, or null
};

// Menu 145, top menus in order, each a list of entries.
struct TopMenu {
    const char* title;
    std::vector<MenuEntry> entries;
};
const std::vector<TopMenu>& PlayerMenu();

// The menu bar built from PlayerMenu.
wxMenuBar* BuildMenuBar();

// Accelerator table 128.
std::vector<wxAcceleratorEntry> PlayerAccelerators();

// An item text in the form wxWidgets parses: blanks around "+" in the accelerator's label
// taken out ("Ctrl + S" reads as Ctrl+S, never as a bare key).
std::string WxItemLabel(const std::string& text);

// The description of command `id`, or an empty text.
std::string CommandDescription(int id);

}  // namespace standalone
