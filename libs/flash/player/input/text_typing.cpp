#include "input/text_typing.h"

#include <algorithm>
#include <optional>

#include "display/text_edit.h"
#include "display/text_field.h"
#include "flash/avm1/object.h"
#include "runtime/runtime.h"
#include "runtime/text_convert.h"

namespace flash {

namespace {

struct Motion {
    TextCommand command;
    CaretMove move;
    bool extend;
};

constexpr Motion kMotions[] = {
    {TextCommand::MoveLeft, CaretMove::Left, false},
    {TextCommand::MoveRight, CaretMove::Right, false},
    {TextCommand::MoveUp, CaretMove::Up, false},
    {TextCommand::MoveDown, CaretMove::Down, false},
    {TextCommand::MoveLineStart, CaretMove::LineStart, false},
    {TextCommand::MoveLineEnd, CaretMove::LineEnd, false},
    {TextCommand::MoveTextStart, CaretMove::Start, false},
    {TextCommand::MoveTextEnd, CaretMove::End, false},
    {TextCommand::SelectLeft, CaretMove::Left, true},
    {TextCommand::SelectRight, CaretMove::Right, true},
    {TextCommand::SelectUp, CaretMove::Up, true},
    {TextCommand::SelectDown, CaretMove::Down, true},
    {TextCommand::SelectLineStart, CaretMove::LineStart, true},
    {TextCommand::SelectLineEnd, CaretMove::LineEnd, true},
};

}  // namespace

TextTyping::TextTyping(Runtime& runtime) : runtime_(runtime) {}

bool TextTyping::Editable(TextFieldObject& field) {
    return !field.Removed() && field.Settings().editable;
}

void TextTyping::Type(TextFieldObject& field, avm1::StringView text) {
    if (Editable(field)) {
        Insert(field, text);
    }
}

bool TextTyping::Insert(TextFieldObject& field, avm1::StringView typed) {
    const TextFieldSettings& settings = field.Settings();
    std::optional<CharRestriction> restriction;
    if (settings.restrict) {
        restriction.emplace(*settings.restrict);
    }
    EditLimits limits{static_cast<std::size_t>(std::max(settings.maxChars, 0)),
                      restriction ? &*restriction : nullptr, settings.multiline};
    std::optional<TextChange> change = TypingChange(field.Text(), field.Selection(), typed, limits);
    if (change) {
        Apply(field, *change);
    }
    return change.has_value();
}

void TextTyping::Apply(TextFieldObject& field, const TextChange& change) {
    field.ReplaceText(change.begin, change.end, change.text, field.NewTextFormat());
    field.Selection().PlaceCaret(change.begin + change.text.size());
    avm1::Object* object = runtime_.Vm().ObjectOf(field);
    runtime_.QueueMethod(field, u"onChanged", Runtime::Lane::Frame, false,
                         {avm1::Value::Obj(object)});
    runtime_.RunQueued();
}

void TextTyping::CopySelection(TextFieldObject& field, bool cut) {
    // Password fields keep their text off the clipboard.
    if (field.Settings().password) {
        return;
    }
    const avm1::String text = field.Text();
    TextSelection selection = field.Selection();
    selection.Clamp(text.size());
    if (selection.Empty()) {
        return;
    }
    const std::size_t begin = selection.Begin();
    Board().SetText(Utf8ToWide(avm1::ToUtf8(text.substr(begin, selection.End() - begin))));
    if (cut && Editable(field)) {
        Apply(field, TextChange{begin, selection.End(), {}});
    }
}

bool TextTyping::Move(TextFieldObject& field, TextCommand command) {
    for (const Motion& motion : kMotions) {
        if (motion.command == command) {
            MoveCaret(field.Text(), field.Selection(), motion.move, motion.extend);
            return true;
        }
    }
    return false;
}

void TextTyping::Command(TextFieldObject& field, TextCommand command) {
    if (field.Removed() || Move(field, command)) {
        return;
    }
    switch (command) {
        case TextCommand::SelectAll:
            field.Selection().Select(0, field.Text().size());
            return;
        case TextCommand::Copy:
        case TextCommand::Cut:
            CopySelection(field, command == TextCommand::Cut);
            return;
        case TextCommand::Paste:
            Type(field, avm1::FromUtf8(WideToUtf8(Board().Text())));
            return;
        case TextCommand::Enter:
            Type(field, u"\r");
            return;
        case TextCommand::Backspace:
        case TextCommand::Delete:
            if (Editable(field)) {
                if (std::optional<TextChange> change = DeletionChange(
                        field.Text(), field.Selection(), command == TextCommand::Delete)) {
                    Apply(field, *change);
                }
            }
            return;
        default:
            return;
    }
}

}  // namespace flash
