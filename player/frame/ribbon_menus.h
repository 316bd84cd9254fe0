#pragma once

#include <wx/menu.h>

#include <map>
#include <vector>

#include "gtk_menus.h"
#include "menus.h"
#include "ribbon_model.h"

class wxWindow;
namespace res {
class ImageStrips;
}

// Popup menus of the ribbon: a button's sub-items and menu resources. Items get local ids and
// remember the command (the element's id) they stand for, so commands of any value, 32767 and
// above included, come back out. The submenus of a button's sub-items (the per-entry menus of
// the list menus) are filled only when the user first reaches them: a playlist of 500 entries
// would otherwise make 2000 more menu items each time its menu opens.
namespace ribbon {

class ElementMenu {
  public:
    // Items show their images from `images`.
    ElementMenu(res::ImageStrips& images, const Element::List& items);
    explicit ElementMenu(const std::vector<res::MenuItem>& items);
    ElementMenu(const ElementMenu&) = delete;
    ElementMenu& operator=(const ElementMenu&) = delete;

    wxMenu& menu() { return *menu_; }
    // The command of a menu item id; 0 for none.
    int CommandOf(int itemId) const;
    // The item id of the first item with this command, submenus filled to find it;
    // wxID_NONE when there is none.
    int ItemOf(int command);
    // Every command item made so far as (item id, command), submenus included.
    const std::vector<std::pair<int, int>>& items() const { return order_; }
    // Fills every submenu not filled yet.
    void FillAll();

    // Runs the update handlers of `target` for every item: enabling and check marks.
    void Update(wxWindow* target);

  private:
    // A submenu made empty, with the elements that go into it once it is reached.
    struct Pending {
        wxMenu* menu;
        int itemId;  // the item of the parent menu that carries it
        const Element::List* items;
        bool filled = false;
    };

    void AddElements(wxMenu& menu, const Element::List& items, bool lazySubmenus);
    void AddResources(wxMenu& menu, const std::vector<res::MenuItem>& items);
    int NewItem(int command);
    void Fill(Pending& pending);
    void UpdateItems(std::size_t from);
    void OnOpen(wxMenuEvent& event);
    void OnHighlight(wxMenuEvent& event);

    res::ImageStrips* images_ = nullptr;
    std::unique_ptr<wxMenu> menu_;
    std::map<int, int> commands_;
    std::vector<std::pair<int, int>> order_;
    std::vector<Pending> pending_;
    gtk::ClickableCarriers carriers_;
    wxWindow* target_ = nullptr;
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
