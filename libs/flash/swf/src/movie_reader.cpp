// The tag walk: splits a timeline into tags and frames and hands each tag body to its reader.

#include <fstream>
#include <iterator>
#include <map>

#include "container.h"
#include "flash/swf/error.h"
#include "flash/swf/movie.h"
#include "flash/swf/tag_codes.h"
#include "parsers.h"

namespace flash::swf {
namespace {

using detail::Unpacked;

// Sprites inside sprites are not valid; a little nesting is tolerated, no more, so that
// forged data cannot exhaust the stack.
constexpr int kMaxSpriteNesting = 4;

std::vector<std::uint8_t> Copy(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

// A string at the end of a tag whose NUL may be missing.
std::string ReadTrailingString(BitReader& r) {
    const std::size_t start = r.position();
    const auto rest = r.ReadRest();
    std::string s(rest.begin(), rest.end());
    const auto nul = s.find('\0');
    if (nul != std::string::npos) {
        s.resize(nul);
        r.Seek(start + nul + 1);
    }
    return s;
}

std::vector<AssetName> ReadAssetNames(BitReader& r) {
    const std::uint16_t count = r.ReadU16();
    std::vector<AssetName> names;
    for (unsigned i = 0; i < count; ++i) {
        AssetName a;
        a.id = r.ReadU16();
        a.name = r.ReadString();
        names.push_back(std::move(a));
    }
    return names;
}

class MovieReader {
  public:
    explicit MovieReader(Movie& movie) : movie_(movie) {}

    // Walks the tags of one timeline into frames; returns whether an End tag closed it.
    bool Walk(std::span<const std::uint8_t> data, std::size_t base, std::vector<Frame>& frames,
              int nesting);

    void Finish();

  private:
    void Note(std::size_t offset, std::uint16_t code, std::string message) {
        // A damaged movie could note something for every tag; a few are enough to go on.
        if (movie_.diagnostics.size() < 1000) {
            movie_.diagnostics.push_back({offset, code, std::move(message)});
        }
    }
    // `offset` is where the tag starts, `bodyOffset` where its body does.
    void ReadTag(std::uint16_t code, std::span<const std::uint8_t> body, std::size_t offset,
                 std::size_t bodyOffset, Frame& frame, int nesting);
    template <typename T>
    void Define(Frame& frame, std::uint16_t id, std::shared_ptr<T> character) {
        frame.tags.push_back(
            DefineCharacter{id, Character{std::shared_ptr<const T>(std::move(character))}});
    }
    std::shared_ptr<Bitmap> ReadBitmap(std::uint16_t code, BitReader& r);

    Movie& movie_;
    std::shared_ptr<const std::vector<std::uint8_t>> jpegTables_;
    std::vector<std::shared_ptr<Bitmap>> jpegBitmaps_;  // DefineBits, given tables at the end
    std::map<std::uint16_t, std::shared_ptr<Font>> fonts_;
    std::map<std::uint16_t, std::shared_ptr<Button>> buttons_;
};

bool MovieReader::Walk(std::span<const std::uint8_t> data, std::size_t base,
                       std::vector<Frame>& frames, int nesting) {
    BitReader r(data);
    Frame frame;
    bool ended = false;
    while (!r.AtEnd()) {
        const std::size_t tagStart = r.position();
        if (r.remaining() < 2) {
            Note(base + tagStart, 0, "tag header cut short");
            break;
        }
        const std::uint16_t head = r.ReadU16();
        const auto code = static_cast<std::uint16_t>(head >> 6);
        std::size_t length = head & 0x3F;
        if (length == 0x3F) {
            if (r.remaining() < 4) {
                Note(base + tagStart, code, "tag header cut short");
                break;
            }
            length = r.ReadU32();
        }
        if (length > r.remaining()) {
            Note(base + tagStart, code, "tag runs past the end of the data");
            break;
        }
        const std::size_t bodyStart = r.position();
        const auto body = r.ReadBytes(length);
        if (code == kTagEnd) {
            ended = true;
            break;
        }
        if (code == kTagShowFrame) {
            frame.tags.shrink_to_fit();  // movies keep thousands of frames
            frames.push_back(std::move(frame));
            frame = Frame{};
            continue;
        }
        try {
            ReadTag(code, body, base + tagStart, base + bodyStart, frame, nesting);
        } catch (const ParseError& e) {
            Note(base + tagStart, code, std::string("tag skipped: ") + e.what());
        }
    }
    if (!frame.tags.empty() || !frame.labels.empty()) {
        frame.shown = false;
        frames.push_back(std::move(frame));
    }
    return ended;
}

std::shared_ptr<Bitmap> MovieReader::ReadBitmap(std::uint16_t code, BitReader& r) {
    auto b = std::make_shared<Bitmap>();
    switch (code) {
        case kTagDefineBits:
            b->kind = BitmapKind::Jpeg;
            b->data = Copy(r.ReadRest());
            b->jpegTables = jpegTables_;
            jpegBitmaps_.push_back(b);
            break;
        case kTagDefineBitsJpeg2:
            b->kind = BitmapKind::Jpeg2;
            b->data = Copy(r.ReadRest());
            break;
        case kTagDefineBitsJpeg3:
        case kTagDefineBitsJpeg4: {
            b->kind = code == kTagDefineBitsJpeg3 ? BitmapKind::Jpeg3 : BitmapKind::Jpeg4;
            const std::uint32_t imageSize = r.ReadU32();
            if (code == kTagDefineBitsJpeg4) {
                b->deblocking = r.ReadU16() / 256.0;
            }
            if (imageSize > r.remaining()) {
                throw ParseError("image data runs past the tag");
            }
            b->data = Copy(r.ReadBytes(imageSize));
            b->alphaData = Copy(r.ReadRest());
            break;
        }
        default: {  // the lossless kinds
            b->kind = code == kTagDefineBitsLossless ? BitmapKind::Lossless : BitmapKind::Lossless2;
            b->format = r.ReadU8();
            b->width = r.ReadU16();
            b->height = r.ReadU16();
            if (b->format == 3) {
                b->colorTableSize = static_cast<std::uint16_t>(r.ReadU8() + 1);
            }
            b->data = Copy(r.ReadRest());
            break;
        }
    }
    return b;
}

void MovieReader::ReadTag(std::uint16_t code, std::span<const std::uint8_t> body,
                          std::size_t offset, std::size_t bodyOffset, Frame& frame, int nesting) {
    BitReader r(body);
    const int swfVersion = movie_.header.version;
    switch (code) {
        // Display list and frames.
        case kTagPlaceObject:
            frame.tags.push_back(detail::ReadPlaceObject(r, 1, swfVersion));
            return;
        case kTagPlaceObject2:
            frame.tags.push_back(detail::ReadPlaceObject(r, 2, swfVersion));
            return;
        case kTagPlaceObject3:
            frame.tags.push_back(detail::ReadPlaceObject(r, 3, swfVersion));
            return;
        case kTagRemoveObject:
            frame.tags.push_back(detail::ReadRemoveObject(r, 1));
            return;
        case kTagRemoveObject2:
            frame.tags.push_back(detail::ReadRemoveObject(r, 2));
            return;
        case kTagFrameLabel: {
            FrameLabel label;
            label.name = ReadTrailingString(r);
            label.anchor = !r.AtEnd() && r.ReadU8() == 1;
            frame.labels.push_back(std::move(label));
            return;
        }
        case kTagSetBackgroundColor:
            frame.tags.push_back(SetBackgroundColor{r.ReadRgb()});
            return;
        case kTagDoAction:
            frame.tags.push_back(DoAction{Copy(r.ReadRest())});
            return;
        case kTagDoInitAction: {
            DoInitAction a;
            a.spriteId = r.ReadU16();
            a.actions = Copy(r.ReadRest());
            frame.tags.push_back(std::move(a));
            return;
        }

        // Character definitions.
        case kTagDefineShape:
        case kTagDefineShape2:
        case kTagDefineShape3:
        case kTagDefineShape4: {
            const std::uint16_t id = r.ReadU16();
            const int version = code == kTagDefineShape    ? 1
                                : code == kTagDefineShape2 ? 2
                                : code == kTagDefineShape3 ? 3
                                                           : 4;
            Define(frame, id, std::make_shared<Shape>(detail::ReadShape(r, version)));
            return;
        }
        case kTagDefineMorphShape:
        case kTagDefineMorphShape2: {
            const std::uint16_t id = r.ReadU16();
            Define(frame, id,
                   std::make_shared<MorphShape>(
                       detail::ReadMorphShape(r, code == kTagDefineMorphShape ? 1 : 2)));
            return;
        }
        case kTagJpegTables:
            // Only the first counts; writers put an empty one into movies without DefineBits.
            if (!jpegTables_ && !body.empty()) {
                jpegTables_ = std::make_shared<const std::vector<std::uint8_t>>(Copy(body));
            }
            return;
        case kTagDefineBits:
        case kTagDefineBitsJpeg2:
        case kTagDefineBitsJpeg3:
        case kTagDefineBitsJpeg4:
        case kTagDefineBitsLossless:
        case kTagDefineBitsLossless2: {
            const std::uint16_t id = r.ReadU16();
            Define(frame, id, ReadBitmap(code, r));
            return;
        }
        case kTagDefineFont:
        case kTagDefineFont2:
        case kTagDefineFont3: {
            const std::uint16_t id = r.ReadU16();
            const int version = code == kTagDefineFont ? 1 : code == kTagDefineFont2 ? 2 : 3;
            auto font = std::make_shared<Font>(detail::ReadFont(r, version));
            fonts_[id] = font;
            Define(frame, id, font);
            return;
        }
        case kTagDefineFontInfo:
        case kTagDefineFontInfo2: {
            const std::uint16_t id = r.ReadU16();
            const auto it = fonts_.find(id);
            if (it == fonts_.end()) {
                Note(offset, code, "font information for an unknown font");
                return;
            }
            detail::ReadFontInfo(r, code == kTagDefineFontInfo ? 1 : 2, *it->second);
            return;
        }
        case kTagDefineText:
        case kTagDefineText2: {
            const std::uint16_t id = r.ReadU16();
            Define(frame, id,
                   std::make_shared<Text>(detail::ReadText(r, code == kTagDefineText ? 1 : 2)));
            return;
        }
        case kTagDefineEditText: {
            const std::uint16_t id = r.ReadU16();
            Define(frame, id, std::make_shared<EditText>(detail::ReadEditText(r)));
            return;
        }
        case kTagDefineSprite: {
            const std::uint16_t id = r.ReadU16();
            if (nesting >= kMaxSpriteNesting) {
                throw ParseError("sprites nested too deep");
            }
            auto sprite = std::make_shared<Sprite>();
            sprite->frameCount = r.ReadU16();
            const std::size_t at = r.position();
            Walk(r.ReadRest(), bodyOffset + at, sprite->frames, nesting + 1);
            Define(frame, id, sprite);
            return;
        }
        case kTagDefineButton:
        case kTagDefineButton2: {
            const std::uint16_t id = r.ReadU16();
            auto button =
                std::make_shared<Button>(detail::ReadButton(r, code == kTagDefineButton ? 1 : 2));
            buttons_[id] = button;
            Define(frame, id, button);
            return;
        }
        case kTagDefineButtonCxform:
        case kTagDefineButtonSound: {
            const std::uint16_t id = r.ReadU16();
            const auto it = buttons_.find(id);
            if (it == buttons_.end()) {
                Note(offset, code, "button information for an unknown button");
                return;
            }
            if (code == kTagDefineButtonCxform) {
                detail::ReadButtonCxform(r, *it->second);
            } else {
                detail::ReadButtonSound(r, *it->second);
            }
            return;
        }
        case kTagDefineSound: {
            const std::uint16_t id = r.ReadU16();
            Define(frame, id, std::make_shared<Sound>(detail::ReadSound(r)));
            return;
        }
        case kTagDefineVideoStream: {
            const std::uint16_t id = r.ReadU16();
            Define(frame, id, std::make_shared<VideoStream>(detail::ReadVideoStream(r)));
            return;
        }

        // Sound and video in the timeline.
        case kTagStartSound: {
            StartSound s;
            s.soundId = r.ReadU16();
            s.info = detail::ReadSoundInfo(r);
            frame.tags.push_back(std::move(s));
            return;
        }
        case kTagStartSound2: {
            StartSound s;
            s.className = r.ReadString();
            s.info = detail::ReadSoundInfo(r);
            frame.tags.push_back(std::move(s));
            return;
        }
        case kTagSoundStreamHead:
        case kTagSoundStreamHead2:
            frame.tags.push_back(
                detail::ReadSoundStreamHead(r, code == kTagSoundStreamHead ? 1 : 2));
            return;
        case kTagSoundStreamBlock:
            frame.tags.push_back(SoundStreamBlock{Copy(body)});
            return;
        case kTagVideoFrame: {
            VideoFrame v;
            v.streamId = r.ReadU16();
            v.frameNumber = r.ReadU16();
            v.data = Copy(r.ReadRest());
            frame.tags.push_back(std::move(v));
            return;
        }

        // Movie-wide information.
        case kTagExportAssets:
            frame.tags.push_back(ExportAssets{ReadAssetNames(r)});
            return;
        case kTagImportAssets:
        case kTagImportAssets2: {
            ImportAssets a;
            a.url = r.ReadString();
            if (code == kTagImportAssets2) {
                r.Skip(2);
            }
            a.assets = ReadAssetNames(r);
            frame.tags.push_back(std::move(a));
            return;
        }
        case kTagScriptLimits: {
            ScriptLimits s;
            s.maxRecursionDepth = r.ReadU16();
            s.scriptTimeoutSeconds = r.ReadU16();
            frame.tags.push_back(s);
            return;
        }
        case kTagSetTabIndex: {
            SetTabIndex s;
            s.depth = r.ReadU16();
            s.tabIndex = r.ReadU16();
            frame.tags.push_back(s);
            return;
        }
        case kTagCsmTextSettings: {
            const std::uint16_t id = r.ReadU16();
            TextRenderSettings t;
            const std::uint8_t flags = r.ReadU8();
            t.advanced = (flags >> 6) == 1;
            t.gridFit = static_cast<std::uint8_t>((flags >> 3) & 7);
            t.thickness = r.ReadFloat();
            t.sharpness = r.ReadFloat();
            movie_.textSettings[id] = t;
            return;
        }
        case kTagDefineScalingGrid: {
            DefineScalingGrid g;
            g.characterId = r.ReadU16();
            g.splitter = r.ReadRect();
            frame.tags.push_back(g);
            return;
        }
        case kTagFileAttributes:
            if (nesting == 0 && !body.empty()) {
                const std::uint8_t b = body[0];
                movie_.hasAttributes = true;
                movie_.attributes.useDirectBlit = (b & 0x40) != 0;
                movie_.attributes.useGpu = (b & 0x20) != 0;
                movie_.attributes.hasMetadata = (b & 0x10) != 0;
                movie_.attributes.actionScript3 = (b & 0x08) != 0;
                movie_.attributes.useNetwork = (b & 0x01) != 0;
            }
            return;
        case kTagMetadata:
            if (nesting == 0) {
                movie_.metadata = ReadTrailingString(r);
            }
            return;
        case kTagProtect:
        case kTagEnableDebugger:
        case kTagEnableDebugger2:
        case kTagDebugId:
        case kTagProductInfo:
        case kTagEnableTelemetry:
            return;  // no effect on playing
        default:
            frame.tags.push_back(UnknownTag{code, Copy(body)});
            return;
    }
}

void MovieReader::Finish() {
    // A JPEGTables after the bitmaps that need it still applies to them.
    if (jpegTables_) {
        for (const auto& b : jpegBitmaps_) {
            if (!b->jpegTables) {
                b->jpegTables = jpegTables_;
            }
        }
    }
}

Header ReadHeader(const Unpacked& u, BitReader& r) {
    Header h;
    h.compression = u.compression;
    h.version = u.version;
    h.fileLength = u.fileLength;
    r.Seek(8);
    h.frameSize = r.ReadRect();
    h.frameRate = r.ReadU16();
    h.frameCount = r.ReadU16();
    return h;
}

}  // namespace

Movie ParseMovie(std::span<const std::uint8_t> bytes) {
    const Unpacked u = detail::Unpack(bytes);
    Movie movie;
    BitReader r(u.bytes);
    try {
        movie.header = ReadHeader(u, r);
    } catch (const ParseError&) {
        throw ParseError(u.damaged ? "the movie's compressed data is damaged: " + u.problem
                                   : "the movie's header is incomplete");
    }
    if (u.damaged) {
        movie.diagnostics.push_back({u.bytes.size(), 0, u.problem});
    }
    MovieReader reader(movie);
    const std::size_t start = r.position();
    auto tags = r.ReadRest();
    // Flash reads no further than the declared length, whatever follows it in the file.
    const std::size_t declared = movie.header.fileLength;
    if (declared >= start && declared < u.bytes.size()) {
        tags = tags.first(declared - start);
        movie.diagnostics.push_back({declared, 0, "data past the declared file length ignored"});
    }
    const bool ended = reader.Walk(tags, start, movie.frames, 0);
    reader.Finish();
    movie.truncated = !ended;
    return movie;
}

Movie LoadMovie(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw ParseError("cannot open " + file.string());
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw ParseError("cannot read " + file.string());
    }
    return ParseMovie(bytes);
}

Header ParseHeader(std::span<const std::uint8_t> bytes) {
    // The header is at most 8 + 17 (RECT) + 4 bytes.
    const Unpacked u = detail::Unpack(bytes, 64);
    BitReader r(u.bytes);
    try {
        return ReadHeader(u, r);
    } catch (const ParseError&) {
        throw ParseError("the movie's header is incomplete");
    }
}

}  // namespace flash::swf
