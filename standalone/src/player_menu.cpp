#include "player_menu.h"

#include "player_ids.h"

namespace standalone {

const std::vector<TopMenu>& PlayerMenu() {
    using E = MenuEntry;
    static const std::vector<TopMenu> menu = {
        {"文件(&F)",
         {
             {E::kItem, ID_FILE_OPEN, "打开(&O)\tCtrl+O", "打开Flash动画"},
             {E::kItem, ID_FILE_SAVE_AS, "另存为(&S)\tCtrl + S", "保存动画"},
             {E::kItem, ID_REEXTRACT, "重新提取(&B)\tCtrl+Alt+B", nullptr},
             {E::kItem, ID_OPEN_IN_FULL_PLAYER, "用ToviFLash播放器打开", "用ToviFLash播放器打开"},
             {E::kSeparator, 0, nullptr, nullptr},
             {E::kItem, ID_APP_EXIT, "退出(&E)\tCtrl+Alt+Q", "退出播放器"},
         }},
        {"播放(&P)",
         {
             {E::kItem, ID_PLAY, "播放(&P)\tCtrl+P", "播放"},
             {E::kItem, ID_PAUSE, "暂停", "暂停"},
             {E::kItem, ID_STOP, "停止", "停止"},
             {E::kSeparator, 0, nullptr, nullptr},
             {E::kSubmenu, 0, "音量控制(&V)", nullptr},
             {E::kCheckItem, ID_MUTE, "静音播放(&N)\tCtrl+V", "静音播放"},
             {E::kSeparator, 0, nullptr, nullptr},
             {E::kCheckItem, ID_VOLUME_20, "20%", nullptr},
             {E::kCheckItem, ID_VOLUME_50, "50%", nullptr},
             {E::kCheckItem, ID_VOLUME_80, "80%", nullptr},
             {E::kCheckItem, ID_VOLUME_100, "100%", nullptr},
             {E::kEndSubmenu, 0, nullptr, nullptr},
             {E::kSeparator, 0, nullptr, nullptr},
             {E::kCheckItem, ID_SCALE_ZOOM, "缩放模式(&Y)\tCtrl +Y", nullptr},
             {E::kCheckItem, ID_SCALE_ORIGINAL, "原始大小(&U)\tCtrl +U", nullptr},
             {E::kCheckItem, ID_SCALE_FILL, "填充模式(&I)\tCtrl + I", nullptr},
         }},
        {"设置(&S)",
         {
             {E::kItem, ID_VIEW_CACHE, "查看缓存文件(&O)\tCtrl+Alt+O", "打开缓存文件"},
             {E::kItem, ID_CLEAR_CACHE, "清空缓存文件(&E)\tCtrl+Alt+E", "清空缓存文件"},
             {E::kSeparator, 0, nullptr, nullptr},
             {E::kSubmenu, 0, "Flash画质设置", nullptr},
             {E::kCheckItem, ID_QUALITY_HIGH, "高(&H)\tCtrl+H", nullptr},
             {E::kCheckItem, ID_QUALITY_MEDIUM, "中(&M)\tCtrl+M", nullptr},
             {E::kCheckItem, ID_QUALITY_LOW, "低(&L)\tCtrl+L", nullptr},
             {E::kEndSubmenu, 0, nullptr, nullptr},
         }},
        {"帮助(&H)",
         {
             {E::kItem, ID_CHECK_UPDATE, "检查更新(&U)\tCtrl+Alt+U", "检查播放器最新版本"},
             {E::kItem, ID_HOME_PAGE, "转到官网(&G)", "打开ToviFlash播放器官网"},
             {E::kItem, ID_SOURCE_CODE, "获取源代码(&S)", "获取ToviFLash播放器源代码"},
             {E::kSeparator, 0, nullptr, nullptr},
             {E::kItem, ID_APP_ABOUT, "关于ToviFlash播放器(&A)", nullptr},
         }},
    };
    return menu;
}

std::string WxItemLabel(const std::string& text) {
    const std::size_t tab = text.find('\t');
    if (tab == std::string::npos) {
        return text;
    }
    std::string out = text.substr(0, tab + 1);
    for (std::size_t i = tab + 1; i < text.size(); ++i) {
        if (text[i] != ' ') {
            out += text[i];
        }
    }
    return out;
}

wxMenuBar* BuildMenuBar() {
    auto* bar = new wxMenuBar;
    for (const TopMenu& top : PlayerMenu()) {
        auto* menu = new wxMenu;
        std::vector<wxMenu*> stack = {menu};
        for (const MenuEntry& e : top.entries) {
            wxMenu* current = stack.back();
            const wxString help = e.description ? wxString::FromUTF8(e.description) : wxString();
            switch (e.kind) {
                case MenuEntry::kItem:
                case MenuEntry::kCheckItem:
                    current->Append(WxId(e.id), wxString::FromUTF8(WxItemLabel(e.text)), help,
                                    e.kind == MenuEntry::kCheckItem ? wxITEM_CHECK : wxITEM_NORMAL);
                    break;
                case MenuEntry::kSeparator:
                    current->AppendSeparator();
                    break;
                case MenuEntry::kSubmenu: {
                    auto* sub = new wxMenu;
                    current->AppendSubMenu(sub, wxString::FromUTF8(e.text));
                    stack.push_back(sub);
                    break;
                }
                case MenuEntry::kEndSubmenu:
                    stack.pop_back();
                    break;
            }
        }
        bar->Append(menu, wxString::FromUTF8(top.title));
    }
    // The marks the menu starts with; the update rules replace them when a menu opens.
    for (int id : {ID_VOLUME_50, ID_SCALE_ORIGINAL, ID_QUALITY_HIGH}) {
        bar->Check(WxId(id), true);
    }
    return bar;
}

std::vector<wxAcceleratorEntry> PlayerAccelerators() {
    const int ctrl = wxACCEL_CTRL;
    const int ctrlAlt = wxACCEL_CTRL | wxACCEL_ALT;
    std::vector<wxAcceleratorEntry> keys = {
        {ctrl, 'O', ID_FILE_OPEN},
        {ctrl, 'S', ID_FILE_SAVE_AS},
        {ctrlAlt, 'B', ID_REEXTRACT},
        {ctrlAlt, 'Q', ID_APP_EXIT},
        {ctrl, 'P', ID_PLAY},
        {ctrl, 'V', ID_MUTE},
        {ctrl, 'Y', ID_SCALE_ZOOM},
        {ctrl, 'U', ID_SCALE_ORIGINAL},
        {ctrl, 'I', ID_SCALE_FILL},
        {ctrlAlt, 'O', ID_VIEW_CACHE},
        {ctrlAlt, 'E', ID_CLEAR_CACHE},
        {ctrl, 'H', ID_QUALITY_HIGH},
        {ctrl, 'M', ID_QUALITY_MEDIUM},
        {ctrl, 'L', ID_QUALITY_LOW},
        {ctrlAlt, 'U', ID_CHECK_UPDATE},
    };
    for (wxAcceleratorEntry& key : keys) {
        key.Set(key.GetFlags(), key.GetKeyCode(), WxId(key.GetCommand()));
    }
    return keys;
}

std::string CommandDescription(int id) {
    for (const TopMenu& top : PlayerMenu()) {
        for (const MenuEntry& e : top.entries) {
            if (e.id == id && e.description) {
                return e.description;
            }
        }
    }
    return {};
}

}  // namespace standalone
