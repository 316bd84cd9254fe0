#include "player_images.h"

#include "../res/player_icon.xpm"
#include "../res/toolbar.xpm"

namespace standalone {

wxBitmapBundle PlayerIcon() {
    return wxBitmapBundle::FromBitmap(wxBitmap(player_icon_xpm));
}

wxBitmap ToolbarImage(int index) {
    static const wxBitmap strip(toolbar_xpm);
    return strip.GetSubBitmap(wxRect(index * 24, 0, 24, 24));
}

}  // namespace standalone
