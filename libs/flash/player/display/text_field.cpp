#include "display/text_field.h"

#include <cmath>

#include "display/movie_clip.h"
#include "flash/avm1/convert.h"
#include "flash/render/field_text.h"
#include "runtime/movie_data.h"
#include "runtime/runtime.h"

namespace flash {

TextFieldObject::TextFieldObject(Runtime& runtime, std::shared_ptr<MovieData> movie,
                                 std::uint16_t characterId,
                                 std::shared_ptr<const swf::EditText> definition)
    : TimelessClip(runtime, std::move(movie), characterId),
      definition_(std::move(definition)),
      look_(render::EditTextLook::Of(*definition_)) {
    if (definition_->hasText) {
        SetText(Movie().ScriptText(definition_->initialText), definition_->html);
    }
    variable_ = Movie().ScriptText(definition_->variableName);
}

TextFieldObject::~TextFieldObject() = default;

Rect TextFieldObject::LocalBounds() const {
    return definition_->bounds;
}

bool TextFieldObject::HitsPoint(Point local) const {
    const Rect& b = definition_->bounds;
    return local.x >= b.xmin && local.x <= b.xmax && local.y >= b.ymin && local.y <= b.ymax;
}

void TextFieldObject::SetText(const avm1::String& text, bool html) {
    // A field without HTML shows HTML text as it is.
    html_ = html && definition_->html;
    text_ = text;
    shown_ = avm1::ToUtf8(text_);
}

avm1::String TextFieldObject::Text() {
    SyncFromVariable();
    return html_ ? avm1::FromUtf8(render::HtmlToPlainText(shown_)) : text_;
}

avm1::Clip* TextFieldObject::VariableBase() {
    // Variables are looked up from the timeline that holds the field.
    MovieClip* clip = ParentClip();
    return clip != nullptr ? clip->ScriptClip() : nullptr;
}

void TextFieldObject::Placed() {
    bound_ = false;
    followed_ = false;
    if (variable_.empty() || Removed() || VariableBase() == nullptr) {
        return;
    }
    avm1::Vm& vm = GetRuntime().Vm();
    const std::size_t split = variable_.find_last_of(u".:");
    const avm1::StringView prefix = split == avm1::String::npos
                                        ? avm1::StringView()
                                        : avm1::StringView(variable_).substr(0, split);
    const bool onClip =
        prefix.empty() || vm.ResolveTarget(prefix, VariableBase(), SwfVersion()) != nullptr;
    std::optional<avm1::Value> value = vm.GetVariable(variable_, VariableBase());
    if (!onClip && (!value || value->IsUndefined())) {
        return;  // the timeline it names is not there yet: tried again each frame
    }
    bound_ = true;
    // Flash follows the variables of timelines only: a field bound to a member of a plain
    // object reads it once.
    followed_ = onClip;
    if (value && !value->IsUndefined()) {
        TakeValue(*value);
    } else if (onClip && !text_.empty()) {
        WriteVariable();
    }
}

void TextFieldObject::SyncFromVariable() {
    if (!bound_) {
        Placed();
        return;
    }
    if (!followed_ || Removed() || VariableBase() == nullptr) {
        return;
    }
    std::optional<avm1::Value> value = GetRuntime().Vm().GetVariable(variable_, VariableBase());
    if (value && !value->IsUndefined()) {
        TakeValue(*value);
    }
}

void TextFieldObject::TakeValue(const avm1::Value& value) {
    avm1::String text = GetRuntime().Vm().ToString(value, SwfVersion());
    if (text != text_ || html_ != definition_->html) {
        SetText(text, definition_->html);
    }
}

void TextFieldObject::WriteVariable() {
    if (!variable_.empty() && VariableBase() != nullptr) {
        GetRuntime().Vm().SetVariable(variable_, avm1::Value::Str(text_), VariableBase());
    }
}

swf::EditText& TextFieldObject::Edit() {
    if (!ownDefinition_) {
        definition_ = std::make_shared<const swf::EditText>(*definition_);
        ownDefinition_ = true;
    }
    return const_cast<swf::EditText&>(*definition_);
}

namespace {

double ColorNumber(Rgba c) {
    return double((std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b);
}

Rgba NumberColor(double n) {
    const auto v = static_cast<std::uint32_t>(avm1::ToInt32(n));
    return Rgba{static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                static_cast<std::uint8_t>(v), 255};
}

}  // namespace

std::optional<avm1::Value> TextFieldObject::GetMember(avm1::StringView name) {
    const int version = SwfVersion();
    auto is = [&](avm1::StringView member) { return avm1::NamesEqual(name, member, version); };
    if (is(u"text")) {
        return avm1::Value::Str(Text());
    }
    if (is(u"htmlText")) {
        SyncFromVariable();
        return avm1::Value::Str(text_);
    }
    if (is(u"variable")) {
        return variable_.empty() ? avm1::Value::Null() : avm1::Value::Str(variable_);
    }
    const swf::EditText& d = *definition_;
    const std::pair<const char16_t*, bool> flags[] = {
        {u"html", d.html},
        {u"border", look_.border},
        {u"background", look_.background},
        {u"multiline", d.multiline},
        {u"wordWrap", d.wordWrap},
        {u"password", d.password},
        {u"selectable", !d.noSelect},
        {u"embedFonts", d.useOutlines},
    };
    for (const auto& [member, value] : flags) {
        if (is(member)) {
            return avm1::Value::Bool(value);
        }
    }
    if (is(u"backgroundColor")) {
        return avm1::Value::Number(ColorNumber(look_.backgroundColor));
    }
    if (is(u"borderColor")) {
        return avm1::Value::Number(ColorNumber(look_.borderColor));
    }
    if (is(u"textColor")) {
        return avm1::Value::Number(d.hasTextColor ? ColorNumber(d.color) : 0);
    }
    if (is(u"maxChars")) {
        return d.hasMaxLength && d.maxLength > 0 ? avm1::Value::Number(d.maxLength)
                                                 : avm1::Value::Null();
    }
    if (is(u"type")) {
        return avm1::Value::Str(d.readOnly ? u"dynamic" : u"input");
    }
    if (is(u"length")) {
        return avm1::Value::Number(static_cast<double>(Text().size()));
    }
    return std::nullopt;
}

bool TextFieldObject::SetMember(avm1::StringView name, const avm1::Value& value) {
    const int version = SwfVersion();
    auto is = [&](avm1::StringView member) { return avm1::NamesEqual(name, member, version); };
    avm1::Vm& vm = GetRuntime().Vm();
    if (is(u"text") || is(u"htmlText")) {
        SetText(vm.ToString(value, version), is(u"htmlText"));
        WriteVariable();
        return true;
    }
    auto flag = [&] { return avm1::ToBoolean(vm.ToPrimitive(value, version), version); };
    if (is(u"border")) {
        look_.border = flag();
        return true;
    }
    if (is(u"background")) {
        look_.background = flag();
        return true;
    }
    if (is(u"backgroundColor") || is(u"borderColor") || is(u"textColor")) {
        const double n = vm.ToNumber(value, version);
        if (std::isnan(n)) {
            return true;
        }
        const Rgba color = NumberColor(n);
        if (is(u"backgroundColor")) {
            look_.backgroundColor = color;
        } else if (is(u"borderColor")) {
            look_.borderColor = color;
        } else {
            Edit().hasTextColor = true;
            Edit().color = color;
        }
        return true;
    }
    const std::pair<const char16_t*, bool swf::EditText::*> editable[] = {
        {u"multiline", &swf::EditText::multiline},
        {u"wordWrap", &swf::EditText::wordWrap},
        {u"password", &swf::EditText::password},
        {u"embedFonts", &swf::EditText::useOutlines},
    };
    for (const auto& [member, field] : editable) {
        if (is(member)) {
            Edit().*field = flag();
            return true;
        }
    }
    if (is(u"html")) {
        const bool html = flag();
        Edit().html = html;
        html_ = html_ && html;
        return true;
    }
    if (is(u"variable")) {
        // Bound anew: the field starts again from its own text.
        variable_ =
            value.IsUndefined() || value.IsNull() ? avm1::String() : vm.ToString(value, version);
        SetText(
            definition_->hasText ? Movie().ScriptText(definition_->initialText) : avm1::String(),
            definition_->html);
        Placed();
        return true;
    }
    return false;
}

namespace {

void SyncIn(DisplayObject& object) {
    if (auto* field = dynamic_cast<TextFieldObject*>(&object)) {
        field->SyncFromVariable();
        return;
    }
    object.ForEachChild([](DisplayObject& child) { SyncIn(child); });
}

}  // namespace

void SyncTextFields(Runtime& runtime) {
    for (const auto& [level, root] : runtime.Levels()) {
        SyncIn(*root);
    }
}

}  // namespace flash
