#pragma once

#include <vector>

// Menu and accelerator resources of ToviFlash as data; the programs turn them into the
// toolkit's menus and accelerator tables.
namespace res {

struct MenuItem {
    int id = 0;                     // 0 for separators and submenus
    const wchar_t* text = nullptr;  // null for separators
    std::vector<MenuItem> items;    // the submenu's items when not empty

    bool IsSeparator() const { return text == nullptr; }
    bool IsSubmenu() const { return !items.empty(); }
};

// Menu 200: the visual styles, under the "修改视觉样式" button.
const std::vector<MenuItem>& StyleMenu();
// Menu 119: the view's context menu.
const std::vector<MenuItem>& ContextMenu();

// Windows virtual-key codes used by the accelerator table.
inline constexpr int kVkReturn = 0x0D;
inline constexpr int kVkLeft = 0x25;
inline constexpr int kVkRight = 0x27;

struct Accelerator {
    bool ctrl = false;
    bool alt = false;
    int key = 0;  // a virtual key: 'A'..'Z' or one of the codes above
    int command = 0;
};

// Accelerator table 128.
const std::vector<Accelerator>& MainAccelerators();

}  // namespace res
