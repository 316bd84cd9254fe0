#pragma once

// The character formats of text fields: what a TextFormat object holds and what each run of
// a field's text is drawn with. A property without a value is null to scripts: not given, or
// different across the characters asked about.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "flash/avm1/value.h"

namespace flash {

struct TextFormatValues {
    std::optional<avm1::String> font;
    std::optional<double> size;  // pixels
    std::optional<std::uint32_t> color;
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> underline;
    std::optional<avm1::String> url;
    std::optional<avm1::String> target;
    std::optional<avm1::String> align;  // "left", "center", "right" or "justify"
    std::optional<double> leftMargin;   // pixels
    std::optional<double> rightMargin;
    std::optional<double> indent;
    std::optional<double> leading;
    std::optional<double> blockIndent;
    std::optional<bool> bullet;
    std::optional<std::vector<double>> tabStops;
    std::optional<double> letterSpacing;
    std::optional<bool> kerning;
    std::optional<avm1::String> display;  // "block", "inline" or "none"

    bool operator==(const TextFormatValues&) const = default;

    // Takes every property `other` has.
    void MergeFrom(const TextFormatValues& other);
    // Keeps only the properties that `other` has with the same value.
    void IntersectWith(const TextFormatValues& other);
};

// The format a new field types with: Times New Roman 12, black, left aligned, no margins.
TextFormatValues DefaultFieldFormat();

// A field's text with one full format per run. Positions count UTF-16 units.
class FormattedText {
  public:
    struct Run {
        std::size_t length = 0;
        TextFormatValues format;
    };

    const avm1::String& Text() const { return text_; }
    const std::vector<Run>& Runs() const { return runs_; }
    std::size_t size() const { return text_.size(); }

    // All of it replaced by `text` in one format.
    void Assign(const avm1::String& text, const TextFormatValues& format);
    // [begin, end) replaced by `text` in `format` (both clamped to the text).
    void Replace(std::size_t begin, std::size_t end, const avm1::String& text,
                 const TextFormatValues& format);
    // Appends `text` in `format` (merged with the last run when the same).
    void Append(const avm1::String& text, const TextFormatValues& format);
    // The properties of `format` given to the characters of [begin, end).
    void ApplyFormat(std::size_t begin, std::size_t end, const TextFormatValues& format);
    // What the characters of [begin, end) share; the format at `begin` for an empty range.
    std::optional<TextFormatValues> FormatOf(std::size_t begin, std::size_t end) const;

  private:
    // Splits runs so that one starts at `pos`; returns its index.
    std::size_t SplitAt(std::size_t pos);
    void Coalesce();

    avm1::String text_;
    std::vector<Run> runs_;
};

}  // namespace flash
