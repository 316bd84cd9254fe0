#pragma once

// A parsed movie: its header and its timeline of tags grouped into frames. The reader only
// turns bytes into this model; playing it is the runtime's job.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "flash/geom.h"
#include "flash/swf/bitmap.h"
#include "flash/swf/button.h"
#include "flash/swf/display.h"
#include "flash/swf/morph.h"
#include "flash/swf/shape.h"
#include "flash/swf/sound.h"
#include "flash/swf/text.h"
#include "flash/swf/video.h"

namespace flash::swf {

enum class Compression : std::uint8_t { None, Zlib, Lzma };  // FWS, CWS, ZWS

struct Header {
    Compression compression = Compression::None;
    std::uint8_t version = 0;
    std::uint32_t fileLength = 0;  // as declared: the uncompressed length, header included
    Rect frameSize;                // the stage, twips
    std::uint16_t frameRate = 0;   // 8.8 fixed point frames per second
    std::uint16_t frameCount = 0;  // as declared

    double FramesPerSecond() const { return frameRate / 256.0; }
};

struct Sprite;

// A character definition, shared between the movie and whoever keeps it (the dictionary).
using Character = std::variant<std::shared_ptr<const Shape>, std::shared_ptr<const MorphShape>,
                               std::shared_ptr<const Bitmap>, std::shared_ptr<const Font>,
                               std::shared_ptr<const Text>, std::shared_ptr<const EditText>,
                               std::shared_ptr<const Sprite>, std::shared_ptr<const Button>,
                               std::shared_ptr<const Sound>, std::shared_ptr<const VideoStream>>;

// Any DefineXxx tag. DefineFontInfo, DefineButtonCxform and DefineButtonSound are merged into
// the character they refer to, and JPEGTables into the DefineBits bitmaps after it.
struct DefineCharacter {
    std::uint16_t id = 0;
    Character character;
};

struct SetBackgroundColor {
    Rgba color;
};

struct FrameLabel {
    std::string name;  // bytes as stored
    bool anchor = false;
    bool operator==(const FrameLabel&) const = default;
};

// Raw action bytes for the interpreter.
struct DoAction {
    std::vector<std::uint8_t> actions;
};

struct DoInitAction {
    std::uint16_t spriteId = 0;
    std::vector<std::uint8_t> actions;
};

struct AssetName {
    std::uint16_t id = 0;
    std::string name;
    bool operator==(const AssetName&) const = default;
};

struct ExportAssets {
    std::vector<AssetName> assets;
};

// ImportAssets and ImportAssets2.
struct ImportAssets {
    std::string url;
    std::vector<AssetName> assets;
};

struct ScriptLimits {
    std::uint16_t maxRecursionDepth = 256;
    std::uint16_t scriptTimeoutSeconds = 15;
};

struct SetTabIndex {
    std::uint16_t depth = 0;
    std::uint16_t tabIndex = 0;
};

struct DefineScalingGrid {
    std::uint16_t characterId = 0;
    Rect splitter;
};

// A tag the reader does not model, kept by its code.
struct UnknownTag {
    std::uint16_t code = 0;
    std::vector<std::uint8_t> data;
};

using Tag = std::variant<DefineCharacter, PlaceObject, RemoveObject, SetBackgroundColor, DoAction,
                         DoInitAction, StartSound, SoundStreamHead, SoundStreamBlock, VideoFrame,
                         ExportAssets, ImportAssets, ScriptLimits, SetTabIndex, DefineScalingGrid,
                         UnknownTag>;

// The tags of one frame in file order, up to its ShowFrame. Labels are kept apart.
struct Frame {
    std::vector<Tag> tags;
    std::vector<FrameLabel> labels;
    bool shown = true;  // false for trailing tags that no ShowFrame closed
};

// DefineSprite: a timeline of its own.
struct Sprite {
    std::uint16_t frameCount = 0;  // as declared
    std::vector<Frame> frames;
};

// FileAttributes flags.
struct FileAttributes {
    bool useDirectBlit = false;
    bool useGpu = false;
    bool hasMetadata = false;
    bool actionScript3 = false;
    bool useNetwork = false;
};

// Something in the data that the reader skipped or repaired, for logs and tests.
struct Diagnostic {
    std::size_t offset = 0;  // in the uncompressed movie
    std::uint16_t tagCode = 0;
    std::string message;
};

struct Movie {
    Header header;
    FileAttributes attributes;
    bool hasAttributes = false;
    std::string metadata;       // the Metadata tag's XML, bytes as stored
    std::vector<Frame> frames;  // the root timeline
    // Rendering settings of text characters, by character id.
    std::map<std::uint16_t, TextRenderSettings> textSettings;
    bool truncated = false;  // the data ended before the End tag (what was there is kept)
    std::vector<Diagnostic> diagnostics;
};

// Parses a movie file's bytes. Throws ParseError when the bytes are not a movie (no FWS, CWS
// or ZWS signature, no complete header); damaged tags after the header are skipped and noted.
Movie ParseMovie(std::span<const std::uint8_t> bytes);

// Reads and parses a file; ParseError also for a file that cannot be read.
Movie LoadMovie(const std::filesystem::path& file);

// The header alone, decompressing only as much as it needs. Throws ParseError.
Header ParseHeader(std::span<const std::uint8_t> bytes);

}  // namespace flash::swf
