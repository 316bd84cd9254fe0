#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "flash/geom.h"
#include "flash/swf/display.h"
#include "flash/swf/movie.h"
#include "swfgen/bit_writer.h"
#include "swfgen/shape_builder.h"

namespace swfgen {

// Writes one FILTER record (id and body).
void WriteFilter(BitWriter& w, const flash::swf::Filter& filter);

// What a PlaceObject2/3 tag carries; fields left empty are not written.
struct Place {
    std::uint16_t depth = 1;
    bool move = false;
    std::optional<std::uint16_t> characterId;
    std::optional<flash::Matrix> matrix;
    std::optional<flash::ColorTransform> colorTransform;
    std::optional<std::uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<std::uint16_t> clipDepth;
    // PlaceObject3 only.
    std::optional<std::string> className;
    std::vector<flash::swf::Filter> filters;
    std::optional<flash::swf::BlendMode> blendMode;
    std::optional<bool> cacheAsBitmap;
    std::optional<bool> visible;
    // Clip actions: written with the SWF version's event flag size.
    std::vector<flash::swf::ClipAction> clipActions;
};

// A list of tags: a movie's root timeline or a sprite's. Each helper appends one tag.
class TagList {
  public:
    explicit TagList(std::uint8_t swfVersion = 10) : version_(swfVersion) {}

    // Any tag; `longForm` writes the 32-bit length even for a short body.
    TagList& Tag(std::uint16_t code, std::span<const std::uint8_t> body, bool longForm = false);

    TagList& ShowFrame();
    TagList& End();
    TagList& SetBackgroundColor(flash::Rgba color);
    TagList& FrameLabel(const std::string& name, bool anchor = false);
    TagList& PlaceObject(std::uint16_t characterId, std::uint16_t depth,
                         const flash::Matrix& matrix = {},
                         const std::optional<flash::ColorTransform>& cx = std::nullopt);
    TagList& PlaceObject2(const Place& place);
    TagList& PlaceObject3(const Place& place);
    TagList& RemoveObject(std::uint16_t characterId, std::uint16_t depth);
    TagList& RemoveObject2(std::uint16_t depth);
    TagList& DoAction(std::span<const std::uint8_t> actions);
    TagList& DoInitAction(std::uint16_t spriteId, std::span<const std::uint8_t> actions);
    TagList& ExportAssets(const std::vector<flash::swf::AssetName>& assets);
    TagList& FileAttributes(std::uint8_t flags);  // the first byte: 0x08 AS3, 0x01 network...
    TagList& Metadata(const std::string& xml);
    // A sprite with the given tags; ShowFrames in them set its frame count unless given.
    TagList& DefineSprite(std::uint16_t id, const TagList& tags,
                          std::optional<std::uint16_t> frameCount = std::nullopt);

    // Shapes (see ShapeBuilder) and morph shapes.
    TagList& DefineShape(std::uint16_t id, const ShapeBuilder& shape, int version = 3);
    TagList& DefineMorphShape(std::uint16_t id, const MorphShapeBuilder& morph, int version = 1);

    // Bitmaps. Alpha planes are one byte per pixel, uncompressed (they are compressed here);
    // lossless data is the uncompressed table and rows as the format stores them.
    TagList& JpegTables(std::span<const std::uint8_t> tables);
    TagList& DefineBits(std::uint16_t id, std::span<const std::uint8_t> jpeg);
    TagList& DefineBitsJpeg2(std::uint16_t id, std::span<const std::uint8_t> image);
    TagList& DefineBitsJpeg3(std::uint16_t id, std::span<const std::uint8_t> image,
                             std::span<const std::uint8_t> alpha);
    TagList& DefineBitsJpeg4(std::uint16_t id, std::span<const std::uint8_t> image,
                             std::span<const std::uint8_t> alpha, double deblocking);
    TagList& DefineBitsLossless(std::uint16_t id, int version, std::uint8_t format,
                                std::uint16_t width, std::uint16_t height,
                                std::span<const std::uint8_t> data,
                                std::uint16_t colorTableSize = 0);

    // Fonts and text, written from the reader's model (glyph edges in font units). The font's
    // version picks DefineFont, DefineFont2 or DefineFont3.
    TagList& DefineFont(std::uint16_t id, const flash::swf::Font& font);
    TagList& DefineFontInfo(std::uint16_t id, const flash::swf::Font& font, int version = 1);
    // Every record is written with its font, colour and offsets.
    TagList& DefineText(std::uint16_t id, const flash::swf::Text& text);
    TagList& DefineEditText(std::uint16_t id, const flash::swf::EditText& text);

    // Sounds, buttons and video.
    TagList& DefineSound(std::uint16_t id, const flash::swf::Sound& sound);
    TagList& StartSound(const flash::swf::StartSound& start);  // StartSound2 with a class name
    TagList& SoundStreamHead(const flash::swf::SoundStreamHead& head);
    TagList& SoundStreamBlock(std::span<const std::uint8_t> data);
    TagList& DefineButton(std::uint16_t id, const flash::swf::Button& button);  // by version
    TagList& DefineButtonCxform(std::uint16_t id, const flash::ColorTransform& cx);
    TagList& DefineButtonSound(std::uint16_t id, const flash::swf::ButtonSound (&sounds)[4]);
    TagList& DefineVideoStream(std::uint16_t id, const flash::swf::VideoStream& video);
    TagList& VideoFrame(const flash::swf::VideoFrame& frame);

    const Bytes& bytes() const { return bytes_; }
    std::uint16_t frameCount() const { return frames_; }
    std::uint8_t version() const { return version_; }
    bool ended() const { return ended_; }

  private:
    void WritePlace(BitWriter& w, const Place& place, int tagVersion) const;

    std::uint8_t version_;
    Bytes bytes_;
    std::uint16_t frames_ = 0;
    bool ended_ = false;
};

// A whole movie: header, tags, compression.
class MovieWriter : public TagList {
  public:
    MovieWriter(std::uint8_t version, flash::Rect stage, double framesPerSecond);

    // The file's bytes; an End tag is added when missing. The header's frame count is the
    // number of ShowFrame tags unless set.
    Bytes Build(flash::swf::Compression compression = flash::swf::Compression::None) const;
    void Save(const std::filesystem::path& file,
              flash::swf::Compression compression = flash::swf::Compression::None) const;
    void SetFrameCount(std::uint16_t count) { declaredFrames_ = count; }

  private:
    flash::Rect stage_;
    double fps_;
    std::optional<std::uint16_t> declaredFrames_;
};

}  // namespace swfgen
