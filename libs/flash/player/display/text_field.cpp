#include "display/text_field.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "display/movie_clip.h"
#include "display/text_field_html.h"
#include "flash/avm1/convert.h"
#include "flash/render/field_text.h"
#include "runtime/movie_data.h"
#include "runtime/runtime.h"

namespace flash {

namespace {

avm1::String AlignName(swf::TextAlign align) {
    switch (align) {
        case swf::TextAlign::Right:
            return u"right";
        case swf::TextAlign::Center:
            return u"center";
        case swf::TextAlign::Justify:
            return u"justify";
        default:
            return u"left";
    }
}

swf::TextAlign AlignOf(const std::optional<avm1::String>& name) {
    if (name == u"right")
        return swf::TextAlign::Right;
    if (name == u"center")
        return swf::TextAlign::Center;
    if (name == u"justify")
        return swf::TextAlign::Justify;
    return swf::TextAlign::Left;
}

std::uint16_t Twips(const std::optional<double>& px) {
    return static_cast<std::uint16_t>(std::clamp(px.value_or(0) * 20, 0.0, 65535.0));
}

// Space between a field's bounds and its text, in twips.
constexpr std::int32_t kGutter = 40;

Rgba ColorOf(std::uint32_t c) {
    return Rgba{static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                static_cast<std::uint8_t>(c), 255};
}

}  // namespace

TextFieldObject::TextFieldObject(Runtime& runtime, std::shared_ptr<MovieData> movie,
                                 std::uint16_t characterId,
                                 std::shared_ptr<const swf::EditText> definition)
    : TimelessClip(runtime, std::move(movie), characterId),
      definition_(std::move(definition)),
      look_(render::EditTextLook::Of(*definition_)) {
    // Setting the initial text may replace definition_; keep this one alive meanwhile.
    const std::shared_ptr<const swf::EditText> own = definition_;
    const swf::EditText& d = *own;
    settings_.html = d.html;
    settings_.multiline = d.multiline;
    settings_.wordWrap = d.wordWrap;
    settings_.password = d.password;
    settings_.selectable = !d.noSelect;
    settings_.editable = !d.readOnly;
    settings_.embedFonts = d.useOutlines;
    settings_.autoSize = d.autoSize ? AutoSize::Left : AutoSize::None;
    settings_.maxChars = d.hasMaxLength ? d.maxLength : 0;
    ApplyRenderSettings();
    newFormat_ = InitialFormat();
    SetInitialText();
    variable_ = Movie().ScriptText(d.variableName);
}

TextFieldObject::~TextFieldObject() = default;

void TextFieldObject::ApplyRenderSettings() {
    const auto& all = Movie().Model().textSettings;
    auto it = all.find(CharacterId());
    if (it == all.end()) {
        return;
    }
    static constexpr const char16_t* kGridFit[] = {u"none", u"pixel", u"subpixel"};
    const swf::TextRenderSettings& t = it->second;
    settings_.antiAliasType = t.advanced ? u"advanced" : u"normal";
    if (t.gridFit < std::size(kGridFit)) {
        settings_.gridFitType = kGridFit[t.gridFit];
    }
    settings_.thickness = t.thickness;
    settings_.sharpness = t.sharpness;
}

TextFormatValues TextFieldObject::InitialFormat() const {
    const swf::EditText& d = *definition_;
    TextFormatValues f = DefaultFieldFormat();
    if (d.hasFont) {
        if (const swf::Character* c = Movie().Character(d.fontId)) {
            if (const auto* font = std::get_if<std::shared_ptr<const swf::Font>>(c)) {
                if (*font && !(*font)->name.empty()) {
                    f.font = Movie().ScriptText((*font)->name);
                    f.bold = (*font)->bold;
                    f.italic = (*font)->italic;
                }
            }
        }
        f.size = d.fontHeight / 20.0;
    }
    if (d.hasTextColor) {
        f.color = (std::uint32_t(d.color.r) << 16) | (std::uint32_t(d.color.g) << 8) | d.color.b;
    }
    if (d.hasLayout) {
        // An HTML field's paragraphs start left aligned; <p align> changes that.
        f.align = d.html ? u"left" : AlignName(d.align);
        f.leftMargin = d.leftMargin / 20.0;
        f.rightMargin = d.rightMargin / 20.0;
        f.indent = d.indent / 20.0;
        f.leading = d.leading / 20.0;
    }
    return f;
}

void TextFieldObject::SetInitialText() {
    const swf::EditText& d = *definition_;
    const avm1::String text = d.hasText ? Movie().ScriptText(d.initialText) : avm1::String();
    if (d.html) {
        content_ = ParseFieldHtml(text, newFormat_, {settings_.condenseWhite});
    } else {
        content_.Assign(text, newFormat_);
    }
    Changed();
}

Rect TextFieldObject::LocalBounds() const {
    return definition_->bounds;
}

bool TextFieldObject::HitsPoint(Point local) const {
    const Rect& b = definition_->bounds;
    return local.x >= b.xmin && local.x <= b.xmax && local.y >= b.ymin && local.y <= b.ymax;
}

void TextFieldObject::SetText(const avm1::String& text, bool html) {
    Load(text, html);
    WriteVariable();
}

void TextFieldObject::Load(const avm1::String& text, bool html) {
    if (html && settings_.html) {
        // HTML paragraphs start left aligned, and so does what is typed after them.
        newFormat_.align = u"left";
        content_ = ParseFieldHtml(text, newFormat_, {settings_.condenseWhite});
    } else {
        // Plain text breaks paragraphs at CR, LF and CRLF alike.
        avm1::String chars;
        chars.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                continue;
            }
            chars += text[i] == u'\n' ? u'\r' : text[i];
        }
        content_.Assign(chars, newFormat_);
    }
    Changed();
}

void TextFieldObject::ReplaceText(std::size_t begin, std::size_t end, const avm1::String& text,
                                  const TextFormatValues& format) {
    content_.Replace(begin, end, text, format);
    Changed();
    WriteVariable();
}

void TextFieldObject::ReplaceSelection(const avm1::String& text) {
    selection_.Clamp(content_.size());
    const std::size_t begin = selection_.Begin();
    content_.Replace(begin, selection_.End(), text, newFormat_);
    selection_.PlaceCaret(begin + text.size());
    Changed();
    WriteVariable();
}

void TextFieldObject::SetSelection(std::size_t begin, std::size_t end) {
    const std::size_t last = std::min(std::max(begin, end), content_.size());
    selection_.Select(std::min(std::min(begin, end), last), last);
}

void TextFieldObject::ApplyFormat(std::size_t begin, std::size_t end,
                                  const TextFormatValues& format) {
    content_.ApplyFormat(begin, end, format);
    Changed();
}

void TextFieldObject::SetNewTextFormat(const TextFormatValues& format) {
    newFormat_.MergeFrom(format);
}

avm1::String TextFieldObject::Text() {
    SyncFromVariable();
    return content_.Text();
}

avm1::String TextFieldObject::HtmlText() {
    SyncFromVariable();
    return WriteFieldHtml(content_);
}

avm1::Clip* TextFieldObject::VariableBase() {
    // Variables are looked up from the timeline that holds the field.
    MovieClip* clip = ParentClip();
    return clip != nullptr ? clip->ScriptClip() : nullptr;
}

void TextFieldObject::SetVariable(const avm1::String& variable) {
    variable_ = variable;
    SetInitialText();
    Placed();
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
    } else if (onClip && content_.size() > 0) {
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
    if (text != variableText_) {
        variableText_ = text;
        Load(text, settings_.html);
    }
}

void TextFieldObject::WriteVariable() {
    if (variable_.empty() || VariableBase() == nullptr) {
        return;
    }
    variableText_ = settings_.html ? WriteFieldHtml(content_) : content_.Text();
    GetRuntime().Vm().SetVariable(variable_, avm1::Value::Str(variableText_), VariableBase());
}

swf::EditText& TextFieldObject::Edit() {
    if (!ownDefinition_) {
        definition_ = std::make_shared<const swf::EditText>(*definition_);
        ownDefinition_ = true;
    }
    return const_cast<swf::EditText&>(*definition_);
}

void TextFieldObject::SetBounds(const Rect& bounds) {
    Edit().bounds = bounds;
    Changed();
}

avm1::Value TextFieldObject::GetProperty(avm1::Property property) {
    // A field's place is its rectangle's corner.
    const Rect& b = definition_->bounds;
    if (property == avm1::Property::X && GetMatrix().a == 1 && GetMatrix().c == 0) {
        return avm1::Value::Number((GetMatrix().tx + b.xmin - origin_.x) / 20.0);
    }
    if (property == avm1::Property::Y && GetMatrix().d == 1 && GetMatrix().b == 0) {
        return avm1::Value::Number((GetMatrix().ty + b.ymin - origin_.y) / 20.0);
    }
    return TimelessClip::GetProperty(property);
}

void TextFieldObject::SetProperty(avm1::Property property, const avm1::Value& value) {
    using P = avm1::Property;
    const double v = value.IsNumber() ? value.AsNumber() : std::nan("");
    const bool place = property == P::X || property == P::Y;
    const bool size = property == P::Width || property == P::Height;
    if ((!place && !size) || GetMatrix().b != 0 || GetMatrix().c != 0) {
        TimelessClip::SetProperty(property, value);
        return;
    }
    if (!std::isfinite(v)) {
        return;
    }
    const double twips = std::trunc(std::clamp(v * 20, -1e9, 1e9));
    if (place) {
        Matrix m = GetMatrix();
        const Rect& b = definition_->bounds;
        (property == P::X ? m.tx : m.ty) =
            twips - (property == P::X ? b.xmin - origin_.x : b.ymin - origin_.y);
        SetMatrix(m);
        SetScriptTransformed();
        return;
    }
    const double scale = property == P::Width ? GetMatrix().a : GetMatrix().d;
    if (scale == 0 || twips < 0) {
        return;
    }
    Rect b = definition_->bounds;
    const auto local = static_cast<std::int32_t>(std::trunc(twips / std::abs(scale)));
    (property == P::Width ? b.xmax : b.ymax) = (property == P::Width ? b.xmin : b.ymin) + local;
    SetBounds(b);
}

void TextFieldObject::SettingsChanged() {
    swf::EditText& d = Edit();
    d.multiline = settings_.multiline;
    d.wordWrap = settings_.wordWrap;
    d.password = settings_.password;
    d.useOutlines = settings_.embedFonts;
    d.noSelect = !settings_.selectable;
    d.readOnly = !settings_.editable;
    Changed();
}

void TextFieldObject::Changed() {
    // The renderer lays out one format per field from the definition: the first
    // paragraph's, with runs that differ in colour or size as HTML.
    const std::optional<TextFormatValues> first = content_.FormatOf(0, 0);
    const TextFormatValues& f = first ? *first : newFormat_;
    swf::EditText& d = Edit();
    d.align = AlignOf(f.align);
    d.leftMargin = Twips(f.leftMargin);
    d.rightMargin = Twips(f.rightMargin);
    d.indent = Twips(f.indent);
    d.leading =
        static_cast<std::int16_t>(std::clamp(f.leading.value_or(0) * 20, -32768.0, 32767.0));
    d.hasLayout = true;
    d.hasTextColor = true;
    d.color = ColorOf(f.color.value_or(0));
    if (f.size) {
        d.fontHeight = static_cast<std::uint16_t>(std::clamp(*f.size * 20, 0.0, 65535.0));
    }
    // An embedded font the format names takes the place of the definition's.
    if (settings_.embedFonts && f.font) {
        if (auto id =
                Movie().EmbeddedFont(*f.font, f.bold.value_or(false), f.italic.value_or(false))) {
            d.hasFont = true;
            d.fontId = *id;
        }
    }
    shownHtml_ = content_.Runs().size() > 1;
    shown_ = avm1::ToUtf8(shownHtml_ ? WriteFieldHtml(content_) : content_.Text());
    extent_.reset();
    ApplyAutoSize();
}

const render::FieldTextExtent& TextFieldObject::Extent() {
    if (!extent_) {
        MovieData& movie = Movie();
        extent_ =
            render::MeasureEditText(*definition_, shown_, shownHtml_,
                                    [&movie](std::uint16_t id) { return movie.Character(id); });
    }
    return *extent_;
}

double TextFieldObject::TextWidth() {
    SyncFromVariable();
    return content_.size() == 0 ? 0 : std::round(Extent().width) / 20;
}

double TextFieldObject::TextHeight() {
    SyncFromVariable();
    const render::FieldTextExtent& e = Extent();
    if (content_.size() == 0 || e.lineHeights.empty()) {
        return 0;
    }
    // Whole pixels per line; the leading after the last of several lines does not count.
    double height = 0;
    for (double h : e.lineHeights) {
        height += std::round(h / 20);
    }
    const auto gaps = static_cast<double>(std::max<std::size_t>(e.lineHeights.size() - 1, 1));
    return height + std::round(e.leading / 20) * gaps;
}

int TextFieldObject::VisibleLines(int from) {
    const std::vector<double>& heights = Extent().lineHeights;
    const double room = (definition_->bounds.ymax - definition_->bounds.ymin) - 2 * kGutter;
    double used = 0;
    int n = 0;
    for (std::size_t i = static_cast<std::size_t>(std::max(from, 1) - 1); i < heights.size(); ++i) {
        used += heights[i];
        if (n > 0 && used > room + 1) {
            break;
        }
        ++n;
    }
    return std::max(n, 1);
}

int TextFieldObject::MaxScroll() {
    const int lines = static_cast<int>(Extent().lineHeights.size());
    // The first line that shows the last one at the bottom.
    const std::vector<double>& heights = Extent().lineHeights;
    const double room = (definition_->bounds.ymax - definition_->bounds.ymin) - 2 * kGutter;
    if (lines == 0) {
        return 1;
    }
    const double leading = Extent().leading;
    double used = heights.back();
    int first = lines;
    while (first > 1 && used + heights[static_cast<std::size_t>(first - 2)] + leading <= room + 1) {
        used += heights[static_cast<std::size_t>(first - 2)] + leading;
        --first;
    }
    return std::max(first, 1);
}

int TextFieldObject::Scroll() {
    return std::clamp(settings_.scroll, 1, MaxScroll());
}

int TextFieldObject::BottomScroll() {
    const int lines = static_cast<int>(Extent().lineHeights.size());
    const int scroll = Scroll();
    return std::max(1, std::min(lines, scroll + VisibleLines(scroll) - 1));
}

int TextFieldObject::MaxHScroll() {
    const double room = (definition_->bounds.xmax - definition_->bounds.xmin) - 2 * kGutter;
    return settings_.wordWrap ? 0 : std::max(0, static_cast<int>((Extent().width - room) / 20));
}

void TextFieldObject::ApplyAutoSize() {
    if (settings_.autoSize == AutoSize::None) {
        return;
    }
    const render::FieldTextExtent& e = Extent();
    Rect b = definition_->bounds;
    const std::int32_t height =
        static_cast<std::int32_t>(std::round(content_.size() == 0 ? 0 : e.height)) + 2 * kGutter;
    b.ymax = b.ymin + height;
    if (!settings_.wordWrap) {
        const std::int32_t width =
            static_cast<std::int32_t>(std::round(content_.size() == 0 ? 0 : e.width)) + 2 * kGutter;
        switch (settings_.autoSize) {
            case AutoSize::Right:
                b.xmin = b.xmax - width;
                break;
            case AutoSize::Center: {
                const std::int32_t center = (b.xmin + b.xmax) / 2;
                b.xmin = center - width / 2;
                b.xmax = b.xmin + width;
                break;
            }
            default:
                b.xmax = b.xmin + width;
        }
    }
    if (b != definition_->bounds) {
        Edit().bounds = b;
        extent_.reset();
    }
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
