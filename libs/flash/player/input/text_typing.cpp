#include "input/text_typing.h"

#include <cmath>
#include <optional>

#include "display/text_edit.h"
#include "display/text_field.h"
#include "flash/avm1/convert.h"
#include "flash/avm1/object.h"
#include "runtime/movie_data.h"
#include "runtime/runtime.h"
#include "runtime/text_convert.h"

namespace flash {

namespace {

// The field's members as scripts see them, so typing follows what scripts set.
avm1::Value FieldMember(Runtime& runtime, TextFieldObject& field, avm1::StringView name) {
    return runtime.Vm().Get(runtime.Vm().ObjectOf(field), name, field.SwfVersion());
}

bool FieldFlag(Runtime& runtime, TextFieldObject& field, avm1::StringView name) {
    return avm1::ToBoolean(FieldMember(runtime, field, name), field.SwfVersion());
}

std::size_t MaxChars(Runtime& runtime, TextFieldObject& field) {
    avm1::Value v = FieldMember(runtime, field, u"maxChars");
    if (v.IsUndefined() || v.IsNull()) {
        return 0;
    }
    double n = runtime.Vm().ToNumber(v, field.SwfVersion());
    return std::isfinite(n) && n >= 1 ? static_cast<std::size_t>(std::min(n, 1e9)) : 0;
}

std::optional<avm1::String> Restriction(Runtime& runtime, TextFieldObject& field) {
    avm1::Value v = FieldMember(runtime, field, u"restrict");
    if (v.IsUndefined() || v.IsNull()) {
        return std::nullopt;
    }
    return runtime.Vm().ToString(v, field.SwfVersion());
}

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
    avm1::Value type = FieldMember(runtime_, field, u"type");
    return !field.Removed() && type.IsString() && type.AsString() == u"input";
}

void TextTyping::Type(TextFieldObject& field, avm1::StringView text) {
    if (Editable(field)) {
        Insert(field, text);
    }
}

bool TextTyping::Insert(TextFieldObject& field, avm1::StringView typed) {
    avm1::String text = field.Text();
    std::optional<avm1::String> pattern = Restriction(runtime_, field);
    std::optional<CharRestriction> restriction;
    if (pattern) {
        restriction.emplace(*pattern);
    }
    EditLimits limits{MaxChars(runtime_, field), restriction ? &*restriction : nullptr,
                      FieldFlag(runtime_, field, u"multiline")};
    TextSelection selection = field.Selection();
    if (!InsertText(text, selection, typed, limits)) {
        return false;
    }
    Store(field, text);
    field.Selection() = selection;
    return true;
}

void TextTyping::Store(TextFieldObject& field, const avm1::String& text) {
    avm1::Object* object = runtime_.Vm().ObjectOf(field);
    runtime_.Vm().Set(object, u"text", avm1::Value::Str(text), field.SwfVersion());
    runtime_.QueueMethod(field, u"onChanged", Runtime::Lane::Frame, false,
                         {avm1::Value::Obj(object)});
    runtime_.RunQueued();
}

void TextTyping::CopySelection(TextFieldObject& field, bool cut) {
    // Password fields keep their text off the clipboard.
    if (FieldFlag(runtime_, field, u"password")) {
        return;
    }
    avm1::String text = field.Text();
    TextSelection selection = field.Selection();
    selection.Clamp(text.size());
    if (selection.Empty()) {
        return;
    }
    const std::size_t begin = selection.Begin();
    avm1::String part = text.substr(begin, selection.End() - begin);
    Board().SetText(Utf8ToWide(avm1::ToUtf8(part)));
    if (cut && Editable(field) && DeleteForward(text, selection)) {
        Store(field, text);
        field.Selection() = selection;
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
    avm1::String text = field.Text();
    TextSelection selection = field.Selection();
    bool changed = false;
    switch (command) {
        case TextCommand::SelectAll:
            field.Selection().Select(0, text.size());
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
            changed = Editable(field) && DeleteBackward(text, selection);
            break;
        case TextCommand::Delete:
            changed = Editable(field) && DeleteForward(text, selection);
            break;
        default:
            return;
    }
    if (changed) {
        Store(field, text);
        field.Selection() = selection;
    }
}

}  // namespace flash
