#include "display/text_field_format.h"

#include <algorithm>

namespace flash {

namespace {

// Applies `f` to each property pair of two formats.
template <typename F>
void EachProperty(TextFormatValues& a, const TextFormatValues& b, F&& f) {
    f(a.font, b.font);
    f(a.size, b.size);
    f(a.color, b.color);
    f(a.bold, b.bold);
    f(a.italic, b.italic);
    f(a.underline, b.underline);
    f(a.url, b.url);
    f(a.target, b.target);
    f(a.align, b.align);
    f(a.leftMargin, b.leftMargin);
    f(a.rightMargin, b.rightMargin);
    f(a.indent, b.indent);
    f(a.leading, b.leading);
    f(a.blockIndent, b.blockIndent);
    f(a.bullet, b.bullet);
    f(a.tabStops, b.tabStops);
    f(a.letterSpacing, b.letterSpacing);
    f(a.kerning, b.kerning);
    f(a.display, b.display);
}

}  // namespace

void TextFormatValues::MergeFrom(const TextFormatValues& other) {
    EachProperty(*this, other, [](auto& mine, const auto& theirs) {
        if (theirs) {
            mine = theirs;
        }
    });
}

void TextFormatValues::IntersectWith(const TextFormatValues& other) {
    EachProperty(*this, other, [](auto& mine, const auto& theirs) {
        if (mine != theirs) {
            mine.reset();
        }
    });
}

TextFormatValues DefaultFieldFormat() {
    TextFormatValues f;
    f.font = u"Times New Roman";
    f.size = 12;
    f.color = 0;
    f.bold = false;
    f.italic = false;
    f.underline = false;
    f.url = u"";
    f.target = u"";
    f.align = u"left";
    f.leftMargin = 0;
    f.rightMargin = 0;
    f.indent = 0;
    f.leading = 0;
    f.blockIndent = 0;
    f.bullet = false;
    f.tabStops = std::vector<double>();
    f.letterSpacing = 0;
    f.kerning = false;
    return f;
}

void FormattedText::Assign(const avm1::String& text, const TextFormatValues& format) {
    text_ = text;
    runs_.clear();
    runs_.push_back({text.size(), format});
}

std::size_t FormattedText::SplitAt(std::size_t pos) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        if (start == pos) {
            return i;
        }
        if (pos < start + runs_[i].length) {
            Run tail{start + runs_[i].length - pos, runs_[i].format};
            runs_[i].length = pos - start;
            runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
            return i + 1;
        }
        start += runs_[i].length;
    }
    return runs_.size();
}

void FormattedText::Coalesce() {
    std::vector<Run> merged;
    for (Run& run : runs_) {
        if (run.length == 0) {
            continue;
        }
        if (!merged.empty() && merged.back().format == run.format) {
            merged.back().length += run.length;
        } else {
            merged.push_back(std::move(run));
        }
    }
    runs_ = std::move(merged);
}

void FormattedText::Replace(std::size_t begin, std::size_t end, const avm1::String& text,
                            const TextFormatValues& format) {
    end = std::min(end, text_.size());
    begin = std::min(begin, end);
    const std::size_t first = SplitAt(begin);
    const std::size_t last = SplitAt(end);
    runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(first),
                runs_.begin() + static_cast<std::ptrdiff_t>(last));
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(first), Run{text.size(), format});
    text_.replace(begin, end - begin, text);
    Coalesce();
}

void FormattedText::Append(const avm1::String& text, const TextFormatValues& format) {
    Replace(text_.size(), text_.size(), text, format);
}

void FormattedText::ApplyFormat(std::size_t begin, std::size_t end,
                                const TextFormatValues& format) {
    end = std::min(end, text_.size());
    if (begin >= end) {
        return;
    }
    const std::size_t first = SplitAt(begin);
    const std::size_t last = SplitAt(end);
    for (std::size_t i = first; i < last; ++i) {
        runs_[i].format.MergeFrom(format);
    }
    Coalesce();
}

std::optional<TextFormatValues> FormattedText::FormatOf(std::size_t begin, std::size_t end) const {
    std::optional<TextFormatValues> shared;
    std::size_t start = 0;
    for (const Run& run : runs_) {
        const std::size_t stop = start + run.length;
        const bool touches =
            begin == end ? (begin >= start && begin < stop) : (start < end && stop > begin);
        if (touches) {
            if (shared) {
                shared->IntersectWith(run.format);
            } else {
                shared = run.format;
            }
        }
        start = stop;
    }
    return shared;
}

}  // namespace flash
