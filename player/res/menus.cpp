#include "menus.h"

#include "resource_ids.h"

namespace res {
namespace {

MenuItem Item(int id, const wchar_t* text) {
    return MenuItem{id, text, {}};
}
MenuItem Separator() {
    return MenuItem{};
}
MenuItem Submenu(const wchar_t* text, std::vector<MenuItem> items) {
    return MenuItem{0, text, std::move(items)};
}

}  // namespace

const std::vector<MenuItem>& StyleMenu() {
    static const std::vector<MenuItem> menu = {
        Item(ID_STYLE_OFFICE_2007_BLUE, L"Office 2007 (蓝色样式)(&B)"),
        Item(ID_STYLE_OFFICE_2007_BLACK, L"Office 2007 (黑色样式)(&L)"),
        Item(ID_STYLE_OFFICE_2007_SILVER, L"Office 2007 (银色样式)(&S)"),
        Item(ID_STYLE_OFFICE_2007_AQUA, L"Office 2007 (水绿色样式)(&A)"),
        Separator(),
        Item(ID_STYLE_VS_2005, L"Visual Studio 2005"),
        Item(ID_STYLE_WINDOWS_XP, L"Windows XP"),
        Item(ID_STYLE_WINDOWS_2000, L"Windows 2000"),
        Item(ID_STYLE_OFFICE_XP, L"Windows XP(Office 样式)"),
        Item(ID_STYLE_OFFICE_2003, L"Windows 2003(Office 样式)"),
    };
    return menu;
}

const std::vector<MenuItem>& ContextMenu() {
    static const std::vector<MenuItem> menu = {
        Item(ID_ADD_TO_PLAYLIST, L"添加到播放列表"),
        Item(ID_BEST_SIZE, L"最佳尺寸播放(&Z)"),
        Item(ID_OPEN, L"打开(&O)..."),
        Separator(),
        Item(ID_RIBBON_TOGGLE, L"启用Ribbon界面"),
        Submenu(L"Flash 插件选项",
                {
                    Item(ID_FLASH_MENU, L"弹出 Flash 菜单(&M)"),
                    Separator(),
                    Submenu(L"播放品质(&M)",
                            {
                                Item(ID_QUALITY_HIGH, L"高(&H)"),
                                Item(ID_QUALITY_MEDIUM, L"中(&M)"),
                                Item(ID_QUALITY_LOW, L"低(&L)"),
                            }),
                    Separator(),
                    Item(ID_SCALE_SHOW_ALL, L"缩放(&A)"),
                    Item(ID_SCALE_NO_SCALE, L"原始大小(&D)"),
                    Item(ID_SCALE_EXACT_FIT, L"适应窗口大小(&Q)"),
                    Item(ID_SCALE_BEST, L"最佳画面(&B)"),
                    Separator(),
                    Item(ID_SCALE_NO_BORDER, L"NoBorder"),
                    Item(ID_SCALE_LOW, L"Low"),
                    Item(ID_SCALE_AUTO_LOW, L"AutoLow"),
                    Item(ID_SCALE_AUTO_HIGH, L"AutoHigh"),
                    Item(ID_SCALE_HIGH, L"High"),
                    Item(ID_SCALE_AUTO_MEDIUM, L"AutoMedium"),
                    Item(ID_SCALE_MEDIUM, L"Medium"),
                }),
        Separator(),
        Item(ID_FULL_SCREEN, L"全屏播放(&F)"),
        Item(ID_MAKE_EXE, L"生成独立播放器"),
        Item(ID_MUTE, L"静音播放"),
        Separator(),
        Item(ID_PLAY, L"播放/暂停(&P)"),
        Item(ID_STOP, L"停止"),
        Item(ID_PREVIOUS, L"上一个"),
        Item(ID_NEXT, L"下一个"),
        Separator(),
        Item(ID_SOURCE_TERMS, L"获取项目源码"),
        Item(ID_APP_EXIT, L"退出(&X)"),
    };
    return menu;
}

const std::vector<Accelerator>& MainAccelerators() {
    static const std::vector<Accelerator> table = {
        {true, false, 'D', ID_ADD_TO_PLAYLIST},
        {true, true, 'Q', ID_APP_EXIT},
        {true, false, 'O', ID_OPEN},
        {true, false, 'H', ID_QUALITY_HIGH},
        {true, false, 'M', ID_QUALITY_MEDIUM},
        {true, false, 'L', ID_QUALITY_LOW},
        {true, false, 'I', ID_SCALE_EXACT_FIT},
        {true, false, 'U', ID_SCALE_NO_SCALE},
        {true, false, 'Y', ID_SCALE_SHOW_ALL},
        {true, false, 'B', ID_MAKE_EXE},
        {true, false, kVkReturn, ID_FULL_SCREEN},
        {true, false, kVkLeft, ID_PREVIOUS},
        {true, false, kVkRight, ID_NEXT},
        {true, false, 'P', ID_PLAY},
        {true, false, 'Z', ID_BEST_SIZE},
        {true, false, 'R', ID_RIBBON_TOGGLE},
        {true, false, 'S', ID_SAVE_AS},
    };
    return table;
}

}  // namespace res
