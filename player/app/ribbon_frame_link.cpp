#include "app/ribbon_frame_link.h"

#include "ribbon_layout.h"
#include "ribbon_model.h"

namespace {

void InstallMenu(ribbon::Element* button, const std::vector<MenuEntry>& entries) {
    if (!button) {
        return;
    }
    ribbon::Element::List items;
    for (const MenuEntry& e : entries) {
        ribbon::Element::Ptr item = ribbon::Element::Button(e.id, e.text.ToStdWstring());
        item->SetToolTip(e.tooltip.ToStdWstring());
        item->SetDescription(e.description.ToStdWstring());
        items.push_back(std::move(item));
    }
    button->SetSubItems(std::move(items));
}

}  // namespace

void RibbonFrameLink::SetProgressRange(int frames) {
    if (ribbon::Element* progress = RibbonHandles().progressSlider) {
        progress->SetRange(0, frames);
        progress->SetPos(0);
    }
}

void RibbonFrameLink::SetProgress(int frame) {
    if (ribbon::Element* progress = RibbonHandles().progressSlider) {
        progress->SetPos(frame);
    }
}

int RibbonFrameLink::Progress() {
    const ribbon::Element* progress = RibbonHandles().progressSlider;
    return progress ? progress->pos() : 0;
}

bool RibbonFrameLink::IsProgressHeld() {
    const ribbon::Element* progress = RibbonHandles().progressSlider;
    return progress && progress->held();
}

void RibbonFrameLink::SetPlayButton(const PlayButtonLook& look) {
    ribbon::Element* button = RibbonHandles().playButton;
    if (!button || wxString(button->text()) == look.text) {
        return;
    }
    button->SetText(look.text.ToStdWstring());
    button->SetSmallImage(look.image);
    button->SetLargeImage(look.image);
    button->SetToolTip(look.tooltip.ToStdWstring());
    button->SetDescription(look.description.ToStdWstring());
}

void RibbonFrameLink::SetPrevNextMenus(const PrevNextMenus& menus) {
    InstallMenu(RibbonHandles().previousButton, menus.previous);
    InstallMenu(RibbonHandles().nextButton, menus.next);
}

std::optional<wxString> RibbonFrameLink::DescriptionOf(int id) {
    ribbon::Element* element = RibbonModel().FindById(id);
    if (!element) {
        return std::nullopt;
    }
    return wxString(element->Description());
}
