#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "display/text_edit.h"
#include "display/timeless_clip.h"
#include "flash/render/renderer.h"
#include "flash/swf/text.h"

namespace flash {

// A DefineEditText instance. Scripts see it as a TextField: its text, htmlText and variable
// members; a field with a variable shows that variable of its timeline and sets it when its
// text changes.
class TextFieldObject final : public TimelessClip {
  public:
    TextFieldObject(Runtime& runtime, std::shared_ptr<MovieData> movie, std::uint16_t characterId,
                    std::shared_ptr<const swf::EditText> definition);
    ~TextFieldObject() override;

    const std::shared_ptr<const swf::EditText>& Definition() const { return definition_; }
    // What the field shows: UTF-8, HTML when ShowsHtml().
    const std::string& ShownText() const { return shown_; }
    bool ShowsHtml() const { return html_; }
    const render::EditTextLook& Look() const { return look_; }

    // On the display list, and when bound anew: a variable that exists fills the field,
    // else a field with text gives the variable its text. A path to a timeline that does
    // not exist yet is tried again each frame.
    void Placed();
    // Takes the bound variable's value, if it has one (once per frame and before scripts
    // read the text).
    void SyncFromVariable();
    avm1::String Text();
    void SetText(const avm1::String& text, bool html);

    // The caret and selection typing and Selection work on.
    TextSelection& Selection() { return selection_; }

    DisplayKind GetDisplayKind() const override { return DisplayKind::Graphic; }
    Rect LocalBounds() const override;
    bool HitsPoint(Point local) const override;

    avm1::ClipKind Kind() const override { return avm1::ClipKind::TextField; }
    std::optional<avm1::Value> GetMember(avm1::StringView name) override;
    bool SetMember(avm1::StringView name, const avm1::Value& value) override;

  private:
    avm1::Clip* VariableBase();
    void TakeValue(const avm1::Value& value);
    // The definition to change: the field's own copy, made on the first change.
    swf::EditText& Edit();
    void WriteVariable();

    std::shared_ptr<const swf::EditText> definition_;
    bool ownDefinition_ = false;
    render::EditTextLook look_;
    avm1::String text_;  // as scripts set it (HTML when html_)
    std::string shown_;  // text_ in UTF-8
    bool html_ = false;
    avm1::String variable_;  // empty: bound to nothing
    bool bound_ = false;     // the variable's place was found
    bool followed_ = false;  // and it is a timeline's, so changes show
    TextSelection selection_;
};

// Every bound field of the stage takes its variable's value.
void SyncTextFields(Runtime& runtime);

}  // namespace flash
