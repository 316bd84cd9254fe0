#include "ribbon_layout.h"

#include "resource_ids.h"
#include "string_table.h"

namespace ribbon {
namespace {

using E = Element;

const wchar_t* const kSpacer = L"    ";

// One of the three list categories.
struct ListCategory {
    const wchar_t* name;
    int capacityId;
    int capacityMax;
    int capacity;
    int infoId;
    int extendedMenuId;
    int largeIconsId;
    int clearId;
    Element** capacityLabel;
};

void BuildListCategory(Ribbon& ribbon, const ListCategory& list,
                       const std::function<void(Panel&)>& extraGroup) {
    Category* category = ribbon.AddCategory(list.name, IDB_RIBBON_16, IDB_RIBBON_32);

    Panel* capacity = category->AddPanel(L"列表容量", 5);
    *list.capacityLabel = capacity->Add(E::Label(L"最多可添加文件数目"));
    Element* slider = capacity->Add(E::Slider(list.capacityId, 130));
    slider->SetRange(0, list.capacityMax);
    slider->SetPos(list.capacity);
    slider->SetZoomButtons(true);
    capacity->Add(E::Button(list.infoId, L"查看详细信息", 9, -1));

    Panel* options = category->AddPanel(L"列表选项", 4);
    options->Add(E::Label(L"功能选项"));
    options->Add(E::CheckBox(list.extendedMenuId, L"启用扩展菜单"));
    options->Add(E::CheckBox(list.largeIconsId, L"在列表中使用大图标"));
    options->Add(E::Separator());
    if (extraGroup) {
        extraGroup(*options);
    }
    options->Add(E::Button(list.clearId, L"清空列表", 12, 12));
}

void BuildApplicationMenu(Ribbon& ribbon, Handles& h) {
    const std::wstring name = res::LoadString(IDS_MAIN_CATEGORY);
    ApplicationButton& button = ribbon.applicationButton();
    button.image = IDB_APP_BUTTON;
    button.text = L"\nf";
    button.tooltip = name;
    button.size = kApplicationButtonSize;

    ApplicationMenu* menu = ribbon.SetApplicationMenu(name, IDB_RIBBON_16, IDB_RIBBON_32);
    h.applicationMenu = menu;
    menu->Add(E::Label(L"文件..."));
    h.openButton = menu->Add(E::Button(ID_OPEN, res::LoadString(IDS_OPEN), 7, 7));
    h.openButton->AddSubItem(E::Label(L"您可能还会用到以下文件:"));
    h.playlistButton = menu->Add(E::Button(ID_PLAYLIST_BUTTON, L"播放列表", 2, 2));
    h.playlistButton->AddSubItem(E::Label(L"播放列表"));
    menu->Add(E::Button(ID_SAVE_AS, res::LoadString(IDS_SAVE_AS), 21, 21));
    menu->Add(E::Button(ID_MAKE_EXE, L"生成独立播放器", 23, 23));
    menu->Add(E::Separator(true));
    menu->Add(E::Label(L"最近..."));
    for (int k = 0; k < 2; ++k) {
        Element* recent =
            menu->Add(E::Button(ID_HISTORY_OPEN_FIRST + k, res::LoadString(IDS_NO_RECORD), 1, 1));
        recent->SetToolTip(res::LoadString(IDS_NO_PROGRAM_INFO));
        recent->SetDescription(res::LoadString(IDS_NO_PATH_INFO));
        (k == 0 ? h.recentItem1 : h.recentItem2) = recent;
    }
    h.moreButton = menu->Add(E::Button(ID_MORE_BUTTON, L"更多 >>", 1, 1));
    h.moreButton->SetToolTip(L"显示更多");
    h.moreButton->SetDescription(L"打开或查看最近播放的动画");
    h.moreButton->AddSubItem(E::Label(L"最近播放文件"));
    menu->Add(E::Separator(true));
    menu->Add(E::Label(L"其它..."));
    menu->Add(E::Button(ID_BEST_SIZE, L"最佳尺寸播放", 16, 16));
    menu->Add(E::Button(ID_RIBBON_DISABLE, L"禁用Ribbon界面", 20, 20));
    menu->Add(E::Button(ID_APP_ABOUT, L"关于", 14, 14));
    menu->SetRecentArea(kRecentAreaCaption, kRecentAreaWidth);
    menu->AddBottomButton(E::BottomButton(ID_APP_EXIT, res::LoadString(IDS_EXIT), 3));
}

void BuildNowPlaying(Ribbon& ribbon, Handles& h, const LayoutInputs& inputs) {
    // The three panels have no collapsed-panel icon.
    Category* category = ribbon.AddCategory(res::LoadString(IDS_CATEGORY_NOW_PLAYING),
                                            IDB_NOW_PLAYING_16, IDB_NOW_PLAYING_32);

    Panel* volume = category->AddPanel(res::LoadString(IDS_PANEL_VOLUME));
    volume->Add(E::Label(L"音量大小"));
    h.volumeSlider = volume->Add(E::Slider(ID_VOLUME, 80));
    h.volumeSlider->SetRange(0, 65535);
    int level = 32767;
    if (inputs.readVolume) {
        inputs.readVolume(level);
    }
    if (Element* slider = ribbon.FindById(ID_VOLUME)) {
        slider->SetPos(level);
    }
    h.muteCheck = volume->Add(E::CheckBox(ID_MUTE, L"静音"));

    Panel* play = category->AddPanel(L"播放");
    h.previousButton = play->Add(E::Button(ID_PREVIOUS, L"上一个", 2, 2));
    h.previousButton->AddSubItem(E::Button(ID_REFRESH_LIST, L"刷新列表", 8, -1));
    h.nextButton = play->Add(E::Button(ID_NEXT, L"下一个", 3, 3));
    h.nextButton->AddSubItem(E::Button(ID_REFRESH_LIST, L"刷新列表", 8, -1));
    play->Add(E::Separator());
    h.playButton = play->Add(E::Button(ID_PLAY, L"播放", 0, 0));
    h.stopButton = play->Add(E::Button(ID_STOP, L"停止", 4, 4));
    play->Add(E::Separator());
    h.bestSizeButton = play->Add(E::Button(ID_BEST_SIZE, L"最佳尺寸", 13, 13));
    h.fullScreenButton = play->Add(E::Button(ID_FULL_SCREEN, L"全屏播放", 16, 16));

    h.nowPlayingPanel = category->AddPanel(L"正在播放");
    h.nowPlayingPanel->Add(E::Label(L"播放进度"));
    h.progressSlider = h.nowPlayingPanel->Add(E::Slider(ID_PROGRESS, 250));
}

void BuildView(Ribbon& ribbon) {
    Category* category = ribbon.AddCategory(L"视图", IDB_RIBBON_16, IDB_RIBBON_32);
    Panel* window = category->AddPanel(L"播放器窗口", 15);
    window->Add(E::Label(L"窗口模式"));
    window->Add(E::CheckBox(ID_RIBBON_TOGGLE, L"启用Ribbon界面"));
    window->Add(E::CheckBox(ID_VIEW_STATUS_BAR, L"显示状态栏"));

    Panel* looks = category->AddPanel(L"播放器外观", 15);
    looks->Add(E::Label(L"Office 2007 外观"));
    looks->Add(E::CheckBox(ID_STYLE_OFFICE_2007_BLUE, L"蓝色样式"));
    looks->Add(E::CheckBox(ID_STYLE_OFFICE_2007_BLACK, L"黑色样式"));
    looks->Add(E::Label(kSpacer));
    looks->Add(E::CheckBox(ID_STYLE_OFFICE_2007_SILVER, L"银色样式"));
    looks->Add(E::CheckBox(ID_STYLE_OFFICE_2007_AQUA, L"水绿色样式"));
    looks->Add(E::Separator());
    looks->Add(E::Label(L"Windows 样式"));
    looks->Add(E::CheckBox(ID_STYLE_WINDOWS_XP, L"Windows XP"));
    looks->Add(E::CheckBox(ID_STYLE_WINDOWS_2000, L"Windows 2000"));
    looks->Add(E::Label(kSpacer));
    looks->Add(E::CheckBox(ID_STYLE_VS_2005, L"Visual Studio 2005"));
}

struct Check {
    int id;
    const wchar_t* text;
};

void BuildSettingsPanel(Category& category, const wchar_t* name, const wchar_t* prompt,
                        std::initializer_list<Check> checks) {
    Panel* panel = category.AddPanel(name, 3);
    panel->Add(E::Label(prompt));
    int n = 0;
    for (const Check& check : checks) {
        if (n++ == 2) {
            panel->Add(E::Label(kSpacer));
        }
        panel->Add(E::CheckBox(check.id, check.text));
    }
}

void BuildSettings(Ribbon& ribbon) {
    Category* category = ribbon.AddCategory(L"设置", IDB_RIBBON_16, IDB_RIBBON_32);
    BuildSettingsPanel(*category, L"循环模式", L"选择循环模式:",
                       {{ID_PLAYMODE_AUTO, L"自动播放"},
                        {ID_PLAYMODE_LOOP_ONE, L"单曲循环"},
                        {ID_PLAYMODE_ONCE, L"单曲播放"},
                        {ID_PLAYMODE_LOOP_LIST, L"循环播放"}});
    BuildSettingsPanel(*category, L"画面缩放模式", L"选择画面缩放模式:",
                       {{ID_SCALE_SHOW_ALL, L"缩放模式"},
                        {ID_SCALE_NO_SCALE, L"原始大小"},
                        {ID_SCALE_EXACT_FIT, L"自动拉伸"},
                        {ID_SCALE_BEST, L"其它设置"}});
    BuildSettingsPanel(*category, L"画面质量", L"选择播放质量:",
                       {{ID_QUALITY_HIGH, L"播放质量 [高]"},
                        {ID_QUALITY_MEDIUM, L"播放质量 [中]"},
                        {ID_QUALITY_LOW, L"播放质量 [低]"}});
    BuildSettingsPanel(
        *category, L"拖动模式选择", L"设置客户区拖动模式:",
        {{ID_DRAG_ALWAYS, L"启用拖动"}, {ID_DRAG_AUTO, L"自动选择"}, {ID_DRAG_NEVER, L"禁用拖动"}});
}

}  // namespace

void BuildLayout(Ribbon& ribbon, Handles& h, const LayoutInputs& inputs) {
    BuildApplicationMenu(ribbon, h);
    BuildNowPlaying(ribbon, h, inputs);

    BuildListCategory(
        ribbon,
        {L"文件", ID_RELATED_CAPACITY, 100, inputs.maxBoundFile, ID_RELATED_INFO,
         ID_RELATED_EXTMENU, ID_RELATED_LARGE_ICONS, ID_CLEAR_RELATED, &h.relatedCapacityLabel},
        [](Panel& panel) {
            Element* favourite = panel.Add(E::Button(ID_ADD_TO_PLAYLIST, L"收藏", 2, 2));
            favourite->AddSubItem(E::Button(ID_ADD_ALL_TO_PLAYLIST, L"收藏当前所有文件", 2, 2));
            panel.Add(E::Separator());
        });
    BuildListCategory(
        ribbon,
        {L"播放列表", ID_PLAYLIST_CAPACITY, 500, inputs.maxPlayerFile, ID_PLAYLIST_INFO,
         ID_PLAYLIST_EXTMENU, ID_PLAYLIST_LARGE_ICONS, ID_CLEAR_PLAYLIST, &h.playlistCapacityLabel},
        [](Panel& panel) {
            panel.Add(E::Label(L"列表添加顺序"));
            panel.Add(E::CheckBox(ID_ADD_TO_HEAD, L"将新文件添加到头部"));
            panel.Add(E::CheckBox(ID_ADD_TO_TAIL, L"将新文件添加到尾部"));
            panel.Add(E::Separator());
        });
    BuildListCategory(
        ribbon,
        {L"历史记录", ID_HISTORY_CAPACITY, 400, inputs.maxHistory, ID_HISTORY_INFO,
         ID_HISTORY_EXTMENU, ID_HISTORY_LARGE_ICONS, ID_CLEAR_HISTORY, &h.historyCapacityLabel},
        nullptr);

    BuildView(ribbon);
    BuildSettings(ribbon);

    Element* style =
        ribbon.AddTabElement(E::Button(ID_STYLE_BUTTON, L"修改视觉样式", 15, -1), IDB_RIBBON_16);
    style->SetMenuResource(IDR_STYLE_MENU, true);
    style->SetToolTip(res::LoadString(IDS_STYLE_BUTTON_TOOLTIP));
    style->SetDescription(res::LoadString(IDS_STYLE_BUTTON_DESCRIPTION));

    ribbon.SetQuickAccessCommands({ID_MUTE, ID_ADD_TO_PLAYLIST, ID_SAVE_AS, ID_MAKE_EXE, ID_PLAY,
                                   ID_BEST_SIZE, ID_FULL_SCREEN, ID_STYLE_BUTTON, ID_APP_ABOUT});

    ribbon.AddTabElement(E::Button(ID_APP_ABOUT, L"\na", 14, -1), IDB_RIBBON_16);
}

}  // namespace ribbon
