#pragma once

#include <vector>

class wxMenu;
class wxMenuItem;
struct wxRect;

// What wxWidgets leaves out of GTK's popup menus, done on the GTK the program already runs
// on. The few GTK calls are found at run time in the loaded toolkit, so building needs no GTK
// development files; where a call is missing nothing happens.
namespace ribbon::gtk {

// Items of a popup menu that carry submenus and are still chosen by a click.
struct ClickableCarriers {
    wxMenu* top = nullptr;  // the popup menu they are items of
    std::vector<int> ids;
};

// A click on one of `carriers` chooses it as a plain item would: the popup menu reports the
// item chosen and closes, whether or not its submenu is open. `carriers` must outlive the
// menu's popup.
void ChooseOnClick(const ClickableCarriers& carriers);

// Shows `item`'s image whatever the desktop's menu-image setting says (GTK 3 hides menu
// images by default).
void AlwaysShowImage(wxMenuItem& item);

// Where `item` is on the screen while its menu is shown; false when it is not shown.
bool ScreenRect(const wxMenuItem& item, wxRect* rect);

}  // namespace ribbon::gtk
