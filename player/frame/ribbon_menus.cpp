#include "ribbon_menus.h"

#include <wx/window.h>

#include "gtk_menus.h"
#include "image_strips.h"

namespace ribbon {
namespace {

// Local item ids stay below 32767 so that every platform's menus take them.
constexpr int kFirstItemId = wxID_HIGHEST + 1;

class UserMenuPresenter : public MenuPresenter {
  public:
    int Present(wxWindow* owner, ElementMenu& menu, const wxPoint& pos) override {
        return owner->GetPopupMenuSelectionFromUser(menu.menu(), pos);
    }
};

MenuPresenter* g_presenter = nullptr;

wxBitmap ItemBitmap(res::ImageStrips& images, const Element& e) {
    if (e.largeImage() >= 0) {
        return images.Image(e.largeStrip(), e.largeImage());
    }
    if (e.smallImage() >= 0) {
        return images.Image(e.smallStrip(), e.smallImage());
    }
    return wxNullBitmap;
}

}  // namespace

ElementMenu::ElementMenu(res::ImageStrips& images, const Element::List& items)
    : images_(&images), menu_(std::make_unique<wxMenu>()), nextId_(kFirstItemId) {
    AddElements(*menu_, items, true);
    carriers_.top = menu_.get();
    if (!carriers_.ids.empty()) {
        gtk::ChooseOnClick(carriers_);
    }
    if (!pending_.empty()) {
        // The items carrying the submenus are in the top menu: their highlight comes before
        // the submenu is shown; the submenu's own opening is the fallback.
        menu_->Bind(wxEVT_MENU_HIGHLIGHT, &ElementMenu::OnHighlight, this);
        for (const Pending& p : pending_) {
            p.menu->Bind(wxEVT_MENU_OPEN, &ElementMenu::OnOpen, this);
        }
    }
}

ElementMenu::ElementMenu(const std::vector<res::MenuItem>& items)
    : menu_(std::make_unique<wxMenu>()), nextId_(kFirstItemId) {
    AddResources(*menu_, items);
}

int ElementMenu::NewItem(int command) {
    int id = nextId_++;
    commands_[id] = command;
    order_.emplace_back(id, command);
    return id;
}

void ElementMenu::AddElements(wxMenu& menu, const Element::List& items, bool lazySubmenus) {
    for (const auto& item : items) {
        const Element& e = *item;
        switch (e.kind()) {
            case Kind::Separator:
                menu.AppendSeparator();
                break;
            case Kind::Label: {
                wxMenuItem* label = menu.Append(nextId_++, e.Caption());
                label->Enable(false);
                break;
            }
            case Kind::CheckBox: {
                wxMenuItem* check =
                    menu.AppendCheckItem(NewItem(e.id()), e.Caption(), e.Description());
                check->Check(e.checked());
                break;
            }
            case Kind::Slider:
                break;
            case Kind::Button:
            case Kind::BottomButton: {
                int id = NewItem(e.id());
                auto* menuItem = new wxMenuItem(&menu, id, e.Caption(), e.Description());
                wxBitmap bitmap = images_ ? ItemBitmap(*images_, e) : wxNullBitmap;
                if (bitmap.IsOk()) {
                    menuItem->SetBitmap(bitmap);
                }
                if (!e.subItems().empty()) {
                    auto* sub = new wxMenu;
                    if (lazySubmenus) {
                        pending_.push_back({sub, id, &e.subItems()});
                    } else {
                        AddElements(*sub, e.subItems(), false);
                    }
                    menuItem->SetSubMenu(sub);
                }
                menu.Append(menuItem);
                if (bitmap.IsOk()) {
                    gtk::AlwaysShowImage(*menuItem);
                }
                // An entry of a list menu stays a button with its own command while it carries
                // its small menu.
                if (!e.subItems().empty() && e.id() > 0 && &menu == menu_.get()) {
                    carriers_.ids.push_back(id);
                }
                break;
            }
        }
    }
}

void ElementMenu::AddResources(wxMenu& menu, const std::vector<res::MenuItem>& items) {
    for (const res::MenuItem& item : items) {
        if (item.IsSeparator()) {
            menu.AppendSeparator();
        } else if (item.IsSubmenu()) {
            auto* sub = new wxMenu;
            AddResources(*sub, item.items);
            menu.AppendSubMenu(sub, item.text);
        } else {
            menu.AppendCheckItem(NewItem(item.id), item.text);
        }
    }
}

int ElementMenu::CommandOf(int itemId) const {
    auto it = commands_.find(itemId);
    return it == commands_.end() ? 0 : it->second;
}

int ElementMenu::ItemOf(int command) {
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& [id, cmd] : order_) {
            if (cmd == command) {
                return id;
            }
        }
        FillAll();
    }
    return wxID_NONE;
}

void ElementMenu::FillAll() {
    for (Pending& p : pending_) {
        Fill(p);
    }
}

void ElementMenu::Fill(Pending& pending) {
    if (pending.filled) {
        return;
    }
    pending.filled = true;
    std::size_t from = order_.size();
    AddElements(*pending.menu, *pending.items, false);
    UpdateItems(from);
}

void ElementMenu::OnOpen(wxMenuEvent& event) {
    event.Skip();
    for (Pending& p : pending_) {
        if (p.menu == event.GetMenu()) {
            Fill(p);
        }
    }
}

void ElementMenu::OnHighlight(wxMenuEvent& event) {
    event.Skip();
    for (Pending& p : pending_) {
        if (p.itemId == event.GetMenuId()) {
            Fill(p);
        }
    }
}

void ElementMenu::Update(wxWindow* target) {
    target_ = target;
    UpdateItems(0);
}

void ElementMenu::UpdateItems(std::size_t from) {
    if (target_ == nullptr) {
        return;
    }
    for (std::size_t i = from; i < order_.size(); ++i) {
        const auto [id, command] = order_[i];
        wxMenuItem* item = menu_->FindItem(id);
        if (item == nullptr) {
            continue;
        }
        wxUpdateUIEvent event(command);
        event.SetEventObject(target_);
        if (!target_->ProcessWindowEvent(event)) {
            continue;
        }
        if (event.GetSetEnabled()) {
            item->Enable(event.GetEnabled());
        }
        if (event.GetSetChecked() && item->IsCheckable()) {
            item->Check(event.GetChecked());
        }
    }
}

MenuPresenter& Menus() {
    static UserMenuPresenter user;
    return g_presenter ? *g_presenter : user;
}

void SetMenuPresenter(MenuPresenter* presenter) {
    g_presenter = presenter;
}

int PopupAndChoose(wxWindow* owner, ElementMenu& menu, const wxPoint& pos, wxWindow* target) {
    menu.Update(target);
    int chosen = Menus().Present(owner, menu, pos);
    return chosen == wxID_NONE ? 0 : menu.CommandOf(chosen);
}

wxString StripMnemonic(const wxString& text, int* index) {
    wxString out;
    int marked = -1;
    for (size_t i = 0; i < text.length(); ++i) {
        if (text[i] == '&' && i + 1 < text.length()) {
            if (text[i + 1] == '&') {
                out += '&';
                ++i;
                continue;
            }
            marked = static_cast<int>(out.length());
            continue;
        }
        out += text[i];
    }
    if (index) {
        *index = marked;
    }
    return out;
}

}  // namespace ribbon
