#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "flash/player/player.h"
#include "flash/swf/movie.h"

namespace flash {

// Parses movie bytes; FlashError for data that is not a movie or is too large.
std::shared_ptr<const swf::Movie> ParseMovieBytes(std::span<const std::uint8_t> bytes,
                                                  const PlayerLimits& limits);
// Reads a movie from a local path or file: URL; FlashError for anything else (network
// addresses are not fetched), for a missing or unreadable file and for data that is not a
// movie.
std::shared_ptr<const swf::Movie> ReadMovieFile(const std::string& pathOrUrl,
                                                const PlayerLimits& limits);
// The bytes of a local path or file: URL, at most `maxBytes`; FlashError for network
// addresses, missing or unreadable files and larger ones.
std::vector<std::uint8_t> ReadLocalFile(const std::string& pathOrUrl, std::size_t maxBytes);
// Whether bytes are a JPEG, PNG or GIF image (by their signature, whatever the file's name).
bool IsImageData(std::span<const std::uint8_t> bytes);
// A one-frame movie of SWF `version` showing an image at its top left corner, as Flash shows
// an image loaded into a clip.
std::shared_ptr<const swf::Movie> ImageMovie(std::vector<std::uint8_t> image, int version);
// The local path of a path or file: URL; nothing for other schemes.
std::optional<std::string> LocalPath(const std::string& pathOrUrl);
// Resolves an address a movie gave against the movie's own address: absolute paths and
// addresses with a scheme stay, relative ones go beside the movie.
std::string ResolveMovieUrl(const std::string& url, const std::string& base);

// Quality words as the control and scripts take them: "low", "medium", "high", and Flash's
// "best", "autolow", "autohigh", in any case.
std::optional<Quality> ParseQuality(const std::string& word);

}  // namespace flash
