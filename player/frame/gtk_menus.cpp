#include "gtk_menus.h"

#include <dlfcn.h>
#include <wx/gdicmn.h>
#include <wx/menu.h>

namespace ribbon::gtk {
namespace {

// The GTK and GLib types and calls used here, as the C interface declares them.
using GtkWidget = void;
using GdkEvent = void;
using GCallback = void (*)();
struct GtkAllocation {
    int x, y, width, height;
};

template <typename Fn>
Fn Find(const char* name) {
    return reinterpret_cast<Fn>(::dlsym(RTLD_DEFAULT, name));
}

// A release of the first button over an item of the top menu that carries a submenu: the
// item is chosen. The release goes to whichever menu holds the pointer grab (an open
// submenu), so every menu of the popup listens.
int OnRelease(GtkWidget*, GdkEvent* event, void* data) {
    static const auto getButton = Find<int (*)(const GdkEvent*, unsigned*)>("gdk_event_get_button");
    static const auto eventWidget = Find<GtkWidget* (*)(GdkEvent*)>("gtk_get_event_widget");
    static const auto deactivate = Find<void (*)(void*)>("gtk_menu_shell_deactivate");
    unsigned button = 0;
    if (!getButton || !eventWidget || !deactivate || !getButton(event, &button) || button != 1) {
        return 0;
    }
    const auto* carriers = static_cast<const ClickableCarriers*>(data);
    GtkWidget* under = eventWidget(event);
    for (int id : carriers->ids) {
        wxMenuItem* item = carriers->top->FindChildItem(id);
        if (item && under != nullptr && item->GetMenuItem() == under && item->IsEnabled()) {
            carriers->top->SendEvent(id);
            deactivate(carriers->top->m_menu);
            return 1;
        }
    }
    return 0;
}

}  // namespace

void ChooseOnClick(const ClickableCarriers& carriers) {
    static const auto connect =
        Find<unsigned long (*)(void*, const char*, GCallback, void*, void*, int)>(
            "g_signal_connect_data");
    if (!connect) {
        return;
    }
    auto listen = [&](wxMenu& menu) {
        connect(menu.m_menu, "button-release-event", reinterpret_cast<GCallback>(OnRelease),
                const_cast<ClickableCarriers*>(&carriers), nullptr, 0);
    };
    listen(*carriers.top);
    for (wxMenuItem* item : carriers.top->GetMenuItems()) {
        if (item->IsSubMenu()) {
            listen(*item->GetSubMenu());
        }
    }
}

void AlwaysShowImage(wxMenuItem& item) {
    static const auto alwaysShow =
        Find<void (*)(GtkWidget*, int)>("gtk_image_menu_item_set_always_show_image");
    static const auto typeCheck = Find<int (*)(void*, unsigned long)>("g_type_check_instance_is_a");
    static const auto imageItemType = Find<unsigned long (*)()>("gtk_image_menu_item_get_type");
    GtkWidget* widget = item.GetMenuItem();
    if (alwaysShow && typeCheck && imageItemType && widget && typeCheck(widget, imageItemType())) {
        alwaysShow(widget, 1);
    }
}

bool ScreenRect(const wxMenuItem& item, wxRect* rect) {
    static const auto getWindow = Find<void* (*)(GtkWidget*)>("gtk_widget_get_window");
    static const auto getAllocation =
        Find<void (*)(GtkWidget*, GtkAllocation*)>("gtk_widget_get_allocation");
    static const auto getOrigin = Find<int (*)(void*, int*, int*)>("gdk_window_get_origin");
    static const auto isVisible = Find<int (*)(GtkWidget*)>("gtk_widget_get_mapped");
    GtkWidget* widget = item.GetMenuItem();
    if (!getWindow || !getAllocation || !getOrigin || !isVisible || !widget || !isVisible(widget)) {
        return false;
    }
    void* window = getWindow(widget);
    int x = 0;
    int y = 0;
    if (!window) {
        return false;
    }
    getOrigin(window, &x, &y);
    GtkAllocation a{};
    getAllocation(widget, &a);
    *rect = wxRect(x + a.x, y + a.y, a.width, a.height);
    return true;
}

}  // namespace ribbon::gtk
