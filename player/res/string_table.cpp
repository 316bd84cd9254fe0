#include "string_table.h"

#include <algorithm>
#include <iterator>

#include "resource_ids.h"

namespace res {
namespace {

struct Entry {
    int id;
    const wchar_t* text;
};

// Sorted by id.
constexpr Entry kStrings[] = {
    {IDS_OLE_INIT_FAILED, L"OLE 初始化失败。请确保 OLE 库是正确的版本。"},
    {IDS_CATEGORY_NOW_PLAYING, L"正在播放"},
    {IDS_PANEL_VOLUME, L"音量控制"},
    {IDS_OPEN_FILTER,
     L"Flash 文档(*.swf; *.flv)|*.swf;*.flv|Flash 文档(*.swf)|*.swf|Flash 文档(*.flv)|*.flv|"
     L"所有文件 (*.*)|*.*||"},
    {IDS_NO_PROGRAM_INFO, L"节目: << 暂无信息 >>"},
    {IDS_NO_PATH_INFO, L"路径: << 暂无信息 >>"},
    {IDS_NO_RECORD, L"<< 暂无记录 >>"},
    {IDR_MAINFRAME,
     L"ToviFlash播放器\n\nFlash\nFlash 文档 (*.swf)\n.swf\nToviFlash.swf\nToviFlash.swf"},
    {ID_STYLE_WINDOWS_2000, L"将播放器外观设置为Wisdoms 2000样式\n设为Windows 2000 样式"},
    {ID_STYLE_OFFICE_XP, L"将播放器外观设置为Wisdoms XP(Office)样式\n设为Windows XP 样式"},
    {ID_STYLE_WINDOWS_XP, L"将播放器外观设置为Wisdoms XP样式\n设为Windows XP 样式"},
    {ID_STYLE_OFFICE_2003, L"将播放器外观设置为Wisdoms 2003(Office)样式\n设为Windows 2003样式"},
    {ID_STYLE_VS_2005, L"将播放器外观设置为Visual Studio样式\n设为Visual Studio 2005"},
    {ID_STYLE_OFFICE_2007_BLUE, L"将播放器外观设置为Office 2007 的蓝色样式\n设为Office 2007 蓝色"},
    {ID_STYLE_OFFICE_2007_BLACK, L"将播放器外观设置为Office 2007 的黑色样式\n设为Office 2007 黑色"},
    {ID_STYLE_OFFICE_2007_SILVER,
     L"将播放器外观设置为Office 2007 的银色样式\n设为Office 2007 银色"},
    {ID_STYLE_OFFICE_2007_AQUA,
     L"将播放器外观设置为Office 2007 的水绿色样式\n设为Office 2007 水绿色"},
    {IDS_MAIN_CATEGORY, L"开始"},
    {IDS_OPEN, L"打开(&O)..."},
    {IDS_SAVE_AS, L"另存为(&A)..."},
    {IDS_EXIT, L"退出(&X)"},
    {IDS_STYLE_BUTTON_TOOLTIP, L"修改视觉样式"},
    {IDS_STYLE_BUTTON_DESCRIPTION, L"选择一个您喜欢的主题..."},
    {IDS_CONTEXT_MENU_NAME, L"编辑"},
    {ID_VOLUME, L"调整Flash动画声音大小\n音量"},
    {ID_MUTE, L"静音播放当前动画\n静音"},
    {ID_PLAY, L"播放当前Flash动画\n播放"},
    {ID_STOP, L"停止当前动画的播放\n停止播放"},
    {ID_PREVIOUS, L"播放当前文件夹下的上一个动画\n上一个"},
    {ID_NEXT, L"播放当前文件夹下的下一个Flash动画\n下一个"},
    {ID_BEST_SIZE, L"调整窗口大小使Flash动画播放效果最佳\n最佳尺寸"},
    {ID_ADD_TO_PLAYLIST, L"将当前播放的动画添加到播放列表\n添加到播放列表"},
    {ID_ADD_ALL_TO_PLAYLIST, L"将当前文件夹下的所有Flash动画添加到播放列表\n收藏所有"},
    {ID_FULL_SCREEN, L"全屏播放当前动画\n全屏播放"},
    {ID_MAKE_EXE, L"生成一个包含当前播放动画的EXE文件, 这样您可以单独打开它\n生成独立播放器"},
    {ID_SAVE_AS, L"将此Flash动画复制到指定位置\n另存为"},
    {ID_DRAG_NEVER, L"当拖动客户区时不移动主窗口\n禁用拖动"},
    {ID_DRAG_ALWAYS, L"当拖动客户区时移动主窗口\n启用"},
    {ID_DRAG_AUTO, L"当您禁用Ribbon界面后拖动窗口时移动主窗口\n禁用Ribbon后启用"},
    {ID_PROGRESS, L"显示或设置当前动画的播放进度\n播放进度"},
    {ID_SCALE_SHOW_ALL, L"以原始比率播放动画 显示所有内容\n缩放模式"},
    {ID_SCALE_EXACT_FIT, L"扩大或缩小Flash动画原有尺寸 以填充客户区窗口\n自动拉伸"},
    {ID_SCALE_NO_SCALE, L"以Flash动画的原始大小播放\n原始大小播放"},
    {ID_SCALE_BEST, L"让播放器自动选择缩放模式\n自动选择"},
    {ID_HISTORY_EXTMENU_ITEM,
     L"当启用扩展菜单后在历史记录列表中的每个项目右侧会出现快捷菜单\n启用\\禁用扩展菜单"},
    {ID_RELATED_EXTMENU_ITEM,
     L"当启用扩展菜单后在相关文件列表中的每个项目右侧会出现快捷菜单\n启用\\禁用扩展菜单"},
    {ID_PLAYLIST_EXTMENU_ITEM,
     L"当启用扩展菜单后在播放列表中的每个项目右侧会出现快捷菜单\n启用\\禁用扩展菜单"},
    {ID_HISTORY_EXTMENU,
     L"当启用扩展菜单后在历史记录列表中的每个项目右侧会出现快捷菜单\n启用\\禁用扩展菜单"},
    {ID_RELATED_EXTMENU,
     L"当启用扩展菜单后在相关文件列表中的每个项目右侧会出现快捷菜单\n启用\\禁用扩展菜单"},
    {ID_PLAYLIST_EXTMENU,
     L"当启用扩展菜单后在播放列表中的每个项目右侧会出现快捷菜单\n启用\\禁用扩展菜单"},
    {ID_OPEN, L"打开一个磁盘上的Flash文件播放\n打开文件"},
    {ID_PLAYMODE_AUTO, L"自动播放播放列表中的所有动画\n自动播放模式"},
    {ID_PLAYMODE_LOOP_ONE, L"循环播放当前播放的动画、直到用户选择其它动画\n循环播放"},
    {ID_PLAYMODE_ONCE, L"只播放当前播放的动画、结束后不会重新开始播放\n单曲播放"},
    {ID_PLAYMODE_LOOP_LIST, L"循环播放当前播放列表中的所有文件\n循环播放"},
    {ID_CLEAR_HISTORY, L"清除历史记录\n清空历史记录"},
    {ID_CLEAR_RELATED, L"删除当前相关文件列表中所有文件, 这不会删除磁盘上的文件\n清除相关文件列表"},
    {ID_CLEAR_PLAYLIST, L"删除播放列表中的所有文件, 这不会删除磁盘上的文件\n清空播放列表"},
    {ID_HISTORY_LARGE_ICONS, L"将新添加的文件添加到播放列表的尾部\n添加到尾部"},
    {ID_RELATED_LARGE_ICONS, L"在相关文件列表菜单项上使用大图标\n使用大图标"},
    {ID_PLAYLIST_LARGE_ICONS, L"在播放列表菜单项上使用大图标\n使用大图标"},
    {ID_HISTORY_INFO, L"显示当前的历史记录设置信息\n查看信息"},
    {ID_RELATED_INFO, L"显示当前相关文件设置信息\n查看信息"},
    {ID_PLAYLIST_INFO, L"显示当前的播放列表信息\n查看信息"},
    {ID_RIBBON_DISABLE, L"禁用Ribbon界面后播放器窗口窗口将回到普通模式\n禁用Ribbon界面"},
    {ID_RIBBON_TOGGLE, L"启用或禁用Ribbon界面\nRibbon界面设置"},
    {ID_QUALITY_HIGH, L"高品质播放当前动画\n播放画质[高]"},
    {ID_QUALITY_MEDIUM, L"播放画质 中\n播放画质 中"},
    {ID_QUALITY_LOW, L"播放画质底\n播放画质底"},
    {ID_REFRESH_LIST, L"刷新列表, 显示当前列表所有文件\n刷新列表"},
    {IDS_APP_TITLE, L"ToviFlash"},
    {ID_APP_ABOUT, L"查看关于ToviFLsh的信息、版本号和版权申明\n关于"},
    {ID_APP_EXIT, L"退出ToviFlash播放器\n退出"},
    {ID_VIEW_STATUS_BAR, L"显示或隐藏状态栏\n切换状态栏"},
};

constexpr bool IsSorted() {
    for (std::size_t i = 1; i < std::size(kStrings); ++i) {
        if (kStrings[i - 1].id >= kStrings[i].id) {
            return false;
        }
    }
    return true;
}
static_assert(IsSorted(), "string table must be sorted by id without duplicates");

}  // namespace

const wchar_t* FindString(int id) {
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                               [](const Entry& e, int key) { return e.id < key; });
    return it != std::end(kStrings) && it->id == id ? it->text : nullptr;
}

std::wstring LoadString(int id) {
    const wchar_t* text = FindString(id);
    return text ? std::wstring(text) : std::wstring();
}

CommandStrings SplitCommandString(const std::wstring& text) {
    auto lineBreak = text.find(L'\n');
    if (lineBreak == std::wstring::npos) {
        return {text, {}};
    }
    return {text.substr(0, lineBreak), text.substr(lineBreak + 1)};
}

}  // namespace res
