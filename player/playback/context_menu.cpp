#include "playback/context_menu.h"

#include <wx/window.h>

#include <vector>

#include "menus.h"

namespace {

// Local ids start above the toolkit's own ids.
constexpr int kFirstItemId = wxID_HIGHEST + 1;

void Fill(wxMenu& menu, const std::vector<res::MenuItem>& items,
          const std::function<bool(int)>& checkable, std::map<int, int>& commands) {
    for (const res::MenuItem& item : items) {
        if (item.IsSeparator()) {
            menu.AppendSeparator();
        } else if (item.IsSubmenu()) {
            auto* sub = new wxMenu;
            Fill(*sub, item.items, checkable, commands);
            menu.AppendSubMenu(sub, item.text);
        } else {
            const int id = kFirstItemId + static_cast<int>(commands.size());
            commands[id] = item.id;
            menu.Append(id, item.text, wxString(),
                        checkable(item.id) ? wxITEM_CHECK : wxITEM_NORMAL);
        }
    }
}

}  // namespace

ContextMenu::ContextMenu(const std::function<bool(int)>& checkable)
    : menu_(std::make_unique<wxMenu>()) {
    Fill(*menu_, res::ContextMenu(), checkable, commands_);
}

void ContextMenu::Update(wxWindow* target) {
    for (const auto& [id, command] : commands_) {
        wxMenuItem* item = menu_->FindItem(id);
        wxUpdateUIEvent event(command);
        event.SetEventObject(target);
        if (!item || !target->ProcessWindowEvent(event)) {
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

int ContextMenu::CommandOf(int itemId) const {
    auto it = commands_.find(itemId);
    return it == commands_.end() ? 0 : it->second;
}

bool ContextMenu::PopupAndRun(wxWindow* owner, const wxPoint& at, wxWindow* target) {
    Update(target);
    const int command = CommandOf(owner->GetPopupMenuSelectionFromUser(*menu_, at));
    if (command == 0) {
        return false;
    }
    wxCommandEvent event(wxEVT_MENU, command);
    event.SetEventObject(target);
    target->ProcessWindowEvent(event);
    return true;
}
