#include "runtime/context_menu.h"

namespace flash {

namespace {

MenuEntry Entry(MenuCommand command, const wchar_t* text, bool enabled = true, bool checked = false,
                bool separatorBefore = false) {
    MenuEntry e;
    e.command = command;
    e.text = text;
    e.enabled = enabled;
    e.checked = checked;
    e.separatorBefore = separatorBefore;
    return e;
}

}  // namespace

std::vector<MenuEntry> BuildContextMenu(const MenuState& s) {
    std::vector<MenuEntry> menu;
    bool movie = s.hasMovie && s.showMenu;
    if (movie) {
        menu.push_back(Entry(MenuCommand::ZoomIn, L"放大(&I)"));
        menu.push_back(Entry(MenuCommand::ZoomOut, L"缩小(&O)", s.zoomed));
        menu.push_back(Entry(MenuCommand::ShowAll, L"全部显示(&S)", s.zoomed));
        MenuEntry quality = Entry(MenuCommand::QualityHigh, L"品质(&Q)", true, false, true);
        quality.submenu = {
            Entry(MenuCommand::QualityLow, L"低(&L)", true, s.quality == Quality::Low),
            Entry(MenuCommand::QualityMedium, L"中(&M)", true, s.quality == Quality::Medium),
            Entry(MenuCommand::QualityHigh, L"高(&H)", true, s.quality == Quality::High),
        };
        menu.push_back(std::move(quality));
        if (s.frameCount > 1) {
            bool first = s.currentFrame <= 0;
            bool last = s.currentFrame >= s.frameCount - 1;
            menu.push_back(Entry(MenuCommand::Play, L"播放(&P)", true, s.playing, true));
            menu.push_back(Entry(MenuCommand::Loop, L"循环(&L)", true, s.looping));
            menu.push_back(Entry(MenuCommand::Rewind, L"倒回(&R)", !first, false, true));
            menu.push_back(Entry(MenuCommand::Forward, L"前进(&F)", !last));
            menu.push_back(Entry(MenuCommand::Back, L"后退(&B)", !first));
        }
    }
    menu.push_back(Entry(MenuCommand::About, L"关于播放组件(&A)...", true, false, movie));
    return menu;
}

}  // namespace flash
