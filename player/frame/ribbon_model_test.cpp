#include "ribbon_model.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using ribbon::Change;
using ribbon::Element;

struct Recorder : ribbon::Listener {
    std::vector<std::pair<int, Change>> changes;
    void ElementChanged(Element& e, Change c) override { changes.emplace_back(e.id(), c); }
};

// A small ribbon with the same id in a category, the application menu and a tab button.
struct SmallRibbon {
    ribbon::Ribbon ribbon;
    Element* inCategory;
    Element* inMenu;
    Element* subItem;
    Element* tabButton;

    SmallRibbon() {
        auto* menu = ribbon.SetApplicationMenu(L"开始", 316, 315);
        inMenu = menu->Add(Element::Button(7, L"menu copy", 1, 1));
        Element* carrier = menu->Add(Element::Button(-5, L"carrier", 2, 2));
        subItem = carrier->AddSubItem(Element::Button(9, L"sub", 3, -1));
        auto* category = ribbon.AddCategory(L"tab", 311, 312);
        auto* panel = category->AddPanel(L"panel", 4);
        panel->Add(Element::Label(L"label"));
        inCategory = panel->Add(Element::Button(7, L"panel copy", 0, 0));
        tabButton = ribbon.AddTabElement(Element::Button(7, L"\na", 14), 316);
    }
};

TEST(RibbonModel, FindsCategoriesFirstThenMenuThenTabButtons) {
    SmallRibbon r;
    EXPECT_EQ(r.ribbon.FindById(7), r.inCategory);
    EXPECT_EQ(r.ribbon.FindAllById(7),
              (std::vector<Element*>{r.inCategory, r.inMenu, r.tabButton}));
    EXPECT_EQ(r.ribbon.FindById(9), r.subItem);
    EXPECT_EQ(r.ribbon.FindById(12345), nullptr);
    // Labels and separators carry no command.
    EXPECT_EQ(r.ribbon.FindById(0), nullptr);
}

TEST(RibbonModel, ElementsTakeTheirContainersStrips) {
    SmallRibbon r;
    EXPECT_EQ(r.inCategory->smallStrip(), 311);
    EXPECT_EQ(r.inCategory->largeStrip(), 312);
    EXPECT_EQ(r.subItem->smallStrip(), 316);
    EXPECT_EQ(r.subItem->largeStrip(), 315);
    EXPECT_EQ(r.tabButton->smallStrip(), 316);
    EXPECT_EQ(r.subItem->parent()->id(), -5);
}

TEST(RibbonModel, QuickAccessResolvesIdsAndSkipsUnknownOnes) {
    SmallRibbon r;
    r.ribbon.SetQuickAccessCommands({9, 555, 7});
    EXPECT_EQ(r.ribbon.QuickAccessElements(), (std::vector<Element*>{r.subItem, r.inCategory}));
}

TEST(RibbonModel, TextSplitsIntoCaptionAndKeyTip) {
    auto about = Element::Button(1, L"\na");
    EXPECT_EQ(about->Caption(), L"");
    EXPECT_EQ(about->KeyTip(), L"a");
    auto open = Element::Button(1, L"打开(&O)...");
    EXPECT_EQ(open->Caption(), L"打开(&O)...");
    EXPECT_EQ(open->KeyTip(), L"");
}

TEST(RibbonModel, TipsComeFromTheStringTableOnlyWhenNeitherIsSet) {
    auto play = Element::Button(32777, L"播放");
    EXPECT_EQ(play->ToolTip(), L"播放");
    EXPECT_EQ(play->Description(), L"播放当前Flash动画");
    play->SetDescription(L"own description");
    EXPECT_EQ(play->ToolTip(), L"");
    EXPECT_EQ(play->Description(), L"own description");

    auto unknown = Element::Button(32784, L"no string");
    EXPECT_EQ(unknown->ToolTip(), L"");
    EXPECT_EQ(unknown->Description(), L"");
}

TEST(RibbonModel, SliderKeepsItsPositionInRange) {
    auto slider = Element::Slider(32862, 130);
    slider->SetRange(0, 400);
    struct Case {
        int set;
        int expected;
    } cases[] = {{200, 200}, {-3, 0}, {401, 400}, {400, 400}};
    for (const Case& c : cases) {
        slider->SetPos(c.set);
        EXPECT_EQ(slider->pos(), c.expected) << c.set;
    }
    slider->SetRange(0, 100);
    EXPECT_EQ(slider->pos(), 100);
}

TEST(RibbonModel, ListenerHearsRealChangesOnly) {
    SmallRibbon r;
    Recorder recorder;
    r.ribbon.SetListener(&recorder);
    r.inCategory->SetText(L"panel copy");  // unchanged
    r.inCategory->SetChecked(false);       // unchanged
    r.inCategory->SetText(L"new");
    r.inCategory->SetLargeImage(5);
    r.inCategory->SetChecked(true);
    Element::List items;
    items.push_back(Element::Button(1, L"a"));
    items.push_back(Element::Button(2, L"b"));
    r.subItem->parent()->SetSubItems(std::move(items));
    EXPECT_EQ(
        recorder.changes,
        (std::vector<std::pair<int, Change>>{
            {7, Change::Text}, {7, Change::Images}, {7, Change::State}, {-5, Change::SubItems}}));
    // Replaced sub-items are part of the ribbon at once.
    EXPECT_NE(r.ribbon.FindById(2), nullptr);
    EXPECT_EQ(r.ribbon.FindById(9), nullptr);
    r.ribbon.SetListener(nullptr);
}

}  // namespace
