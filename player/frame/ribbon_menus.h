#pragma once

#include <wx/menu.h>

#include <map>
#include <vector>

#include "menus.h"
#include "ribbon_model.h"

class wxWindow;

// Popup menus of the ribbon: a button's sub-items and menu resources. Items get local ids and
// remember the command (the element's id) they stand for, so commands of any value, 32767 and
// above included, come back out.
namespace ribbon {

class ElementMenu {
  public:
    explicit ElementMenu(const Element::List& items);
    explicit ElementMenu(const std::vector<res::MenuItem>& items);
    ElementMenu(const ElementMenu&) = delete;
    ElementMenu& operator=(const ElementMenu&) = delete;

    wxMenu& menu() { return *menu_; }
    // The command of a menu item id; 0 for none.
    int CommandOf(int itemId) const;
    // The item id of the first item with this command; wxID_NONE when there is none.
    int ItemOf(int command) const;
    // Every command item as (item id, command), in menu order, submenus included.
    const std::vector<std::pair<int, int>>& items() const { return order_; }

    // Runs the update handlers of `target` for every item: enabling and check marks.
    void Update(wxWindow* target);

  private:
    void AddElements(wxMenu& menu, const Element::List& items);
    void AddResources(wxMenu& menu, const std::vector<res::MenuItem>& items);
    int NewItem(int command);

    std::unique_ptr<wxMenu> menu_;
    std::map<int, int> commands_;
    std::vector<std::pair<int, int>> order_;
    int nextId_;
};

// Shows popup menus. The default one lets the user choose; tests install their own.
class MenuPresenter {
  public:
    virtual ~MenuPresenter() = default;
    // Shows `menu` at `pos` (client coordinates of `owner`); the chosen item id or wxID_NONE.
    virtual int Present(wxWindow* owner, ElementMenu& menu, const wxPoint& pos) = 0;
};

MenuPresenter& Menus();
// Installs `presenter` (not owned); null restores the default.
void SetMenuPresenter(MenuPresenter* presenter);

// Shows the menu and returns the chosen command, 0 when nothing was chosen.
int PopupAndChoose(wxWindow* owner, ElementMenu& menu, const wxPoint& pos, wxWindow* target);

// A text with its "&" mnemonic marker taken out; `index` gets the marked character's position
// or -1.
wxString StripMnemonic(const wxString& text, int* index = nullptr);

}  // namespace ribbon
