#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "display/text_edit.h"
#include "display/text_field_format.h"
#include "display/timeless_clip.h"
#include "flash/render/field_text.h"
#include "flash/render/renderer.h"
#include "flash/swf/text.h"

namespace flash {

enum class AutoSize : std::uint8_t { None, Left, Center, Right };

// What scripts set on a field beyond its text and formats.
struct TextFieldSettings {
    bool html = false;
    bool multiline = false;
    bool wordWrap = false;
    bool password = false;
    bool selectable = true;
    bool editable = false;  // type "input"
    bool embedFonts = false;
    bool condenseWhite = false;
    bool mouseWheelEnabled = true;
    AutoSize autoSize = AutoSize::None;
    int maxChars = 0;  // 0: no limit
    std::optional<avm1::String> restrict;
    avm1::String antiAliasType = u"normal";
    avm1::String gridFitType = u"pixel";
    double sharpness = 0;
    double thickness = 0;
    int scroll = 1;
    int hscroll = 0;
    std::optional<double> tabIndex;
};

// A DefineEditText instance, or a field a script made. Scripts see it as a TextField: its
// formatted text, its settings and a variable it may be bound to; a field with a variable
// shows that variable of its timeline and sets it when its text changes.
class TextFieldObject final : public TimelessClip {
  public:
    TextFieldObject(Runtime& runtime, std::shared_ptr<MovieData> movie, std::uint16_t characterId,
                    std::shared_ptr<const swf::EditText> definition);
    ~TextFieldObject() override;

    // The definition the renderer draws from (bounds and flags as scripts changed them).
    const std::shared_ptr<const swf::EditText>& Definition() const { return definition_; }
    // What the field shows: UTF-8, HTML when ShowsHtml().
    const std::string& ShownText() const { return shown_; }
    bool ShowsHtml() const { return shownHtml_; }
    const render::EditTextLook& Look() const { return look_; }
    render::EditTextLook& MutableLook() { return look_; }

    // On the display list, and when bound anew: a variable that exists fills the field,
    // else a field with text gives the variable its text. A path to a timeline that does
    // not exist yet is tried again each frame.
    void Placed();
    // Takes the bound variable's value, if it has one (once per frame and before scripts
    // read the text).
    void SyncFromVariable();

    // The characters, paragraphs ending in "\r".
    avm1::String Text();
    // Replaces all text: plain text in the new-text format, or HTML when `html` and the
    // field is an HTML field. Writes the bound variable.
    void SetText(const avm1::String& text, bool html);
    // Flash's HTML for the formatted text.
    avm1::String HtmlText();
    // Characters [begin, end) replaced by `text` in `format`.
    void ReplaceText(std::size_t begin, std::size_t end, const avm1::String& text,
                     const TextFormatValues& format);

    // The selected characters replaced by `text` in the new-text format; the caret after it.
    void ReplaceSelection(const avm1::String& text);
    // The selection, UTF-16 positions with begin <= end; both 0 until the user selects.
    std::size_t SelectionBegin() const { return selection_.Begin(); }
    std::size_t SelectionEnd() const { return selection_.End(); }
    void SetSelection(std::size_t begin, std::size_t end);

    const FormattedText& Content() const { return content_; }
    // Gives [begin, end) the properties `format` has.
    void ApplyFormat(std::size_t begin, std::size_t end, const TextFormatValues& format);
    const TextFormatValues& NewTextFormat() const { return newFormat_; }
    void SetNewTextFormat(const TextFormatValues& format);

    const TextFieldSettings& Settings() const { return settings_; }
    // Changes settings; the field is laid out and drawn anew.
    template <typename F>
    void ChangeSettings(F&& change) {
        change(settings_);
        SettingsChanged();
    }

    const avm1::String& Variable() const { return variable_; }
    // Bound anew: the field starts again from its own text.
    void SetVariable(const avm1::String& variable);

    // The field's rectangle in its own twips; autoSize moves it as the text changes.
    const Rect& Bounds() const { return definition_->bounds; }
    void SetBounds(const Rect& bounds);
    // Text extent in pixels, as textWidth and textHeight give it.
    double TextWidth();
    double TextHeight();
    // Lines as scroll, maxscroll and bottomScroll count them (from 1); hscroll in pixels.
    int Scroll();
    int MaxScroll();
    int BottomScroll();
    int MaxHScroll();

    // The caret and selection typing and Selection work on.
    TextSelection& Selection() { return selection_; }

    DisplayKind GetDisplayKind() const override { return DisplayKind::Graphic; }
    Rect LocalBounds() const override;
    bool HitsPoint(Point local) const override;

    avm1::ClipKind Kind() const override { return avm1::ClipKind::TextField; }
    // A field keeps whole twips for its place, and _width and _height size its rectangle
    // rather than scaling it.
    // _x and _y are the matrix's place, moved as autoSize moves the rectangle (a field a
    // script made); otherwise the rectangle's corner counts too.
    void PlaceAtMatrix() {
        origin_ = {double(definition_->bounds.xmin), double(definition_->bounds.ymin)};
    }
    avm1::Value GetProperty(avm1::Property property) override;
    void SetProperty(avm1::Property property, const avm1::Value& value) override;

  private:
    avm1::Clip* VariableBase();
    void TakeValue(const avm1::Value& value);
    // Replaces all text as SetText does, without writing the variable.
    void Load(const avm1::String& text, bool html);
    // The definition to change: the field's own copy, made on the first change.
    swf::EditText& Edit();
    void WriteVariable();
    void SettingsChanged();
    // Lays the text out again after a change: the shown text and autoSize.
    void Changed();
    void ApplyAutoSize();
    // The laid out text, measured once per change.
    const render::FieldTextExtent& Extent();
    // How many lines from line `from` fit in the field.
    int VisibleLines(int from);
    // The format a field's definition starts with.
    TextFormatValues InitialFormat() const;
    // The movie's CSMTextSettings for the field's character.
    void ApplyRenderSettings();
    void SetInitialText();

    std::shared_ptr<const swf::EditText> definition_;
    bool ownDefinition_ = false;
    render::EditTextLook look_;
    TextFieldSettings settings_;
    FormattedText content_;
    TextFormatValues newFormat_;
    std::optional<render::FieldTextExtent> extent_;
    std::string shown_;  // what the renderer gets
    bool shownHtml_ = false;
    avm1::String variable_;      // empty: bound to nothing
    avm1::String variableText_;  // the variable's value the field last took or gave
    bool bound_ = false;         // the variable's place was found
    bool followed_ = false;      // and it is a timeline's, so changes show
    TextSelection selection_;
    Point origin_;  // the rectangle's corner that _x and _y leave out
};

// Every bound field of the stage takes its variable's value.
void SyncTextFields(Runtime& runtime);

}  // namespace flash
