// TagList writers of fonts, text, sounds, buttons and video from the reader's model.

#include <algorithm>

#include "flash/swf/tag_codes.h"
#include "swfgen/tag_writer.h"

namespace swfgen {

using namespace flash::swf;

namespace {

void WriteSoundInfo(BitWriter& w, const SoundInfo& info) {
    std::uint8_t flags = 0;
    flags |= info.syncStop ? 0x20 : 0;
    flags |= info.syncNoMultiple ? 0x10 : 0;
    flags |= info.envelope.empty() ? 0 : 0x08;
    flags |= info.loopCount ? 0x04 : 0;
    flags |= info.outPoint ? 0x02 : 0;
    flags |= info.inPoint ? 0x01 : 0;
    w.U8(flags);
    if (info.inPoint) {
        w.U32(*info.inPoint);
    }
    if (info.outPoint) {
        w.U32(*info.outPoint);
    }
    if (info.loopCount) {
        w.U16(*info.loopCount);
    }
    if (!info.envelope.empty()) {
        w.U8(static_cast<std::uint8_t>(info.envelope.size()));
        for (const auto& p : info.envelope) {
            w.U32(p.pos44);
            w.U16(p.leftLevel);
            w.U16(p.rightLevel);
        }
    }
}

std::uint8_t FontFlags(const Font& f, bool hasLayout, bool wideOffsets) {
    return static_cast<std::uint8_t>((hasLayout ? 0x80 : 0) | (f.shiftJis ? 0x40 : 0) |
                                     (f.smallText ? 0x20 : 0) | (f.ansi ? 0x10 : 0) |
                                     (wideOffsets ? 0x08 : 0) | (f.wideCodes ? 0x04 : 0) |
                                     (f.italic ? 0x02 : 0) | (f.bold ? 0x01 : 0));
}

}  // namespace

TagList& TagList::DefineFont(std::uint16_t id, const Font& font) {
    std::vector<Bytes> shapes;
    for (const auto& g : font.glyphs) {
        shapes.push_back(ShapeBuilder::FromEdges(g.edges).GlyphShape());
    }
    BitWriter w;
    w.U16(id);
    if (font.version == 1) {
        std::size_t offset = shapes.size() * 2;
        for (const auto& s : shapes) {
            w.U16(static_cast<std::uint16_t>(offset));
            offset += s.size();
        }
        for (const auto& s : shapes) {
            w.Append(s);
        }
        return Tag(kTagDefineFont, w.bytes(), true);
    }
    std::size_t total = 0;
    for (const auto& s : shapes) {
        total += s.size();
    }
    const bool wide = total + shapes.size() * 2 + 2 > 0xFFFF;
    const std::size_t offsetSize = wide ? 4 : 2;
    w.U8(FontFlags(font, font.hasLayout, wide));
    w.U8(font.languageCode);
    w.U8(static_cast<std::uint8_t>(font.name.size()));
    w.Append(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(font.name.data()),
                                           font.name.size()));
    w.U16(static_cast<std::uint16_t>(font.glyphs.size()));
    std::size_t offset = (shapes.size() + 1) * offsetSize;
    auto writeOffset = [&](std::size_t v) {
        if (wide) {
            w.U32(static_cast<std::uint32_t>(v));
        } else {
            w.U16(static_cast<std::uint16_t>(v));
        }
    };
    for (const auto& s : shapes) {
        writeOffset(offset);
        offset += s.size();
    }
    writeOffset(offset);  // the code table
    for (const auto& s : shapes) {
        w.Append(s);
    }
    for (const auto& g : font.glyphs) {
        if (font.wideCodes) {
            w.U16(g.code);
        } else {
            w.U8(static_cast<std::uint8_t>(g.code));
        }
    }
    if (font.hasLayout) {
        w.U16(font.ascent);
        w.U16(font.descent);
        w.S16(font.leading);
        for (const auto& g : font.glyphs) {
            w.S16(g.advance);
        }
        for (const auto& g : font.glyphs) {
            w.Rect(g.bounds);
        }
        w.U16(static_cast<std::uint16_t>(font.kerning.size()));
        for (const auto& k : font.kerning) {
            if (font.wideCodes) {
                w.U16(k.code1);
                w.U16(k.code2);
            } else {
                w.U8(static_cast<std::uint8_t>(k.code1));
                w.U8(static_cast<std::uint8_t>(k.code2));
            }
            w.S16(k.adjustment);
        }
    }
    return Tag(font.version >= 3 ? kTagDefineFont3 : kTagDefineFont2, w.bytes(), true);
}

TagList& TagList::DefineFontInfo(std::uint16_t id, const Font& font, int version) {
    BitWriter w;
    w.U16(id);
    w.U8(static_cast<std::uint8_t>(font.name.size()));
    w.Append(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(font.name.data()),
                                           font.name.size()));
    const bool wide = font.wideCodes || version >= 2;
    w.U8(static_cast<std::uint8_t>((font.smallText ? 0x20 : 0) | (font.shiftJis ? 0x10 : 0) |
                                   (font.ansi ? 0x08 : 0) | (font.italic ? 0x04 : 0) |
                                   (font.bold ? 0x02 : 0) | (wide ? 0x01 : 0)));
    if (version >= 2) {
        w.U8(font.languageCode);
    }
    for (const auto& g : font.glyphs) {
        if (wide) {
            w.U16(g.code);
        } else {
            w.U8(static_cast<std::uint8_t>(g.code));
        }
    }
    return Tag(version >= 2 ? kTagDefineFontInfo2 : kTagDefineFontInfo, w.bytes(), true);
}

TagList& TagList::DefineText(std::uint16_t id, const Text& text) {
    std::uint32_t maxIndex = 0;
    std::int32_t maxAdvance = 0;
    for (const auto& r : text.records) {
        for (const auto& g : r.glyphs) {
            maxIndex = std::max(maxIndex, g.index);
            maxAdvance = std::max(maxAdvance, g.advance < 0 ? -g.advance : g.advance);
        }
    }
    const unsigned glyphBits = std::max(1u, BitWriter::UnsignedBits(maxIndex));
    const unsigned advanceBits = BitWriter::SignedBits(maxAdvance) + 1;
    BitWriter w;
    w.U16(id);
    w.Rect(text.bounds);
    w.Matrix(text.matrix);
    w.U8(static_cast<std::uint8_t>(glyphBits));
    w.U8(static_cast<std::uint8_t>(advanceBits));
    for (const auto& r : text.records) {
        w.U8(0x80 | 0x08 | 0x04 | 0x02 | 0x01);
        w.U16(r.fontId);
        if (text.version >= 2) {
            w.Rgba(r.color);
        } else {
            w.Rgb(r.color);
        }
        w.S16(static_cast<std::int16_t>(r.x));
        w.S16(static_cast<std::int16_t>(r.y));
        w.U16(r.height);
        w.U8(static_cast<std::uint8_t>(r.glyphs.size()));
        for (const auto& g : r.glyphs) {
            w.UB(g.index, glyphBits);
            w.SB(g.advance, advanceBits);
        }
        w.Align();
    }
    w.U8(0);
    return Tag(text.version >= 2 ? kTagDefineText2 : kTagDefineText, w.bytes(), true);
}

TagList& TagList::DefineEditText(std::uint16_t id, const EditText& t) {
    const bool hasFontClass = !t.fontClass.empty();
    BitWriter w;
    w.U16(id);
    w.Rect(t.bounds);
    w.U8(static_cast<std::uint8_t>((t.hasText ? 0x80 : 0) | (t.wordWrap ? 0x40 : 0) |
                                   (t.multiline ? 0x20 : 0) | (t.password ? 0x10 : 0) |
                                   (t.readOnly ? 0x08 : 0) | (t.hasTextColor ? 0x04 : 0) |
                                   (t.hasMaxLength ? 0x02 : 0) | (t.hasFont ? 0x01 : 0)));
    w.U8(static_cast<std::uint8_t>((hasFontClass ? 0x80 : 0) | (t.autoSize ? 0x40 : 0) |
                                   (t.hasLayout ? 0x20 : 0) | (t.noSelect ? 0x10 : 0) |
                                   (t.border ? 0x08 : 0) | (t.wasStatic ? 0x04 : 0) |
                                   (t.html ? 0x02 : 0) | (t.useOutlines ? 0x01 : 0)));
    if (t.hasFont) {
        w.U16(t.fontId);
    }
    if (hasFontClass) {
        w.String(t.fontClass);
    }
    if (t.hasFont || hasFontClass) {
        w.U16(t.fontHeight);
    }
    if (t.hasTextColor) {
        w.Rgba(t.color);
    }
    if (t.hasMaxLength) {
        w.U16(t.maxLength);
    }
    if (t.hasLayout) {
        w.U8(static_cast<std::uint8_t>(t.align));
        w.U16(t.leftMargin);
        w.U16(t.rightMargin);
        w.U16(t.indent);
        w.S16(t.leading);
    }
    w.String(t.variableName);
    if (t.hasText) {
        w.String(t.initialText);
    }
    return Tag(kTagDefineEditText, w.bytes(), true);
}

TagList& TagList::DefineSound(std::uint16_t id, const Sound& s) {
    BitWriter w;
    w.U16(id);
    w.UB(static_cast<unsigned>(s.format), 4);
    w.UB(s.rate, 2);
    w.Flag(s.is16Bit);
    w.Flag(s.stereo);
    w.U32(s.sampleCount);
    w.Append(s.data);
    return Tag(kTagDefineSound, w.bytes(), true);
}

TagList& TagList::StartSound(const flash::swf::StartSound& start) {
    BitWriter w;
    if (!start.className.empty()) {
        w.String(start.className);
    } else {
        w.U16(start.soundId);
    }
    WriteSoundInfo(w, start.info);
    return Tag(start.className.empty() ? kTagStartSound : kTagStartSound2, w.bytes());
}

TagList& TagList::SoundStreamHead(const flash::swf::SoundStreamHead& h) {
    BitWriter w;
    w.UB(0, 4);
    w.UB(h.playbackRate, 2);
    w.Flag(h.playbackIs16Bit);
    w.Flag(h.playbackStereo);
    w.UB(static_cast<unsigned>(h.format), 4);
    w.UB(h.rate, 2);
    w.Flag(h.is16Bit);
    w.Flag(h.stereo);
    w.U16(h.sampleCount);
    if (h.format == SoundFormat::Mp3) {
        w.S16(h.latencySeek);
    }
    return Tag(h.version >= 2 ? kTagSoundStreamHead2 : kTagSoundStreamHead, w.bytes());
}

TagList& TagList::SoundStreamBlock(std::span<const std::uint8_t> data) {
    return Tag(kTagSoundStreamBlock, data, true);
}

TagList& TagList::DefineButton(std::uint16_t id, const Button& b) {
    const bool v2 = b.version >= 2;
    BitWriter records;
    for (const auto& r : b.records) {
        const bool filters = v2 && !r.filters.empty();
        const bool blend = v2 && r.blendMode != BlendMode::Normal;
        records.U8(static_cast<std::uint8_t>((blend ? 0x20 : 0) | (filters ? 0x10 : 0) |
                                             (r.states & 0x0F)));
        records.U16(r.characterId);
        records.U16(r.depth);
        records.Matrix(r.matrix);
        if (v2) {
            records.ColorTransform(r.colorTransform, true);
            if (filters) {
                records.U8(static_cast<std::uint8_t>(r.filters.size()));
                for (const auto& f : r.filters) {
                    WriteFilter(records, f);
                }
            }
            if (blend) {
                records.U8(static_cast<std::uint8_t>(r.blendMode));
            }
        }
    }
    records.U8(0);
    BitWriter w;
    w.U16(id);
    if (!v2) {
        w.Append(records.bytes());
        if (!b.actions.empty()) {
            w.Append(b.actions.front().actions);
        }
        return Tag(kTagDefineButton, w.bytes(), true);
    }
    w.U8(b.trackAsMenu ? 1 : 0);
    w.U16(b.actions.empty() ? 0 : static_cast<std::uint16_t>(records.size() + 2));
    w.Append(records.bytes());
    for (std::size_t i = 0; i < b.actions.size(); ++i) {
        const ButtonAction& a = b.actions[i];
        const bool last = i + 1 == b.actions.size();
        w.U16(last ? 0 : static_cast<std::uint16_t>(a.actions.size() + 4));
        // Eight condition bits, then the key code and the ninth bit.
        w.U8(static_cast<std::uint8_t>(a.conditions >> 8));
        w.U8(static_cast<std::uint8_t>((a.keyCode & 0x7F) << 1 | (a.conditions & 1)));
        w.Append(a.actions);
    }
    return Tag(kTagDefineButton2, w.bytes(), true);
}

TagList& TagList::DefineButtonCxform(std::uint16_t id, const flash::ColorTransform& cx) {
    BitWriter w;
    w.U16(id);
    w.ColorTransform(cx, false);
    return Tag(kTagDefineButtonCxform, w.bytes());
}

TagList& TagList::DefineButtonSound(std::uint16_t id, const ButtonSound (&sounds)[4]) {
    BitWriter w;
    w.U16(id);
    for (const auto& s : sounds) {
        w.U16(s.soundId);
        if (s.soundId != 0) {
            WriteSoundInfo(w, s.info);
        }
    }
    return Tag(kTagDefineButtonSound, w.bytes());
}

TagList& TagList::DefineVideoStream(std::uint16_t id, const VideoStream& v) {
    BitWriter w;
    w.U16(id);
    w.U16(v.frameCount);
    w.U16(v.width);
    w.U16(v.height);
    w.U8(static_cast<std::uint8_t>((v.deblocking & 7) << 1 | (v.smoothing ? 1 : 0)));
    w.U8(static_cast<std::uint8_t>(v.codec));
    return Tag(kTagDefineVideoStream, w.bytes());
}

TagList& TagList::VideoFrame(const flash::swf::VideoFrame& f) {
    BitWriter w;
    w.U16(f.streamId);
    w.U16(f.frameNumber);
    w.Append(f.data);
    return Tag(kTagVideoFrame, w.bytes(), true);
}

}  // namespace swfgen
