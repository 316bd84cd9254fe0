#include "ribbon_window.h"

#include <wx/dcclient.h>
#include <wx/ribbon/art.h>
#include <wx/ribbon/page.h>
#include <wx/ribbon/panel.h>
#include <wx/time.h>
#include <wx/toplevel.h>

#include <set>

#include "application_menu_window.h"
#include "image_strips.h"
#include "resource_ids.h"
#include "ribbon_bars.h"
#include "ribbon_menus.h"
#include "ribbon_panel_content.h"
#include "ribbon_tooltip.h"

namespace ribbon {
namespace {

constexpr int kAppButtonLeft = 4;
constexpr int kTabMarginLeft = kAppButtonLeft + 45 + 8;
constexpr int kUpdateIntervalMs = 50;
constexpr int kToolTipDelayMs = 600;

wxColour ToColour(looks::Rgb rgb) {
    return wxColour(rgb.r, rgb.g, rgb.b);
}

wxRibbonArtProvider* CreateArt(const looks::Theme& theme) {
    wxRibbonArtProvider* art = theme.art == looks::Art::Office
                                   ? static_cast<wxRibbonArtProvider*>(new wxRibbonMSWArtProvider)
                                   : new wxRibbonAUIArtProvider;
    art->SetColourScheme(ToColour(theme.primary), ToColour(theme.secondary),
                         ToColour(theme.tertiary));
    // Dark faces need light tab labels.
    wxColour face = ToColour(theme.primary);
    if (face.GetLuminance() < 0.5) {
        art->SetColour(wxRIBBON_ART_TAB_LABEL_COLOUR, wxColour(240, 240, 240));
        art->SetColour(wxRIBBON_ART_TAB_ACTIVE_LABEL_COLOUR, wxColour(20, 20, 20));
        art->SetColour(wxRIBBON_ART_TAB_HOVER_LABEL_COLOUR, wxColour(255, 255, 255));
        art->SetColour(wxRIBBON_ART_BUTTON_BAR_LABEL_COLOUR, wxColour(20, 20, 20));
        art->SetColour(wxRIBBON_ART_PANEL_LABEL_COLOUR, wxColour(250, 250, 250));
        art->SetColour(wxRIBBON_ART_PANEL_HOVER_LABEL_COLOUR, wxColour(255, 255, 255));
        art->SetColour(wxRIBBON_ART_PANEL_MINIMISED_LABEL_COLOUR, wxColour(250, 250, 250));
    }
    return art;
}

}  // namespace

RibbonWindow::RibbonWindow(wxWindow* parent, Ribbon& model, wxWindow* target,
                           res::ImageStrips& images)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
              wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE),
      model_(model),
      target_(target),
      images_(images),
      hoverTimer_(this) {
    theme_ = looks::OfficeTheme(looks::Scheme::Blue);
    model_.SetListener(this);
    Bind(wxEVT_SIZE, &RibbonWindow::OnSize, this);
    Bind(wxEVT_IDLE, &RibbonWindow::OnIdle, this);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { ShowToolTipNow(); });
}

RibbonWindow::~RibbonWindow() {
    hoverTimer_.Stop();
    if (model_.listener() == this) {
        model_.SetListener(nullptr);
    }
}

wxRibbonArtProvider* RibbonWindow::art() const {
    return bar_ ? bar_->GetArtProvider() : nullptr;
}

void RibbonWindow::Realize() {
    caption_ = new CaptionStrip(this, *this);
    quickAccess_ = new ToolStrip(caption_, *this, false);
    bar_ = new wxRibbonBar(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                           wxRIBBON_BAR_FLOW_HORIZONTAL | wxRIBBON_BAR_SHOW_PAGE_LABELS |
                               wxRIBBON_BAR_ALWAYS_SHOW_TABS);
    bar_->SetArtProvider(CreateArt(theme_));
    for (const auto& category : model_.categories()) {
        auto* page = new wxRibbonPage(bar_, wxID_ANY, category->name());
        for (const auto& panel : category->panels()) {
            wxBitmap icon;
            if (panel->collapsedIcon() >= 0) {
                icon = images_.Image(IDB_RIBBON_32, panel->collapsedIcon());
            }
            auto* host = new wxRibbonPanel(page, wxID_ANY, panel->name(), icon);
            contents_.push_back(new PanelContent(host, *this, *panel));
        }
    }
    tabButtons_ = new ToolStrip(bar_, *this, true);
    std::vector<Element*> tabs;
    for (const auto& e : model_.tabElements()) {
        tabs.push_back(e.get());
    }
    tabButtons_->SetElements(tabs);
    quickAccess_->SetElements(model_.QuickAccessElements());
    bar_->SetTabCtrlMargins(kTabMarginLeft, tabButtons_->GetBestSize().x + 8);
    bar_->Realize();

    appButton_ = new ApplicationButtonWindow(this, *this);
    if (model_.applicationMenu()) {
        appMenu_ = new ApplicationMenuWindow(this, *this, *model_.applicationMenu());
    }
    toolTip_ = new RichToolTip(this);
    LayoutChildren();
    InvalidateBestSize();
}

void RibbonWindow::ApplyTheme(const looks::Theme& theme) {
    theme_ = theme;
    if (bar_ == nullptr) {
        return;
    }
    bar_->SetArtProvider(CreateArt(theme_));
    bar_->Realize();
    tabButtons_->Relayout();
    quickAccess_->Relayout();
    if (appMenu_) {
        appMenu_->Relayout();
    }
    LayoutChildren();
    InvalidateBestSize();
    Refresh(true);
}

wxSize RibbonWindow::DoGetBestSize() const {
    int height = kCaptionHeight + (bar_ ? bar_->GetBestSize().y : 0);
    return wxSize(400, height);
}

void RibbonWindow::OnSize(wxSizeEvent& event) {
    LayoutChildren();
    event.Skip();
}

void RibbonWindow::LayoutChildren() {
    if (bar_ == nullptr) {
        return;
    }
    wxSize size = GetClientSize();
    caption_->SetSize(0, 0, size.x, kCaptionHeight);
    wxSize qat = quickAccess_->GetBestSize();
    quickAccess_->SetSize(kTabMarginLeft, (kCaptionHeight - qat.y) / 2, qat.x, qat.y);
    bar_->SetSize(0, kCaptionHeight, size.x, std::max(0, size.y - kCaptionHeight));
    int tabHeight = bar_->GetPageCount() > 0 ? bar_->GetPage(0)->GetPosition().y : 24;
    wxSize tabs = tabButtons_->GetBestSize();
    tabButtons_->SetSize(size.x - tabs.x - 4, std::max(0, (tabHeight - tabs.y) / 2), tabs.x,
                         tabs.y);
    int buttonSize = model_.applicationButton().size > 0 ? model_.applicationButton().size : 45;
    appButton_->SetSize(kAppButtonLeft, 2, buttonSize, buttonSize);
    appButton_->Raise();
}

void RibbonWindow::ExecuteCommand(int id) {
    if (target_ == nullptr) {
        return;
    }
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(this);
    target_->ProcessWindowEvent(event);
    lastUpdate_ = 0;
}

void RibbonWindow::PostCommand(int id) {
    CallAfter([this, id] { ExecuteCommand(id); });
}

void RibbonWindow::UpdateElement(Element& e) {
    wxUpdateUIEvent event(e.id());
    event.SetEventObject(this);
    if (!target_->ProcessWindowEvent(event)) {
        return;
    }
    for (Element* copy : model_.FindAllById(e.id())) {
        if (event.GetSetEnabled()) {
            copy->SetEnabled(event.GetEnabled());
        }
        if (event.GetSetChecked()) {
            copy->SetChecked(event.GetChecked());
        }
        if (event.GetSetText()) {
            copy->SetText(event.GetText().ToStdWstring());
        }
    }
}

void RibbonWindow::UpdateCommandUI() {
    lastUpdate_ = wxGetLocalTimeMillis();
    if (target_ == nullptr) {
        return;
    }
    // Every element the ribbon shows directly; sub-items are updated when their menu opens.
    std::vector<Element*> elements;
    auto collect = [&](const Element::List& list) {
        for (const auto& e : list) {
            if (e->kind() != Kind::Label && e->kind() != Kind::Separator && e->id() != 0) {
                elements.push_back(e.get());
            }
        }
    };
    for (const auto& category : model_.categories()) {
        for (const auto& panel : category->panels()) {
            collect(panel->elements());
        }
    }
    if (model_.applicationMenu()) {
        collect(model_.applicationMenu()->elements());
        collect(model_.applicationMenu()->bottomButtons());
    }
    collect(model_.tabElements());
    std::set<int> done;
    for (Element* e : elements) {
        if (done.insert(e->id()).second) {
            UpdateElement(*e);
        }
    }
}

void RibbonWindow::OnIdle(wxIdleEvent& event) {
    event.Skip();
    if (bar_ == nullptr) {
        return;
    }
    if (wxGetLocalTimeMillis() - lastUpdate_ >= kUpdateIntervalMs) {
        UpdateCommandUI();
        if (auto* top = wxDynamicCast(wxGetTopLevelParent(this), wxTopLevelWindow)) {
            caption_->SetTitle(top->GetTitle());
        }
    }
}

void RibbonWindow::ShowElementMenu(const Element& e, wxWindow* owner, const wxPoint& pos) {
    Hover(nullptr, owner, wxRect());
    std::unique_ptr<ElementMenu> menu;
    if (e.menuResource() == IDR_STYLE_MENU) {
        menu = std::make_unique<ElementMenu>(res::StyleMenu());
    } else {
        menu = std::make_unique<ElementMenu>(images_, e.subItems());
    }
    int command = PopupAndChoose(owner, *menu, pos, target_);
    if (command != 0) {
        PostCommand(command);
    }
}

void RibbonWindow::ShowApplicationMenu() {
    if (appMenu_ == nullptr) {
        return;
    }
    if (appMenu_->IsShown()) {
        CloseApplicationMenu();
        return;
    }
    appMenu_->Relayout();
    wxPoint pos = appButton_->GetScreenPosition();
    pos.y += appButton_->GetSize().y - 8;
    appMenu_->Position(pos, wxSize(0, 0));
    appButton_->SetPressed(true);
    appMenu_->Popup(appMenu_->keyTarget());
}

void RibbonWindow::CloseApplicationMenu() {
    if (appMenu_ && appMenu_->IsShown()) {
        appMenu_->Dismiss();
        appButton_->SetPressed(false);
    }
}

void RibbonWindow::Hover(const Element* e, wxWindow* window, const wxRect& rect) {
    bool leaving = e == nullptr && rect.IsEmpty();
    if (leaving) {
        if (window == hoverWindow_ || window == nullptr) {
            hovered_ = nullptr;
            hoverWindow_ = nullptr;
            hoverTimer_.Stop();
            if (toolTip_) {
                toolTip_->Hide();
            }
        }
        return;
    }
    if (e == hovered_ && window == hoverWindow_) {
        return;
    }
    if (toolTip_) {
        toolTip_->Hide();
    }
    hovered_ = e;
    hoverWindow_ = window;
    hoverRect_ = rect;
    hoverTimer_.StartOnce(kToolTipDelayMs);
}

void RibbonWindow::ShowToolTipNow() {
    if (hoverWindow_ == nullptr || toolTip_ == nullptr) {
        return;
    }
    wxString tooltip;
    wxString description;
    if (hovered_) {
        tooltip = hovered_->ToolTip();
        description = hovered_->Description();
    } else if (hoverWindow_ == appButton_) {
        tooltip = model_.applicationButton().tooltip;
    }
    if (tooltip.empty() && description.empty()) {
        return;
    }
    wxPoint pos = hoverWindow_->ClientToScreen(hoverRect_.GetBottomLeft());
    if (hoverWindow_ != appMenu_) {
        // Below the ribbon, as the Office ribbon shows them.
        pos.y = std::max(pos.y, GetScreenPosition().y + GetSize().y) + 2;
    } else {
        pos.y += 2;
    }
    toolTip_->ShowAt(tooltip, description, pos);
}

bool RibbonWindow::Locate(const Element& e, wxWindow** window, wxRect* rect) const {
    for (PanelContent* content : contents_) {
        if (content->RectOf(e, rect)) {
            *window = content;
            return true;
        }
    }
    if (quickAccess_ && quickAccess_->RectOf(e, rect)) {
        *window = quickAccess_;
        return true;
    }
    if (tabButtons_ && tabButtons_->RectOf(e, rect)) {
        *window = tabButtons_;
        return true;
    }
    if (appMenu_ && appMenu_->RectOf(e, rect)) {
        *window = appMenu_;
        return true;
    }
    return false;
}

bool RibbonWindow::Click(const Element& e) {
    for (PanelContent* content : contents_) {
        wxRect rect;
        if (content->RectOf(e, &rect)) {
            content->Activate(e, false);
            return true;
        }
    }
    wxRect rect;
    if (tabButtons_ && tabButtons_->RectOf(e, &rect)) {
        tabButtons_->Activate(e);
        return true;
    }
    if (quickAccess_ && quickAccess_->RectOf(e, &rect)) {
        quickAccess_->Activate(e);
        return true;
    }
    if (appMenu_ && appMenu_->RectOf(e, &rect)) {
        appMenu_->Activate(e, false);
        return true;
    }
    return false;
}

bool RibbonWindow::DragSlider(const Element& slider, int value) {
    Element* e = model_.FindById(slider.id());
    if (e == nullptr || e->kind() != Kind::Slider || !e->enabled()) {
        return false;
    }
    int before = e->pos();
    e->SetPos(value);
    if (e->pos() != before) {
        ExecuteCommand(e->id());
    }
    return true;
}

void RibbonWindow::Register(const Element* e, wxWindow* window) {
    hosts_.emplace(e, window);
}

void RibbonWindow::ElementChanged(Element& element, Change change) {
    if (change == Change::SubItems && element.parent() != nullptr) {
        return;
    }
    auto range = hosts_.equal_range(&element);
    bool realize = false;
    for (auto it = range.first; it != range.second; ++it) {
        wxWindow* host = it->second;
        if (change == Change::Text || change == Change::Images || change == Change::SubItems) {
            if (auto* content = dynamic_cast<PanelContent*>(host)) {
                realize |= content->Relayout();
            } else if (auto* strip = dynamic_cast<ToolStrip*>(host)) {
                strip->Relayout();
            } else if (auto* menu = dynamic_cast<ApplicationMenuWindow*>(host)) {
                if (menu->IsShown()) {
                    menu->Relayout();
                }
            }
        }
        host->Refresh();
    }
    if (realize && bar_) {
        bar_->Realize();
        bar_->Refresh();
    }
}

}  // namespace ribbon
