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

namespace swfgen {

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
