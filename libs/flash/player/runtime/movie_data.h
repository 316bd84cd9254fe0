#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "flash/avm1/value.h"
#include "flash/swf/movie.h"

namespace flash {

// The frames of one timeline (a movie's root or a sprite) with its labels resolved.
class Timeline {
  public:
    // `truncated`: the data ended before the timeline did.
    Timeline(const std::vector<swf::Frame>& frames, int swfVersion, bool truncated = false);

    // Frames the timeline plays: every frame closed by a ShowFrame, and a last unclosed one
    // that has tags (it runs too).
    int FrameCount() const { return count_; }
    // False when the timeline's data stops short (a last frame that no ShowFrame closed, or a
    // cut file): Flash then stays on the last frame, waiting for the rest, instead of looping.
    bool Complete() const { return complete_; }
    const swf::Frame& Frame(int index) const { return (*frames_)[static_cast<std::size_t>(index)]; }
    // The frame of a label; labels compare without case, as Flash resolves them.
    std::optional<int> FrameOfLabel(avm1::StringView label) const;

  private:
    const std::vector<swf::Frame>* frames_;
    int count_ = 0;
    bool complete_ = true;
    std::vector<std::pair<avm1::String, int>> labels_;  // folded label, frame
};

// One loaded movie file: its model, the characters it defines and where it came from.
// Shared by every display object made from it, so it lives as long as any of them.
class MovieData {
  public:
    MovieData(std::shared_ptr<const swf::Movie> movie, std::string url);
    MovieData(const MovieData&) = delete;
    MovieData& operator=(const MovieData&) = delete;

    const swf::Movie& Model() const { return *movie_; }
    const std::shared_ptr<const swf::Movie>& Shared() const { return movie_; }
    int Version() const { return movie_->header.version; }
    const std::string& Url() const { return url_; }
    // getBytesTotal and getBytesLoaded: the declared length of an uncompressed file (of which
    // no more than the file holds loaded), the file's own size for a compressed one.
    std::size_t BytesTotal() const;
    std::size_t BytesLoaded() const;
    // The size of the file the movie came from, once known.
    void SetFileBytes(std::size_t bytes) { fileBytes_ = bytes; }
    // A JPEG, PNG or GIF file loaded into a clip, shown as a one-frame movie.
    bool IsImage() const { return image_; }
    void SetImage() { image_ = true; }
    const Timeline& RootTimeline() const { return root_; }
    // The stage colour the movie sets (its first SetBackgroundColor), if any.
    const std::optional<Rgba>& Background() const { return background_; }
    // The script limits the movie sets (its ScriptLimits tag), or Flash's defaults.
    const swf::ScriptLimits& Limits() const { return limits_; }

    // The character defined under `id`, or null. The first definition of an id counts.
    const swf::Character* Character(std::uint16_t id) const;
    // The font with outlines of that name (compared without case), preferring the given
    // style; nothing when the movie embeds none of that name.
    std::optional<std::uint16_t> EmbeddedFont(avm1::StringView name, bool bold,
                                              bool italic) const;
    // The timeline of a sprite character (made once, kept with the movie).
    const Timeline& SpriteTimeline(const swf::Sprite& sprite);
    // The VideoFrame tags of a video stream character, from every timeline of the movie, in
    // file order.
    const std::vector<const swf::VideoFrame*>& VideoFrames(std::uint16_t streamId) const;
    // The character exported under a linkage name (names compare without case).
    std::optional<std::uint16_t> ExportedId(avm1::StringView name) const;
    // The linkage name a character was last exported or imported under, if any.
    const avm1::String* ExportName(std::uint16_t id) const;

    // Text stored in the movie (names, labels) as script text: UTF-8 from SWF 6, the system
    // code page (read as Latin-1) before.
    avm1::String ScriptText(std::string_view bytes) const;

    // True the first time it is asked for a sprite id: its init actions run once.
    bool TakeInitActions(std::uint16_t spriteId) { return initActionsRun_.insert(spriteId).second; }

    // A symbol lent by another movie (ImportAssets): that movie and the symbol's id there.
    struct Import {
        std::shared_ptr<MovieData> library;
        std::uint16_t id = 0;
    };
    // Binds an imported symbol under a local id and its linkage name here.
    void BindImport(std::uint16_t id, avm1::StringView name, std::shared_ptr<MovieData> library,
                    std::uint16_t libraryId);
    // The import bound under a local id that this movie does not define itself, or null.
    const Import* ImportOf(std::uint16_t id) const;
    // The libraries this movie imported from, by the address their tag gave.
    void AddLibrary(const std::string& url, std::shared_ptr<MovieData> library);
    MovieData* Library(const std::string& url) const;

  private:
    std::shared_ptr<const swf::Movie> movie_;
    std::string url_;
    bool image_ = false;
    std::size_t fileBytes_ = 0;
    Timeline root_;
    std::optional<Rgba> background_;
    swf::ScriptLimits limits_;
    std::map<std::uint16_t, swf::Character> dictionary_;
    std::map<std::uint16_t, std::vector<const swf::VideoFrame*>> videoFrames_;
    std::map<avm1::String, std::uint16_t> exports_;
    std::map<std::uint16_t, avm1::String> exportNames_;
    std::map<const swf::Sprite*, std::unique_ptr<Timeline>> spriteTimelines_;
    std::set<std::uint16_t> initActionsRun_;
    std::map<std::uint16_t, Import> imports_;
    std::map<std::string, std::shared_ptr<MovieData>> libraries_;
};

// The movie that defines a character and its id there: imports lead into their libraries.
std::pair<std::shared_ptr<MovieData>, std::uint16_t> DefiningMovie(std::shared_ptr<MovieData> movie,
                                                                   std::uint16_t id);

}  // namespace flash
