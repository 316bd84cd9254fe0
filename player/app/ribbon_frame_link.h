#pragma once

#include "playback/frame_link.h"

namespace ribbon {
class Ribbon;
struct Handles;
}  // namespace ribbon

// A FrameLink over a ribbon model: what the view asks for becomes changes of the ribbon's
// elements (the progress slider, the play button, the previous and next buttons' menus).
class RibbonFrameLink : public FrameLink {
  public:
    void SetProgressRange(int frames) override;
    void SetProgress(int frame) override;
    int Progress() override;
    bool IsProgressHeld() override;
    void SetPlayButton(const PlayButtonLook& look) override;
    void SetPrevNextMenus(const PrevNextMenus& menus) override;
    std::optional<wxString> DescriptionOf(int id) override;

  protected:
    virtual ribbon::Ribbon& RibbonModel() = 0;
    virtual const ribbon::Handles& RibbonHandles() = 0;
};
