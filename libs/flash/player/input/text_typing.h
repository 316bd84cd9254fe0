#pragma once

#include <string>

#include "flash/avm1/value.h"
#include "flash/player/player.h"

namespace flash {

class Runtime;
class TextFieldObject;
struct TextChange;

// Typing into a text field: characters and input method text go in at the selection as
// the field's type, maxChars and restrict allow; editing commands move the caret, delete
// and use the clipboard. A change the user makes tells the field (onChanged).
class TextTyping {
  public:
    explicit TextTyping(Runtime& runtime);

    void SetClipboard(Clipboard* clipboard) { clipboard_ = clipboard; }

    void Type(TextFieldObject& field, avm1::StringView text);
    void Command(TextFieldObject& field, TextCommand command);

  private:
    // The player's own clipboard, until the host gives one.
    class OwnClipboard final : public Clipboard {
      public:
        std::wstring Text() override { return text_; }
        void SetText(const std::wstring& text) override { text_ = text; }

      private:
        std::wstring text_;
    };

    bool Editable(TextFieldObject& field);
    bool Insert(TextFieldObject& field, avm1::StringView text);
    void CopySelection(TextFieldObject& field, bool cut);
    bool Move(TextFieldObject& field, TextCommand command);
    // Makes a change the user typed and tells the field.
    void Apply(TextFieldObject& field, const TextChange& change);
    Clipboard& Board() { return clipboard_ != nullptr ? *clipboard_ : own_; }

    Runtime& runtime_;
    Clipboard* clipboard_ = nullptr;
    OwnClipboard own_;
};

}  // namespace flash
