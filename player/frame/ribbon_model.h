#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The ribbon as data: the application button and its menu, the tab categories with their
// panels and elements, the buttons at the right of the tabs and the quick-access toolbar.
// Elements are owned by their container; everyone else keeps plain pointers. The drawing
// listens for changes and shows the elements; commands go out by the elements' ids, which are
// the program's command ids (negative ids are carriers without a handler).
namespace ribbon {

enum class Kind {
    Button,        // command id, text, small and large image; sub-items make it a menu
    CheckBox,      // command id, text
    Label,         // text only
    Slider,        // command id, width, range, position, optional zoom buttons
    Separator,     // a vertical bar in panels, a horizontal line in menus
    BottomButton,  // the application menu's own bottom-row button
};

// What changed in an element, for the drawing.
enum class Change { Text, Images, Tips, State, Slider, SubItems };

class Ribbon;

class Element {
  public:
    using Ptr = std::unique_ptr<Element>;
    using List = std::vector<Ptr>;

    static Ptr Button(int id, std::wstring text, int smallImage = -1, int largeImage = -1);
    static Ptr CheckBox(int id, std::wstring text);
    static Ptr Label(std::wstring text);
    static Ptr Slider(int id, int width);
    static Ptr Separator(bool horizontal = false);
    static Ptr BottomButton(int id, std::wstring text, int smallImage);

    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    Kind kind() const { return kind_; }
    int id() const { return id_; }

    // The text as given ("\nx" is no caption with the key tip x).
    const std::wstring& text() const { return text_; }
    // The text before a line break: what is shown.
    std::wstring Caption() const;
    // The text after a line break.
    std::wstring KeyTip() const;
    void SetText(std::wstring text);

    // The tooltip and description the element was given; empty when not set.
    const std::wstring& OwnToolTip() const { return tooltip_; }
    const std::wstring& OwnDescription() const { return description_; }
    // What the user sees: the element's own texts, or, when it has neither, those of the
    // string resource of its command id.
    std::wstring ToolTip() const;
    std::wstring Description() const;
    void SetToolTip(std::wstring tooltip);
    void SetDescription(std::wstring description);

    // Image indexes in the container's strips; -1 is none.
    int smallImage() const { return smallImage_; }
    int largeImage() const { return largeImage_; }
    void SetSmallImage(int index);
    void SetLargeImage(int index);
    // The strips (bitmap resource ids) the indexes refer to; given by the container.
    int smallStrip() const { return smallStrip_; }
    int largeStrip() const { return largeStrip_; }

    // Slider.
    int width() const { return width_; }
    int rangeMin() const { return min_; }
    int rangeMax() const { return max_; }
    int pos() const { return pos_; }
    bool zoomButtons() const { return zoomButtons_; }
    void SetRange(int min, int max);
    // Kept within the range.
    void SetPos(int pos);
    void SetZoomButtons(bool on) { zoomButtons_ = on; }

    // Separator.
    bool horizontal() const { return horizontal_; }

    // A menu resource shown by a button (the tab-side style button).
    int menuResource() const { return menuResource_; }
    bool menuRightAligned() const { return menuRightAligned_; }
    void SetMenuResource(int menuId, bool rightAligned);

    // State set by the update handlers.
    bool enabled() const { return enabled_; }
    bool checked() const { return checked_; }
    void SetEnabled(bool enabled);
    void SetChecked(bool checked);
    // A slider the user is dragging at the moment.
    bool held() const { return held_; }
    void SetHeld(bool held) { held_ = held; }

    // Sub-items (a button's menu).
    const List& subItems() const { return subItems_; }
    Element* AddSubItem(Ptr item);
    // Replaces all sub-items at once; the old ones are destroyed.
    void SetSubItems(List items);
    void RemoveAllSubItems() { SetSubItems({}); }

    Element* parent() const { return parent_; }

    // Depth-first over this element and its sub-items; stops when fn returns true.
    bool Visit(const std::function<bool(Element&)>& fn);

  private:
    friend class Ribbon;
    friend class Panel;
    friend class ApplicationMenu;
    Element(Kind kind, int id, std::wstring text);
    void Notify(Change change);
    void Attach(Ribbon* owner, Element* parent, int smallStrip, int largeStrip);

    Kind kind_;
    int id_;
    std::wstring text_;
    std::wstring tooltip_;
    std::wstring description_;
    int smallImage_ = -1;
    int largeImage_ = -1;
    int smallStrip_ = 0;
    int largeStrip_ = 0;
    int width_ = 0;
    int min_ = 0;
    int max_ = 0;
    int pos_ = 0;
    bool zoomButtons_ = false;
    bool horizontal_ = false;
    int menuResource_ = 0;
    bool menuRightAligned_ = false;
    bool enabled_ = true;
    bool checked_ = false;
    bool held_ = false;
    List subItems_;
    Element* parent_ = nullptr;
    Ribbon* owner_ = nullptr;
};

// A group of elements on a category page, with the icon it shows when collapsed.
class Panel {
  public:
    Panel(std::wstring name, int collapsedIcon) : name_(std::move(name)), icon_(collapsedIcon) {}

    const std::wstring& name() const { return name_; }
    // Index in the panel images (32 by 32); -1 is none.
    int collapsedIcon() const { return icon_; }
    const Element::List& elements() const { return elements_; }
    Element* Add(Element::Ptr element);

  private:
    friend class Category;
    std::wstring name_;
    int icon_;
    Element::List elements_;
    Ribbon* owner_ = nullptr;
    int smallStrip_ = 0;
    int largeStrip_ = 0;
};

// A tab with its page of panels.
class Category {
  public:
    Category(Ribbon* owner, std::wstring name, int smallStrip, int largeStrip);

    const std::wstring& name() const { return name_; }
    int smallStrip() const { return smallStrip_; }
    int largeStrip() const { return largeStrip_; }
    const std::vector<std::unique_ptr<Panel>>& panels() const { return panels_; }
    Panel* AddPanel(std::wstring name, int collapsedIcon = -1);

  private:
    Ribbon* owner_;
    std::wstring name_;
    int smallStrip_;
    int largeStrip_;
    std::vector<std::unique_ptr<Panel>> panels_;
};

// The application button's menu: a column of elements, the recent-files area at its right
// and a bottom row of buttons.
class ApplicationMenu {
  public:
    ApplicationMenu(Ribbon* owner, std::wstring name, int smallStrip, int largeStrip);

    const std::wstring& name() const { return name_; }
    int smallStrip() const { return smallStrip_; }
    int largeStrip() const { return largeStrip_; }
    const Element::List& elements() const { return elements_; }
    Element* Add(Element::Ptr element);

    const std::wstring& recentCaption() const { return recentCaption_; }
    int recentWidth() const { return recentWidth_; }
    void SetRecentArea(std::wstring caption, int width);

    const Element::List& bottomButtons() const { return bottom_; }
    Element* AddBottomButton(Element::Ptr button);

  private:
    Ribbon* owner_;
    std::wstring name_;
    int smallStrip_;
    int largeStrip_;
    Element::List elements_;
    std::wstring recentCaption_;
    int recentWidth_ = 0;
    Element::List bottom_;
};

struct ApplicationButton {
    int image = 0;  // bitmap resource, one image
    std::wstring text;
    std::wstring tooltip;
    int size = 0;  // shown size in pixels, square
};

class Listener {
  public:
    virtual ~Listener() = default;
    virtual void ElementChanged(Element& element, Change change) = 0;
};

class Ribbon {
  public:
    Ribbon() = default;
    Ribbon(const Ribbon&) = delete;
    Ribbon& operator=(const Ribbon&) = delete;

    ApplicationButton& applicationButton() { return appButton_; }
    const ApplicationButton& applicationButton() const { return appButton_; }

    ApplicationMenu* applicationMenu() const { return appMenu_.get(); }
    ApplicationMenu* SetApplicationMenu(std::wstring name, int smallStrip, int largeStrip);

    const std::vector<std::unique_ptr<Category>>& categories() const { return categories_; }
    Category* AddCategory(std::wstring name, int smallStrip, int largeStrip);

    // Buttons at the right of the tabs; their images come from `strip`.
    const Element::List& tabElements() const { return tabElements_; }
    Element* AddTabElement(Element::Ptr element, int strip);

    // The quick-access toolbar shows the elements with these ids, in order.
    const std::vector<int>& quickAccessIds() const { return quickAccess_; }
    void SetQuickAccessCommands(std::vector<int> ids) { quickAccess_ = std::move(ids); }
    // The elements the toolbar shows (an id that is nowhere in the ribbon is left out).
    std::vector<Element*> QuickAccessElements() const;

    // The first element with this id: the categories in tab order, then the application
    // menu, then the tab-side buttons; sub-items included.
    Element* FindById(int id) const;
    // Every element with this id, in the same order.
    std::vector<Element*> FindAllById(int id) const;
    // Depth-first over every element in the order of FindById; stops when fn returns true.
    bool Visit(const std::function<bool(Element&)>& fn) const;

    void SetListener(Listener* listener) { listener_ = listener; }
    Listener* listener() const { return listener_; }

  private:
    ApplicationButton appButton_;
    std::unique_ptr<ApplicationMenu> appMenu_;
    std::vector<std::unique_ptr<Category>> categories_;
    Element::List tabElements_;
    std::vector<int> quickAccess_;
    Listener* listener_ = nullptr;

    friend class Element;
};

}  // namespace ribbon
