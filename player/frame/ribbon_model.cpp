#include "ribbon_model.h"

#include <algorithm>
#include <utility>

#include "string_table.h"

namespace ribbon {

Element::Element(Kind kind, int id, std::wstring text)
    : kind_(kind), id_(id), text_(std::move(text)) {}

Element::Ptr Element::Button(int id, std::wstring text, int smallImage, int largeImage) {
    Ptr e(new Element(Kind::Button, id, std::move(text)));
    e->smallImage_ = smallImage;
    e->largeImage_ = largeImage;
    return e;
}

Element::Ptr Element::CheckBox(int id, std::wstring text) {
    return Ptr(new Element(Kind::CheckBox, id, std::move(text)));
}

Element::Ptr Element::Label(std::wstring text) {
    return Ptr(new Element(Kind::Label, 0, std::move(text)));
}

Element::Ptr Element::Slider(int id, int width) {
    Ptr e(new Element(Kind::Slider, id, {}));
    e->width_ = width;
    e->max_ = 100;
    return e;
}

Element::Ptr Element::Separator(bool horizontal) {
    Ptr e(new Element(Kind::Separator, 0, {}));
    e->horizontal_ = horizontal;
    return e;
}

Element::Ptr Element::BottomButton(int id, std::wstring text, int smallImage) {
    Ptr e(new Element(Kind::BottomButton, id, std::move(text)));
    e->smallImage_ = smallImage;
    return e;
}

std::wstring Element::Caption() const {
    return text_.substr(0, text_.find(L'\n'));
}

std::wstring Element::KeyTip() const {
    auto lineBreak = text_.find(L'\n');
    return lineBreak == std::wstring::npos ? std::wstring() : text_.substr(lineBreak + 1);
}

void Element::SetText(std::wstring text) {
    if (text != text_) {
        text_ = std::move(text);
        Notify(Change::Text);
    }
}

std::wstring Element::ToolTip() const {
    if (!tooltip_.empty() || !description_.empty() || id_ == 0) {
        return tooltip_;
    }
    return res::SplitCommandString(res::LoadString(id_)).tooltip;
}

std::wstring Element::Description() const {
    if (!tooltip_.empty() || !description_.empty() || id_ == 0) {
        return description_;
    }
    return res::SplitCommandString(res::LoadString(id_)).description;
}

void Element::SetToolTip(std::wstring tooltip) {
    tooltip_ = std::move(tooltip);
    Notify(Change::Tips);
}

void Element::SetDescription(std::wstring description) {
    description_ = std::move(description);
    Notify(Change::Tips);
}

void Element::SetSmallImage(int index) {
    if (index != smallImage_) {
        smallImage_ = index;
        Notify(Change::Images);
    }
}

void Element::SetLargeImage(int index) {
    if (index != largeImage_) {
        largeImage_ = index;
        Notify(Change::Images);
    }
}

void Element::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    pos_ = std::clamp(pos_, min_, max_);
    Notify(Change::Slider);
}

void Element::SetPos(int pos) {
    pos = std::clamp(pos, min_, max_);
    if (pos != pos_) {
        pos_ = pos;
        Notify(Change::Slider);
    }
}

void Element::SetMenuResource(int menuId, bool rightAligned) {
    menuResource_ = menuId;
    menuRightAligned_ = rightAligned;
}

void Element::SetEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        Notify(Change::State);
    }
}

void Element::SetChecked(bool checked) {
    if (checked != checked_) {
        checked_ = checked;
        Notify(Change::State);
    }
}

Element* Element::AddSubItem(Ptr item) {
    item->Attach(owner_, this, smallStrip_, largeStrip_);
    subItems_.push_back(std::move(item));
    Notify(Change::SubItems);
    return subItems_.back().get();
}

void Element::SetSubItems(List items) {
    for (auto& item : items) {
        item->Attach(owner_, this, smallStrip_, largeStrip_);
    }
    List old = std::exchange(subItems_, std::move(items));
    Notify(Change::SubItems);
}

bool Element::Visit(const std::function<bool(Element&)>& fn) {
    if (fn(*this)) {
        return true;
    }
    for (auto& item : subItems_) {
        if (item->Visit(fn)) {
            return true;
        }
    }
    return false;
}

void Element::Notify(Change change) {
    if (owner_ && owner_->listener_) {
        owner_->listener_->ElementChanged(*this, change);
    }
}

void Element::Attach(Ribbon* owner, Element* parent, int smallStrip, int largeStrip) {
    owner_ = owner;
    parent_ = parent;
    smallStrip_ = smallStrip;
    largeStrip_ = largeStrip;
    for (auto& item : subItems_) {
        item->Attach(owner, this, smallStrip, largeStrip);
    }
}

Element* Panel::Add(Element::Ptr element) {
    element->Attach(owner_, nullptr, smallStrip_, largeStrip_);
    elements_.push_back(std::move(element));
    return elements_.back().get();
}

Category::Category(Ribbon* owner, std::wstring name, int smallStrip, int largeStrip)
    : owner_(owner), name_(std::move(name)), smallStrip_(smallStrip), largeStrip_(largeStrip) {}

Panel* Category::AddPanel(std::wstring name, int collapsedIcon) {
    auto panel = std::make_unique<Panel>(std::move(name), collapsedIcon);
    panel->owner_ = owner_;
    panel->smallStrip_ = smallStrip_;
    panel->largeStrip_ = largeStrip_;
    panels_.push_back(std::move(panel));
    return panels_.back().get();
}

ApplicationMenu::ApplicationMenu(Ribbon* owner, std::wstring name, int smallStrip, int largeStrip)
    : owner_(owner), name_(std::move(name)), smallStrip_(smallStrip), largeStrip_(largeStrip) {}

Element* ApplicationMenu::Add(Element::Ptr element) {
    element->Attach(owner_, nullptr, smallStrip_, largeStrip_);
    elements_.push_back(std::move(element));
    return elements_.back().get();
}

void ApplicationMenu::SetRecentArea(std::wstring caption, int width) {
    recentCaption_ = std::move(caption);
    recentWidth_ = width;
}

Element* ApplicationMenu::AddBottomButton(Element::Ptr button) {
    button->Attach(owner_, nullptr, smallStrip_, largeStrip_);
    bottom_.push_back(std::move(button));
    return bottom_.back().get();
}

ApplicationMenu* Ribbon::SetApplicationMenu(std::wstring name, int smallStrip, int largeStrip) {
    appMenu_ = std::make_unique<ApplicationMenu>(this, std::move(name), smallStrip, largeStrip);
    return appMenu_.get();
}

Category* Ribbon::AddCategory(std::wstring name, int smallStrip, int largeStrip) {
    categories_.push_back(
        std::make_unique<Category>(this, std::move(name), smallStrip, largeStrip));
    return categories_.back().get();
}

Element* Ribbon::AddTabElement(Element::Ptr element, int strip) {
    element->Attach(this, nullptr, strip, strip);
    tabElements_.push_back(std::move(element));
    return tabElements_.back().get();
}

std::vector<Element*> Ribbon::QuickAccessElements() const {
    std::vector<Element*> elements;
    for (int id : quickAccess_) {
        if (Element* e = FindById(id)) {
            elements.push_back(e);
        }
    }
    return elements;
}

bool Ribbon::Visit(const std::function<bool(Element&)>& fn) const {
    for (const auto& category : categories_) {
        for (const auto& panel : category->panels()) {
            for (const auto& element : panel->elements()) {
                if (element->Visit(fn)) {
                    return true;
                }
            }
        }
    }
    if (appMenu_) {
        for (const auto& element : appMenu_->elements()) {
            if (element->Visit(fn)) {
                return true;
            }
        }
        for (const auto& element : appMenu_->bottomButtons()) {
            if (element->Visit(fn)) {
                return true;
            }
        }
    }
    for (const auto& element : tabElements_) {
        if (element->Visit(fn)) {
            return true;
        }
    }
    return false;
}

Element* Ribbon::FindById(int id) const {
    Element* found = nullptr;
    Visit([&](Element& e) {
        if (e.id() == id && e.kind() != Kind::Label && e.kind() != Kind::Separator) {
            found = &e;
            return true;
        }
        return false;
    });
    return found;
}

std::vector<Element*> Ribbon::FindAllById(int id) const {
    std::vector<Element*> found;
    Visit([&](Element& e) {
        if (e.id() == id && e.kind() != Kind::Label && e.kind() != Kind::Separator) {
            found.push_back(&e);
        }
        return false;
    });
    return found;
}

}  // namespace ribbon
