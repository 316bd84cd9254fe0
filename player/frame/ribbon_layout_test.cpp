#include "ribbon_layout.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/text.h"

namespace {

using ribbon::Element;
using ribbon::Kind;

// One element as the layout fixes it.
struct Row {
    Kind kind;
    int id;
    std::wstring text;
    int small = -1;
    int large = -1;
    bool operator==(const Row&) const = default;
};

void PrintTo(const Row& r, std::ostream* os) {
    *os << "{kind " << static_cast<int>(r.kind) << ", id " << r.id << ", \""
        << platform::Utf8FromWide(r.text) << "\", " << r.small << ", " << r.large << "}";
}

Row Describe(const Element& e) {
    return {e.kind(), e.id(), e.text(), e.smallImage(), e.largeImage()};
}

std::vector<Row> Describe(const Element::List& elements) {
    std::vector<Row> rows;
    for (const auto& e : elements) {
        rows.push_back(Describe(*e));
    }
    return rows;
}

Row B(int id, std::wstring text, int small, int large) {
    return {Kind::Button, id, std::move(text), small, large};
}
Row C(int id, std::wstring text) {
    return {Kind::CheckBox, id, std::move(text)};
}
Row L(std::wstring text) {
    return {Kind::Label, 0, std::move(text)};
}
Row S(int id) {
    return {Kind::Slider, id, L""};
}
Row Sep() {
    return {Kind::Separator, 0, L""};
}

struct Built {
    ribbon::Ribbon ribbon;
    ribbon::Handles handles;
    explicit Built(ribbon::LayoutInputs inputs = {}) {
        ribbon::BuildLayout(ribbon, handles, inputs);
    }
};

TEST(RibbonLayout, ApplicationButtonAndMenu) {
    Built b;
    const auto& button = b.ribbon.applicationButton();
    EXPECT_EQ(button.image, 112);
    EXPECT_EQ(button.text, L"\nf");
    EXPECT_EQ(button.tooltip, L"开始");
    EXPECT_EQ(button.size, 45);

    const ribbon::ApplicationMenu* menu = b.ribbon.applicationMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->name(), L"开始");
    EXPECT_EQ(menu->smallStrip(), 316);
    EXPECT_EQ(menu->largeStrip(), 315);
    std::vector<Row> expected = {
        L(L"文件..."),
        B(32851, L"打开(&O)...", 7, 7),
        B(-32851, L"播放列表", 2, 2),
        B(32789, L"另存为(&A)...", 21, 21),
        B(32788, L"生成独立播放器", 23, 23),
        {Kind::Separator, 0, L""},
        L(L"最近..."),
        B(40001, L"<< 暂无记录 >>", 1, 1),
        B(40002, L"<< 暂无记录 >>", 1, 1),
        B(-32850, L"更多 >>", 1, 1),
        Sep(),
        L(L"其它..."),
        B(32781, L"最佳尺寸播放", 16, 16),
        B(32889, L"禁用Ribbon界面", 20, 20),
        B(57664, L"关于", 14, 14),
    };
    EXPECT_EQ(Describe(menu->elements()), expected);
    // Separators in the menu are horizontal.
    EXPECT_TRUE(menu->elements()[5]->horizontal());

    EXPECT_EQ(Describe(menu->elements()[1]->subItems()),
              std::vector<Row>{L(L"您可能还会用到以下文件:")});
    EXPECT_EQ(Describe(menu->elements()[2]->subItems()), std::vector<Row>{L(L"播放列表")});
    EXPECT_EQ(Describe(menu->elements()[9]->subItems()), std::vector<Row>{L(L"最近播放文件")});
    for (int k : {7, 8}) {
        EXPECT_EQ(menu->elements()[k]->ToolTip(), L"节目: << 暂无信息 >>");
        EXPECT_EQ(menu->elements()[k]->Description(), L"路径: << 暂无信息 >>");
    }
    EXPECT_EQ(menu->elements()[9]->ToolTip(), L"显示更多");
    EXPECT_EQ(menu->elements()[9]->Description(), L"打开或查看最近播放的动画");

    EXPECT_EQ(menu->recentCaption(), L"ToviFlash V 1.0");
    EXPECT_EQ(menu->recentWidth(), 300);
    ASSERT_EQ(menu->bottomButtons().size(), 1u);
    EXPECT_EQ(Describe(*menu->bottomButtons()[0]),
              (Row{Kind::BottomButton, 57665, L"退出(&X)", 3}));
}

TEST(RibbonLayout, TabsInOrderWithTheirStrips) {
    Built b;
    struct Tab {
        std::wstring name;
        int small;
        int large;
        std::vector<std::wstring> panels;
        std::vector<int> icons;
    };
    std::vector<Tab> expected = {
        {L"正在播放", 311, 312, {L"音量控制", L"播放", L"正在播放"}, {-1, -1, -1}},
        {L"文件", 316, 315, {L"列表容量", L"列表选项"}, {5, 4}},
        {L"播放列表", 316, 315, {L"列表容量", L"列表选项"}, {5, 4}},
        {L"历史记录", 316, 315, {L"列表容量", L"列表选项"}, {5, 4}},
        {L"视图", 316, 315, {L"播放器窗口", L"播放器外观"}, {15, 15}},
        {L"设置",
         316,
         315,
         {L"循环模式", L"画面缩放模式", L"画面质量", L"拖动模式选择"},
         {3, 3, 3, 3}},
    };
    const auto& categories = b.ribbon.categories();
    ASSERT_EQ(categories.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& c = *categories[i];
        EXPECT_EQ(c.name(), expected[i].name);
        EXPECT_EQ(c.smallStrip(), expected[i].small);
        EXPECT_EQ(c.largeStrip(), expected[i].large);
        std::vector<std::wstring> panels;
        std::vector<int> icons;
        for (const auto& p : c.panels()) {
            panels.push_back(p->name());
            icons.push_back(p->collapsedIcon());
        }
        EXPECT_EQ(panels, expected[i].panels) << i;
        EXPECT_EQ(icons, expected[i].icons) << i;
    }
}

TEST(RibbonLayout, NowPlayingCategory) {
    Built b([] {
        ribbon::LayoutInputs in;
        in.readVolume = [](int& v) { v = 40000; };
        return in;
    }());
    const auto& panels = b.ribbon.categories()[0]->panels();
    EXPECT_EQ(Describe(panels[0]->elements()),
              (std::vector<Row>{L(L"音量大小"), S(32775), C(32776, L"静音")}));
    EXPECT_EQ(Describe(panels[1]->elements()),
              (std::vector<Row>{B(32779, L"上一个", 2, 2), B(32780, L"下一个", 3, 3), Sep(),
                                B(32777, L"播放", 0, 0), B(32778, L"停止", 4, 4), Sep(),
                                B(32781, L"最佳尺寸", 13, 13), B(32786, L"全屏播放", 16, 16)}));
    for (int k : {0, 1}) {
        EXPECT_EQ(Describe(panels[1]->elements()[k]->subItems()),
                  std::vector<Row>{B(32948, L"刷新列表", 8, -1)});
    }
    EXPECT_EQ(Describe(panels[2]->elements()), (std::vector<Row>{L(L"播放进度"), S(32793)}));

    const Element& volume = *panels[0]->elements()[1];
    EXPECT_EQ(volume.width(), 80);
    EXPECT_EQ(volume.rangeMin(), 0);
    EXPECT_EQ(volume.rangeMax(), 65535);
    EXPECT_EQ(volume.pos(), 40000);
    EXPECT_EQ(panels[2]->elements()[1]->width(), 250);
}

TEST(RibbonLayout, VolumeStartsAt32767WhenTheReaderLeavesIt) {
    Built b([] {
        ribbon::LayoutInputs in;
        in.readVolume = [](int&) {};
        return in;
    }());
    EXPECT_EQ(b.handles.volumeSlider->pos(), 32767);
}

TEST(RibbonLayout, ListCategories) {
    ribbon::LayoutInputs in;
    in.maxHistory = 10;
    in.maxBoundFile = 20;
    in.maxPlayerFile = 30;
    Built b(in);
    struct List {
        int category;
        int slider, max, pos, info;
        std::vector<Row> options;
    };
    std::vector<List> lists = {
        {1,
         32863,
         100,
         20,
         32878,
         {L(L"功能选项"), C(32848, L"启用扩展菜单"), C(32875, L"在列表中使用大图标"), Sep(),
          B(32782, L"收藏", 2, 2), Sep(), B(32872, L"清空列表", 12, 12)}},
        {2,
         32864,
         500,
         30,
         32879,
         {L(L"功能选项"), C(32849, L"启用扩展菜单"), C(32876, L"在列表中使用大图标"), Sep(),
          L(L"列表添加顺序"), C(32785, L"将新文件添加到头部"), C(32784, L"将新文件添加到尾部"),
          Sep(), B(32873, L"清空列表", 12, 12)}},
        {3,
         32862,
         400,
         10,
         32877,
         {L(L"功能选项"), C(32847, L"启用扩展菜单"), C(32874, L"在列表中使用大图标"), Sep(),
          B(32871, L"清空列表", 12, 12)}},
    };
    for (const List& list : lists) {
        const auto& panels = b.ribbon.categories()[list.category]->panels();
        EXPECT_EQ(Describe(panels[0]->elements()),
                  (std::vector<Row>{L(L"最多可添加文件数目"), S(list.slider),
                                    B(list.info, L"查看详细信息", 9, -1)}));
        const Element& slider = *panels[0]->elements()[1];
        EXPECT_EQ(slider.width(), 130);
        EXPECT_EQ(slider.rangeMin(), 0);
        EXPECT_EQ(slider.rangeMax(), list.max);
        EXPECT_EQ(slider.pos(), list.pos);
        EXPECT_TRUE(slider.zoomButtons());
        EXPECT_EQ(Describe(panels[1]->elements()), list.options) << list.category;
    }
    const Element& favourite = *b.ribbon.categories()[1]->panels()[1]->elements()[4];
    EXPECT_EQ(Describe(favourite.subItems()),
              std::vector<Row>{B(32783, L"收藏当前所有文件", 2, 2)});
}

TEST(RibbonLayout, ViewAndSettingsCategories) {
    Built b;
    const std::wstring spacer = L"    ";
    const auto& view = b.ribbon.categories()[4]->panels();
    EXPECT_EQ(
        Describe(view[0]->elements()),
        (std::vector<Row>{L(L"窗口模式"), C(32890, L"启用Ribbon界面"), C(59393, L"显示状态栏")}));
    EXPECT_EQ(Describe(view[1]->elements()),
              (std::vector<Row>{L(L"Office 2007 外观"), C(215, L"蓝色样式"), C(216, L"黑色样式"),
                                L(spacer), C(217, L"银色样式"), C(218, L"水绿色样式"), Sep(),
                                L(L"Windows 样式"), C(212, L"Windows XP"), C(210, L"Windows 2000"),
                                L(spacer), C(214, L"Visual Studio 2005")}));
    const auto& settings = b.ribbon.categories()[5]->panels();
    std::vector<std::vector<Row>> expected = {
        {L(L"选择循环模式:"), C(32858, L"自动播放"), C(32859, L"单曲循环"), L(spacer),
         C(32860, L"单曲播放"), C(32861, L"循环播放")},
        {L(L"选择画面缩放模式:"), C(32833, L"缩放模式"), C(32836, L"原始大小"), L(spacer),
         C(32835, L"自动拉伸"), C(32841, L"其它设置")},
        {L(L"选择播放质量:"), C(32902, L"播放质量 [高]"), C(32903, L"播放质量 [中]"), L(spacer),
         C(32904, L"播放质量 [低]")},
        {L(L"设置客户区拖动模式:"), C(32791, L"启用拖动"), C(32792, L"自动选择"), L(spacer),
         C(32790, L"禁用拖动")},
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(Describe(settings[i]->elements()), expected[i]) << i;
    }
}

TEST(RibbonLayout, TabSideButtonsAndQuickAccessToolbar) {
    Built b;
    const auto& tabs = b.ribbon.tabElements();
    ASSERT_EQ(tabs.size(), 2u);
    EXPECT_EQ(Describe(*tabs[0]), B(-7000, L"修改视觉样式", 15, -1));
    EXPECT_EQ(tabs[0]->smallStrip(), 316);
    EXPECT_EQ(tabs[0]->menuResource(), 200);
    EXPECT_TRUE(tabs[0]->menuRightAligned());
    EXPECT_EQ(tabs[0]->ToolTip(), L"修改视觉样式");
    EXPECT_EQ(tabs[0]->Description(), L"选择一个您喜欢的主题...");
    EXPECT_EQ(Describe(*tabs[1]), B(57664, L"\na", 14, -1));

    EXPECT_EQ(b.ribbon.quickAccessIds(),
              (std::vector<int>{32776, 32782, 32789, 32788, 32777, 32781, 32786, -7000, 57664}));
    auto shown = b.ribbon.QuickAccessElements();
    ASSERT_EQ(shown.size(), 9u);
    // The best-size copy shown is the "播放" panel's.
    EXPECT_EQ(shown[5], b.handles.bestSizeButton);
    EXPECT_EQ(shown[7], tabs[0].get());
}

TEST(RibbonLayout, HandlesPointAtTheirElements) {
    Built b;
    const ribbon::Handles& h = b.handles;
    const auto& nowPlaying = b.ribbon.categories()[0]->panels();
    const auto& menu = b.ribbon.applicationMenu()->elements();
    EXPECT_EQ(h.applicationMenu, b.ribbon.applicationMenu());
    EXPECT_EQ(h.volumeSlider, nowPlaying[0]->elements()[1].get());
    EXPECT_EQ(h.muteCheck, nowPlaying[0]->elements()[2].get());
    EXPECT_EQ(h.previousButton, nowPlaying[1]->elements()[0].get());
    EXPECT_EQ(h.nextButton, nowPlaying[1]->elements()[1].get());
    EXPECT_EQ(h.playButton, nowPlaying[1]->elements()[3].get());
    EXPECT_EQ(h.stopButton, nowPlaying[1]->elements()[4].get());
    EXPECT_EQ(h.bestSizeButton, nowPlaying[1]->elements()[6].get());
    EXPECT_EQ(h.fullScreenButton, nowPlaying[1]->elements()[7].get());
    EXPECT_EQ(h.nowPlayingPanel, nowPlaying[2].get());
    EXPECT_EQ(h.progressSlider, nowPlaying[2]->elements()[1].get());
    EXPECT_EQ(h.openButton, menu[1].get());
    EXPECT_EQ(h.playlistButton, menu[2].get());
    EXPECT_EQ(h.recentItem1, menu[7].get());
    EXPECT_EQ(h.recentItem2, menu[8].get());
    EXPECT_EQ(h.moreButton, menu[9].get());
    EXPECT_EQ(h.relatedCapacityLabel, b.ribbon.categories()[1]->panels()[0]->elements()[0].get());
    EXPECT_EQ(h.playlistCapacityLabel, b.ribbon.categories()[2]->panels()[0]->elements()[0].get());
    EXPECT_EQ(h.historyCapacityLabel, b.ribbon.categories()[3]->panels()[0]->elements()[0].get());
}

TEST(RibbonLayout, ElementsWithoutTipsTakeThemFromTheStringTable) {
    Built b;
    struct Case {
        int id;
        const wchar_t* tooltip;
        const wchar_t* description;
    } cases[] = {
        {32776, L"静音", L"静音播放当前动画"},
        {32890, L"Ribbon界面设置", L"启用或禁用Ribbon界面"},
        {216, L"设为Office 2007 黑色", L"将播放器外观设置为Office 2007 的黑色样式"},
        {32848, L"启用\\禁用扩展菜单",
         L"当启用扩展菜单后在相关文件列表中的每个项目右侧会出现快捷菜单"},
        {57665, L"退出", L"退出ToviFlash播放器"},
        // No string resource: no tips.
        {32785, L"", L""},
    };
    for (const Case& c : cases) {
        const Element* e = b.ribbon.FindById(c.id);
        ASSERT_NE(e, nullptr) << c.id;
        EXPECT_EQ(e->ToolTip(), c.tooltip) << c.id;
        EXPECT_EQ(e->Description(), c.description) << c.id;
    }
}

}  // namespace
