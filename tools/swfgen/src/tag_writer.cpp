#include "swfgen/tag_writer.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <variant>

#include "flash/swf/tag_codes.h"
#include "swfgen/image_encoder.h"

namespace swfgen {
namespace {

using namespace flash::swf;

std::uint8_t FilterFlagByte(bool inner, bool knockout, bool composite, bool onTop,
                            std::uint8_t passes, bool withOnTop) {
    std::uint8_t b = static_cast<std::uint8_t>((inner ? 0x80 : 0) | (knockout ? 0x40 : 0) |
                                               (composite ? 0x20 : 0));
    if (withOnTop) {
        b |= static_cast<std::uint8_t>((onTop ? 0x10 : 0) | (passes & 0x0F));
    } else {
        b |= passes & 0x1F;
    }
    return b;
}

}  // namespace

void WriteFilter(BitWriter& w, const Filter& filter) {
    std::visit(
        [&](const auto& f) {
            using T = std::decay_t<decltype(f)>;
            if constexpr (std::is_same_v<T, DropShadowFilter>) {
                w.U8(0);
                w.Rgba(f.color);
                w.Fixed(f.blurX);
                w.Fixed(f.blurY);
                w.Fixed(f.angle);
                w.Fixed(f.distance);
                w.Fixed8(f.strength);
                w.U8(
                    FilterFlagByte(f.inner, f.knockout, f.compositeSource, false, f.passes, false));
            } else if constexpr (std::is_same_v<T, BlurFilter>) {
                w.U8(1);
                w.Fixed(f.blurX);
                w.Fixed(f.blurY);
                w.U8(static_cast<std::uint8_t>(f.passes << 3));
            } else if constexpr (std::is_same_v<T, GlowFilter>) {
                w.U8(2);
                w.Rgba(f.color);
                w.Fixed(f.blurX);
                w.Fixed(f.blurY);
                w.Fixed8(f.strength);
                w.U8(
                    FilterFlagByte(f.inner, f.knockout, f.compositeSource, false, f.passes, false));
            } else if constexpr (std::is_same_v<T, BevelFilter>) {
                w.U8(3);
                w.Rgba(f.shadowColor);
                w.Rgba(f.highlightColor);
                w.Fixed(f.blurX);
                w.Fixed(f.blurY);
                w.Fixed(f.angle);
                w.Fixed(f.distance);
                w.Fixed8(f.strength);
                w.U8(FilterFlagByte(f.inner, f.knockout, f.compositeSource, f.onTop, f.passes,
                                    true));
            } else if constexpr (std::is_same_v<T, GradientFilter>) {
                w.U8(f.bevel ? 7 : 4);
                w.U8(static_cast<std::uint8_t>(f.colors.size()));
                for (const auto& c : f.colors) {
                    w.Rgba(c);
                }
                for (std::size_t i = 0; i < f.colors.size(); ++i) {
                    w.U8(i < f.ratios.size() ? f.ratios[i] : 0);
                }
                w.Fixed(f.blurX);
                w.Fixed(f.blurY);
                w.Fixed(f.angle);
                w.Fixed(f.distance);
                w.Fixed8(f.strength);
                w.U8(FilterFlagByte(f.inner, f.knockout, f.compositeSource, f.onTop, f.passes,
                                    true));
            } else if constexpr (std::is_same_v<T, ConvolutionFilter>) {
                w.U8(5);
                w.U8(f.matrixX);
                w.U8(f.matrixY);
                w.Float(f.divisor);
                w.Float(f.bias);
                for (float v : f.matrix) {
                    w.Float(v);
                }
                w.Rgba(f.defaultColor);
                w.U8(static_cast<std::uint8_t>((f.clamp ? 2 : 0) | (f.preserveAlpha ? 1 : 0)));
            } else {
                w.U8(6);
                for (float v : f.matrix) {
                    w.Float(v);
                }
            }
        },
        filter);
}

TagList& TagList::Tag(std::uint16_t code, std::span<const std::uint8_t> body, bool longForm) {
    BitWriter w;
    if (!longForm && body.size() < 0x3F) {
        w.U16(static_cast<std::uint16_t>(code << 6 | body.size()));
    } else {
        w.U16(static_cast<std::uint16_t>(code << 6 | 0x3F));
        w.U32(static_cast<std::uint32_t>(body.size()));
    }
    w.Append(body);
    const Bytes& head = w.bytes();
    bytes_.insert(bytes_.end(), head.begin(), head.end());
    if (code == kTagShowFrame) {
        ++frames_;
    }
    if (code == kTagEnd) {
        ended_ = true;
    }
    return *this;
}

TagList& TagList::ShowFrame() {
    return Tag(kTagShowFrame, {});
}

TagList& TagList::End() {
    return Tag(kTagEnd, {});
}

TagList& TagList::SetBackgroundColor(flash::Rgba color) {
    BitWriter w;
    w.Rgb(color);
    return Tag(kTagSetBackgroundColor, w.bytes());
}

TagList& TagList::FrameLabel(const std::string& name, bool anchor) {
    BitWriter w;
    w.String(name);
    if (anchor) {
        w.U8(1);
    }
    return Tag(kTagFrameLabel, w.bytes());
}

TagList& TagList::PlaceObject(std::uint16_t characterId, std::uint16_t depth,
                              const flash::Matrix& matrix,
                              const std::optional<flash::ColorTransform>& cx) {
    BitWriter w;
    w.U16(characterId);
    w.U16(depth);
    w.Matrix(matrix);
    if (cx) {
        w.ColorTransform(*cx, false);
    }
    return Tag(kTagPlaceObject, w.bytes());
}

void TagList::WritePlace(BitWriter& w, const Place& p, int tagVersion) const {
    std::uint8_t flags = 0;
    flags |= p.clipActions.empty() ? 0 : 0x80;
    flags |= p.clipDepth ? 0x40 : 0;
    flags |= p.name ? 0x20 : 0;
    flags |= p.ratio ? 0x10 : 0;
    flags |= p.colorTransform ? 0x08 : 0;
    flags |= p.matrix ? 0x04 : 0;
    flags |= p.characterId ? 0x02 : 0;
    flags |= p.move ? 0x01 : 0;
    w.U8(flags);
    if (tagVersion >= 3) {
        std::uint8_t flags3 = 0;
        flags3 |= p.visible ? 0x20 : 0;
        flags3 |= p.className ? 0x08 : 0;
        flags3 |= p.cacheAsBitmap ? 0x04 : 0;
        flags3 |= p.blendMode ? 0x02 : 0;
        flags3 |= p.filters.empty() ? 0 : 0x01;
        w.U8(flags3);
    }
    w.U16(p.depth);
    if (tagVersion >= 3 && p.className) {
        w.String(*p.className);
    }
    if (p.characterId) {
        w.U16(*p.characterId);
    }
    if (p.matrix) {
        w.Matrix(*p.matrix);
    }
    if (p.colorTransform) {
        w.ColorTransform(*p.colorTransform, true);
    }
    if (p.ratio) {
        w.U16(*p.ratio);
    }
    if (p.name) {
        w.String(*p.name);
    }
    if (p.clipDepth) {
        w.U16(*p.clipDepth);
    }
    if (tagVersion >= 3) {
        if (!p.filters.empty()) {
            w.U8(static_cast<std::uint8_t>(p.filters.size()));
            for (const Filter& f : p.filters) {
                WriteFilter(w, f);
            }
        }
        if (p.blendMode) {
            w.U8(static_cast<std::uint8_t>(*p.blendMode));
        }
        if (p.cacheAsBitmap) {
            w.U8(*p.cacheAsBitmap ? 1 : 0);
        }
        if (p.visible) {
            w.U8(*p.visible ? 1 : 0);
        }
    }
    if (!p.clipActions.empty()) {
        const bool wide = version_ >= 6;
        auto events = [&](std::uint32_t e) {
            if (wide) {
                w.U32(e);
            } else {
                w.U16(static_cast<std::uint16_t>(e));
            }
        };
        w.U16(0);
        std::uint32_t all = 0;
        for (const auto& a : p.clipActions) {
            all |= a.events;
        }
        events(all);
        for (const auto& a : p.clipActions) {
            events(a.events);
            const bool key = (a.events & kClipKeyPress) != 0;
            w.U32(static_cast<std::uint32_t>(a.actions.size() + (key ? 1 : 0)));
            if (key) {
                w.U8(a.keyCode);
            }
            w.Append(a.actions);
        }
        events(0);
    }
}

TagList& TagList::PlaceObject2(const Place& place) {
    BitWriter w;
    WritePlace(w, place, 2);
    return Tag(kTagPlaceObject2, w.bytes());
}

TagList& TagList::PlaceObject3(const Place& place) {
    BitWriter w;
    WritePlace(w, place, 3);
    return Tag(kTagPlaceObject3, w.bytes());
}

TagList& TagList::RemoveObject(std::uint16_t characterId, std::uint16_t depth) {
    BitWriter w;
    w.U16(characterId);
    w.U16(depth);
    return Tag(kTagRemoveObject, w.bytes());
}

TagList& TagList::RemoveObject2(std::uint16_t depth) {
    BitWriter w;
    w.U16(depth);
    return Tag(kTagRemoveObject2, w.bytes());
}

TagList& TagList::DoAction(std::span<const std::uint8_t> actions) {
    return Tag(kTagDoAction, actions);
}

TagList& TagList::DoInitAction(std::uint16_t spriteId, std::span<const std::uint8_t> actions) {
    BitWriter w;
    w.U16(spriteId);
    w.Append(actions);
    return Tag(kTagDoInitAction, w.bytes());
}

TagList& TagList::ExportAssets(const std::vector<AssetName>& assets) {
    BitWriter w;
    w.U16(static_cast<std::uint16_t>(assets.size()));
    for (const auto& a : assets) {
        w.U16(a.id);
        w.String(a.name);
    }
    return Tag(kTagExportAssets, w.bytes());
}

TagList& TagList::FileAttributes(std::uint8_t flags) {
    const std::uint8_t body[4] = {flags, 0, 0, 0};
    return Tag(kTagFileAttributes, body);
}

TagList& TagList::Metadata(const std::string& xml) {
    BitWriter w;
    w.String(xml);
    return Tag(kTagMetadata, w.bytes());
}

TagList& TagList::DefineSprite(std::uint16_t id, const TagList& tags,
                               std::optional<std::uint16_t> frameCount) {
    BitWriter w;
    w.U16(id);
    w.U16(frameCount.value_or(tags.frameCount()));
    w.Append(tags.bytes());
    if (!tags.ended_) {
        w.U16(0);  // End
    }
    return Tag(kTagDefineSprite, w.bytes(), true);
}

TagList& TagList::DefineShape(std::uint16_t id, const ShapeBuilder& shape, int version) {
    static constexpr std::uint16_t kCodes[] = {kTagDefineShape, kTagDefineShape, kTagDefineShape2,
                                               kTagDefineShape3, kTagDefineShape4};
    return Tag(kCodes[std::clamp(version, 1, 4)], shape.DefineShape(id, version), true);
}

TagList& TagList::DefineMorphShape(std::uint16_t id, const MorphShapeBuilder& morph, int version) {
    return Tag(version >= 2 ? kTagDefineMorphShape2 : kTagDefineMorphShape,
               morph.DefineMorphShape(id, version), true);
}

TagList& TagList::JpegTables(std::span<const std::uint8_t> tables) {
    return Tag(kTagJpegTables, tables, true);
}

TagList& TagList::DefineBits(std::uint16_t id, std::span<const std::uint8_t> jpeg) {
    BitWriter w;
    w.U16(id);
    w.Append(jpeg);
    return Tag(kTagDefineBits, w.bytes(), true);
}

TagList& TagList::DefineBitsJpeg2(std::uint16_t id, std::span<const std::uint8_t> image) {
    BitWriter w;
    w.U16(id);
    w.Append(image);
    return Tag(kTagDefineBitsJpeg2, w.bytes(), true);
}

TagList& TagList::DefineBitsJpeg3(std::uint16_t id, std::span<const std::uint8_t> image,
                                  std::span<const std::uint8_t> alpha) {
    BitWriter w;
    w.U16(id);
    w.U32(static_cast<std::uint32_t>(image.size()));
    w.Append(image);
    w.Append(Compress(alpha));
    return Tag(kTagDefineBitsJpeg3, w.bytes(), true);
}

TagList& TagList::DefineBitsJpeg4(std::uint16_t id, std::span<const std::uint8_t> image,
                                  std::span<const std::uint8_t> alpha, double deblocking) {
    BitWriter w;
    w.U16(id);
    w.U32(static_cast<std::uint32_t>(image.size()));
    w.U16(static_cast<std::uint16_t>(std::lround(deblocking * 256)));
    w.Append(image);
    w.Append(Compress(alpha));
    return Tag(kTagDefineBitsJpeg4, w.bytes(), true);
}

TagList& TagList::DefineBitsLossless(std::uint16_t id, int version, std::uint8_t format,
                                     std::uint16_t width, std::uint16_t height,
                                     std::span<const std::uint8_t> data,
                                     std::uint16_t colorTableSize) {
    BitWriter w;
    w.U16(id);
    w.U8(format);
    w.U16(width);
    w.U16(height);
    if (format == 3) {
        w.U8(static_cast<std::uint8_t>(colorTableSize - 1));
    }
    w.Append(Compress(data));
    return Tag(version >= 2 ? kTagDefineBitsLossless2 : kTagDefineBitsLossless, w.bytes(), true);
}

MovieWriter::MovieWriter(std::uint8_t version, flash::Rect stage, double framesPerSecond)
    : TagList(version), stage_(stage), fps_(framesPerSecond) {}

namespace {

Bytes Deflate(const Bytes& in) {
    uLongf size = compressBound(static_cast<uLong>(in.size()));
    Bytes out(size);
    if (compress2(out.data(), &size, in.data(), static_cast<uLong>(in.size()), 9) != Z_OK) {
        throw std::runtime_error("zlib compression failed");
    }
    out.resize(size);
    return out;
}

// Raw LZMA data and its five property bytes, as a ZWS file stores them.
Bytes Lzma(const Bytes& in, std::uint8_t props[5]) {
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    lzma_stream z = LZMA_STREAM_INIT;
    if (lzma_alone_encoder(&z, &options) != LZMA_OK) {
        throw std::runtime_error("LZMA compression failed to start");
    }
    Bytes out(in.size() + in.size() / 2 + 4096);
    z.next_in = in.data();
    z.avail_in = in.size();
    z.next_out = out.data();
    z.avail_out = out.size();
    const lzma_ret rc = lzma_code(&z, LZMA_FINISH);
    const std::size_t written = out.size() - z.avail_out;
    lzma_end(&z);
    if (rc != LZMA_STREAM_END || written < 13) {
        throw std::runtime_error("LZMA compression failed");
    }
    // The .lzma header: five property bytes and the 64-bit size; ZWS keeps only the first.
    std::copy(out.begin(), out.begin() + 5, props);
    return Bytes(out.begin() + 13, out.begin() + static_cast<std::ptrdiff_t>(written));
}

Bytes Signature(char first) {
    return {std::uint8_t(first), 'W', 'S'};
}

}  // namespace

Bytes MovieWriter::Build(flash::swf::Compression compression) const {
    BitWriter body;
    body.Rect(stage_);
    body.U16(static_cast<std::uint16_t>(std::lround(fps_ * 256.0)));
    body.U16(declaredFrames_.value_or(frameCount()));
    body.Append(bytes());
    Bytes tail = body.bytes();
    if (!ended()) {
        tail.push_back(0);
        tail.push_back(0);
    }
    const auto fileLength = static_cast<std::uint32_t>(tail.size() + 8);
    BitWriter out;
    switch (compression) {
        case Compression::None:
            out.Append(Signature('F'));
            out.U8(version());
            out.U32(fileLength);
            out.Append(tail);
            break;
        case Compression::Zlib:
            out.Append(Signature('C'));
            out.U8(version());
            out.U32(fileLength);
            out.Append(Deflate(tail));
            break;
        case Compression::Lzma: {
            std::uint8_t props[5];
            const Bytes data = Lzma(tail, props);
            out.Append(Signature('Z'));
            out.U8(version());
            out.U32(fileLength);
            out.U32(static_cast<std::uint32_t>(data.size()));
            out.Append(props);
            out.Append(data);
            break;
        }
    }
    return out.bytes();
}

void MovieWriter::Save(const std::filesystem::path& file,
                       flash::swf::Compression compression) const {
    const Bytes data = Build(compression);
    std::ofstream f(file, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!f) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

}  // namespace swfgen
