#include "display/text_edit.h"

#include <algorithm>

namespace flash {

namespace {

// Typed line breaks become the "\r" fields keep; single-line fields take none.
bool Breaks(char16_t c) {
    return c == u'\r' || c == u'\n';
}

char16_t OtherCase(char16_t c) {
    if (c >= u'a' && c <= u'z') {
        return static_cast<char16_t>(c - u'a' + u'A');
    }
    if (c >= u'A' && c <= u'Z') {
        return static_cast<char16_t>(c - u'A' + u'a');
    }
    return c;
}

std::size_t LineStart(const avm1::String& text, std::size_t at) {
    while (at > 0 && !Breaks(text[at - 1])) {
        --at;
    }
    return at;
}

std::size_t LineEnd(const avm1::String& text, std::size_t at) {
    while (at < text.size() && !Breaks(text[at])) {
        ++at;
    }
    return at;
}

// The same column on the paragraph before or after, as far as that paragraph reaches.
std::size_t LineStep(const avm1::String& text, std::size_t at, bool down) {
    const std::size_t start = LineStart(text, at);
    const std::size_t column = at - start;
    if (down) {
        const std::size_t end = LineEnd(text, at);
        if (end >= text.size()) {
            return text.size();
        }
        return std::min(end + 1 + column, LineEnd(text, end + 1));
    }
    if (start == 0) {
        return 0;
    }
    const std::size_t previous = LineStart(text, start - 1);
    return std::min(previous + column, start - 1);
}

}  // namespace

void TextSelection::Clamp(std::size_t length) {
    anchor = std::min(anchor, length);
    caret = std::min(caret, length);
}

CharRestriction::CharRestriction(avm1::StringView pattern) {
    allowedByDefault_ = !pattern.empty() && pattern[0] == u'^';
    bool allowing = true;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char16_t c = pattern[i];
        if (c == u'^') {
            allowing = !allowing;
            continue;
        }
        if (c == u'\\' && i + 1 < pattern.size()) {
            c = pattern[++i];
        }
        char16_t last = c;
        if (i + 2 < pattern.size() && pattern[i + 1] == u'-') {
            i += 2;
            last = pattern[i];
            if (last == u'\\' && i + 1 < pattern.size()) {
                last = pattern[++i];
            }
        }
        ranges_.push_back({std::min(c, last), std::max(c, last), allowing});
    }
}

bool CharRestriction::Allows(char16_t c) const {
    bool allowed = allowedByDefault_;
    for (const Range& r : ranges_) {
        if (c >= r.first && c <= r.last) {
            allowed = r.allowed;
        }
    }
    return allowed;
}

std::optional<char16_t> CharRestriction::Admit(char16_t c) const {
    if (Allows(c)) {
        return c;
    }
    char16_t other = OtherCase(c);
    if (other != c && Allows(other)) {
        return other;
    }
    return std::nullopt;
}

std::optional<TextChange> TypingChange(const avm1::String& text, const TextSelection& selection,
                                       avm1::StringView typed, const EditLimits& limits) {
    TextSelection s = selection;
    s.Clamp(text.size());
    const std::size_t kept = text.size() - (s.End() - s.Begin());
    const std::size_t room = limits.maxChars == 0     ? typed.size()
                             : limits.maxChars > kept ? limits.maxChars - kept
                                                      : 0;
    avm1::String admitted;
    for (std::size_t i = 0; i < typed.size() && admitted.size() < room; ++i) {
        char16_t c = typed[i];
        if (Breaks(c)) {
            if (!limits.multiline) {
                continue;
            }
            if (c == u'\r' && i + 1 < typed.size() && typed[i + 1] == u'\n') {
                ++i;
            }
            admitted += u'\r';
            continue;
        }
        if (c < 0x20 && c != u'\t') {
            continue;
        }
        if (limits.restriction == nullptr) {
            admitted += c;
        } else if (std::optional<char16_t> in = limits.restriction->Admit(c)) {
            admitted += *in;
        }
    }
    if (admitted.empty()) {
        return std::nullopt;
    }
    return TextChange{s.Begin(), s.End(), std::move(admitted)};
}

std::optional<TextChange> DeletionChange(const avm1::String& text, const TextSelection& selection,
                                         bool forward) {
    TextSelection s = selection;
    s.Clamp(text.size());
    if (!s.Empty()) {
        return TextChange{s.Begin(), s.End(), {}};
    }
    if (forward ? s.caret >= text.size() : s.caret == 0) {
        return std::nullopt;
    }
    const std::size_t at = forward ? s.caret : s.caret - 1;
    return TextChange{at, at + 1, {}};
}

void ApplyChange(avm1::String& text, TextSelection& selection, const TextChange& change) {
    text.replace(change.begin, change.end - change.begin, change.text);
    selection.PlaceCaret(change.begin + change.text.size());
}

void MoveCaret(const avm1::String& text, TextSelection& selection, CaretMove move, bool extend) {
    selection.Clamp(text.size());
    std::size_t at = selection.caret;
    switch (move) {
        case CaretMove::Left:
            // Without shift, a selection collapses to its start.
            at = !extend && !selection.Empty() ? selection.Begin() : at > 0 ? at - 1 : 0;
            break;
        case CaretMove::Right:
            at = !extend && !selection.Empty() ? selection.End() : std::min(at + 1, text.size());
            break;
        case CaretMove::LineStart:
            at = LineStart(text, at);
            break;
        case CaretMove::LineEnd:
            at = LineEnd(text, at);
            break;
        case CaretMove::Up:
        case CaretMove::Down:
            at = LineStep(text, at, move == CaretMove::Down);
            break;
        case CaretMove::Start:
            at = 0;
            break;
        case CaretMove::End:
            at = text.size();
            break;
    }
    if (extend) {
        selection.caret = at;
    } else {
        selection.PlaceCaret(at);
    }
}

}  // namespace flash
