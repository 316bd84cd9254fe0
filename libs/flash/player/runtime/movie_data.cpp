#include "runtime/movie_data.h"

#include <algorithm>

#include "flash/avm1/convert.h"

namespace flash {

namespace {

// Labels match without case for ASCII letters only ("BADÀ" does not find "BADà").
avm1::String FoldAscii(avm1::StringView text) {
    avm1::String out(text);
    for (char16_t& c : out) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
    }
    return out;
}

}  // namespace

Timeline::Timeline(const std::vector<swf::Frame>& frames, int swfVersion, bool truncated)
    : frames_(&frames) {
    count_ = static_cast<int>(frames.size());
    if (count_ > 0 && !frames.back().shown) {
        const swf::Frame& last = frames.back();
        if (last.tags.empty() && last.labels.empty()) {
            --count_;
        } else {
            truncated = true;
        }
    }
    complete_ = !truncated;
    for (int i = 0; i < count_; ++i) {
        for (const auto& label : frames[static_cast<std::size_t>(i)].labels) {
            avm1::String text =
                swfVersion >= 6 ? avm1::FromUtf8(label.name) : avm1::FromLatin1(label.name);
            labels_.emplace_back(FoldAscii(text), i);
        }
    }
}

std::optional<int> Timeline::FrameOfLabel(avm1::StringView label) const {
    avm1::String folded = FoldAscii(label);
    for (const auto& [name, frame] : labels_) {
        if (name == folded) {
            return frame;
        }
    }
    return std::nullopt;
}

MovieData::MovieData(std::shared_ptr<const swf::Movie> movie, std::string url)
    : movie_(std::move(movie)),
      url_(std::move(url)),
      root_(movie_->frames, movie_->header.version, movie_->truncated) {
    for (const auto& frame : movie_->frames) {
        for (const auto& tag : frame.tags) {
            if (const auto* define = std::get_if<swf::DefineCharacter>(&tag)) {
                dictionary_.emplace(define->id, define->character);
            } else if (const auto* color = std::get_if<swf::SetBackgroundColor>(&tag)) {
                if (!background_) {
                    background_ = color->color;
                }
            } else if (const auto* limits = std::get_if<swf::ScriptLimits>(&tag)) {
                limits_ = *limits;
            } else if (const auto* exports = std::get_if<swf::ExportAssets>(&tag)) {
                for (const auto& asset : exports->assets) {
                    // A later export of a name replaces an earlier one.
                    avm1::String name = ScriptText(asset.name);
                    exports_.insert_or_assign(avm1::FoldCase(name), asset.id);
                    exportNames_.insert_or_assign(asset.id, std::move(name));
                }
            }
        }
    }
    // Video frames may sit on the root timeline or inside sprites.
    auto collect = [this](const std::vector<swf::Frame>& frames) {
        for (const auto& frame : frames) {
            for (const auto& tag : frame.tags) {
                if (const auto* video = std::get_if<swf::VideoFrame>(&tag)) {
                    videoFrames_[video->streamId].push_back(video);
                }
            }
        }
    };
    collect(movie_->frames);
    for (const auto& [id, character] : dictionary_) {
        if (const auto* sprite = std::get_if<std::shared_ptr<const swf::Sprite>>(&character)) {
            if (*sprite) {
                collect((*sprite)->frames);
            }
        }
    }
}

const std::vector<const swf::VideoFrame*>& MovieData::VideoFrames(std::uint16_t streamId) const {
    static const std::vector<const swf::VideoFrame*> kNone;
    auto it = videoFrames_.find(streamId);
    return it == videoFrames_.end() ? kNone : it->second;
}

const swf::Character* MovieData::Character(std::uint16_t id) const {
    auto it = dictionary_.find(id);
    if (it != dictionary_.end()) {
        return &it->second;
    }
    const Import* imported = ImportOf(id);
    return imported != nullptr ? imported->library->Character(imported->id) : nullptr;
}

std::size_t MovieData::BytesTotal() const {
    const swf::Header& header = Model().header;
    if (header.compression != swf::Compression::None && fileBytes_ != 0) {
        return fileBytes_;
    }
    return header.fileLength;
}

std::size_t MovieData::BytesLoaded() const {
    std::size_t total = BytesTotal();
    return fileBytes_ != 0 ? std::min(total, fileBytes_) : total;
}

void MovieData::BindImport(std::uint16_t id, avm1::StringView name,
                           std::shared_ptr<MovieData> library, std::uint16_t libraryId) {
    imports_.insert_or_assign(id, Import{std::move(library), libraryId});
    if (!name.empty()) {
        exports_.insert_or_assign(avm1::FoldCase(name), id);
        exportNames_.insert_or_assign(id, avm1::String(name));
    }
}

const MovieData::Import* MovieData::ImportOf(std::uint16_t id) const {
    if (dictionary_.contains(id)) {
        return nullptr;
    }
    auto it = imports_.find(id);
    return it == imports_.end() ? nullptr : &it->second;
}

void MovieData::AddLibrary(const std::string& url, std::shared_ptr<MovieData> library) {
    libraries_.emplace(url, std::move(library));
}

MovieData* MovieData::Library(const std::string& url) const {
    auto it = libraries_.find(url);
    return it == libraries_.end() ? nullptr : it->second.get();
}

std::pair<std::shared_ptr<MovieData>, std::uint16_t> DefiningMovie(std::shared_ptr<MovieData> movie,
                                                                   std::uint16_t id) {
    // Libraries are bound a few levels deep at most and never in a circle.
    for (int hop = 0; hop < 16; ++hop) {
        const MovieData::Import* imported = movie->ImportOf(id);
        if (imported == nullptr) {
            break;
        }
        id = imported->id;
        std::shared_ptr<MovieData> next = imported->library;
        movie = std::move(next);
    }
    return {std::move(movie), id};
}

std::optional<std::uint16_t> MovieData::EmbeddedFont(avm1::StringView name, bool bold,
                                                     bool italic) const {
    const avm1::String wanted = avm1::FoldCase(name);
    std::optional<std::uint16_t> found;
    for (const auto& [id, character] : dictionary_) {
        const auto* font = std::get_if<std::shared_ptr<const swf::Font>>(&character);
        if (font == nullptr || !*font || (*font)->glyphs.empty() ||
            avm1::FoldCase(ScriptText((*font)->name)) != wanted) {
            continue;
        }
        if ((*font)->bold == bold && (*font)->italic == italic) {
            return id;
        }
        if (!found) {
            found = id;
        }
    }
    return found;
}

const Timeline& MovieData::SpriteTimeline(const swf::Sprite& sprite) {
    auto& slot = spriteTimelines_[&sprite];
    if (!slot) {
        slot = std::make_unique<Timeline>(sprite.frames, Version());
    }
    return *slot;
}

std::optional<std::uint16_t> MovieData::ExportedId(avm1::StringView name) const {
    auto it = exports_.find(avm1::FoldCase(name));
    if (it == exports_.end()) {
        return std::nullopt;
    }
    return it->second;
}

const avm1::String* MovieData::ExportName(std::uint16_t id) const {
    auto it = exportNames_.find(id);
    return it == exportNames_.end() ? nullptr : &it->second;
}

avm1::String MovieData::ScriptText(std::string_view bytes) const {
    return Version() >= 6 ? avm1::FromUtf8(bytes) : avm1::FromLatin1(bytes);
}

}  // namespace flash
