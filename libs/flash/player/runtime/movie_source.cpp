#include "runtime/movie_source.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

#include "flash/swf/error.h"

namespace fs = std::filesystem;

namespace flash {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The scheme of an address ("http" of "http://..."); none for paths, including drive letters.
std::optional<std::string> Scheme(const std::string& url) {
    std::size_t colon = url.find(':');
    if (colon == std::string::npos || colon < 2) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < colon; ++i) {
        char c = url[i];
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.')) {
            return std::nullopt;
        }
    }
    return Lower(url.substr(0, colon));
}

std::string PercentDecode(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool IsAbsolutePath(const std::string& path) {
    return !path.empty() &&
           (path[0] == '/' || path[0] == '\\' ||
            (path.size() > 2 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')));
}

}  // namespace

std::shared_ptr<const swf::Movie> ParseMovieBytes(std::span<const std::uint8_t> bytes,
                                                  const PlayerLimits& limits) {
    if (bytes.size() > limits.maxMovieBytes) {
        throw FlashError("the movie is too large");
    }
    try {
        return std::make_shared<const swf::Movie>(swf::ParseMovie(bytes));
    } catch (const swf::ParseError& e) {
        throw FlashError(std::string("not a Flash movie: ") + e.what());
    } catch (const std::bad_alloc&) {
        throw FlashError("not enough memory for the movie");
    }
}

std::optional<std::string> LocalPath(const std::string& pathOrUrl) {
    std::optional<std::string> scheme = Scheme(pathOrUrl);
    if (!scheme) {
        return pathOrUrl;
    }
    if (*scheme != "file") {
        return std::nullopt;
    }
    std::string rest = pathOrUrl.substr(5);
    if (rest.rfind("//", 0) == 0) {
        rest = rest.substr(2);
        // file:///path and file://localhost/path; a drive letter follows a slash on Windows.
        std::size_t slash = rest.find('/');
        rest = slash == std::string::npos ? std::string() : rest.substr(slash);
        if (rest.size() > 3 && rest[2] == ':') {
            rest = rest.substr(1);
        }
    }
    return PercentDecode(rest);
}

std::vector<std::uint8_t> ReadLocalFile(const std::string& pathOrUrl, std::size_t maxBytes) {
    std::optional<std::string> local = LocalPath(pathOrUrl);
    if (!local || local->empty()) {
        throw FlashError("cannot load " + pathOrUrl + ": only local files are played");
    }
    fs::path path = fs::u8path(*local);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec) && local->find('\\') != std::string::npos) {
        // Names written the Windows way.
        std::string slashed = *local;
        std::replace(slashed.begin(), slashed.end(), '\\', '/');
        path = fs::u8path(slashed);
    }
    if (!fs::is_regular_file(path, ec)) {
        throw FlashError("cannot open " + pathOrUrl);
    }
    std::uintmax_t size = fs::file_size(path, ec);
    if (ec || size > maxBytes) {
        throw FlashError(ec ? "cannot read " + pathOrUrl : "the file is too large: " + pathOrUrl);
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
        throw FlashError("cannot read " + pathOrUrl);
    }
    return bytes;
}

std::shared_ptr<const swf::Movie> ReadMovieFile(const std::string& pathOrUrl,
                                                const PlayerLimits& limits) {
    return ParseMovieBytes(ReadLocalFile(pathOrUrl, limits.maxMovieBytes), limits);
}

bool IsImageData(std::span<const std::uint8_t> bytes) {
    auto starts = [&bytes](std::initializer_list<std::uint8_t> magic) {
        return bytes.size() >= magic.size() &&
               std::equal(magic.begin(), magic.end(), bytes.begin());
    };
    return starts({0xFF, 0xD8}) || starts({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}) ||
           starts({'G', 'I', 'F', '8'});
}

std::shared_ptr<const swf::Movie> ImageMovie(std::vector<std::uint8_t> image, int version) {
    auto movie = std::make_shared<swf::Movie>();
    movie->header.version = static_cast<std::uint8_t>(std::clamp(version, 1, 255));
    movie->header.fileLength = static_cast<std::uint32_t>(
        std::min<std::size_t>(image.size(), std::numeric_limits<std::uint32_t>::max()));
    movie->header.frameCount = 1;
    auto bitmap = std::make_shared<swf::Bitmap>();
    bitmap->kind = swf::BitmapKind::Jpeg2;
    bitmap->data = std::move(image);
    swf::Frame frame;
    frame.tags.push_back(swf::DefineCharacter{1, std::shared_ptr<const swf::Bitmap>(bitmap)});
    swf::PlaceObject place;
    place.version = 2;
    place.depth = 1;
    place.characterId = 1;
    frame.tags.push_back(place);
    movie->frames.push_back(std::move(frame));
    return movie;
}

std::string ResolveMovieUrl(const std::string& url, const std::string& base) {
    if (Scheme(url) || IsAbsolutePath(url) || base.empty()) {
        return url;
    }
    std::size_t cut = base.find_last_of(Scheme(base) ? "/" : "/\\");
    return cut == std::string::npos ? url : base.substr(0, cut + 1) + url;
}

std::optional<Quality> ParseQuality(const std::string& word) {
    std::string w = Lower(word);
    if (w == "low" || w == "autolow") {
        return Quality::Low;
    }
    if (w == "medium") {
        return Quality::Medium;
    }
    if (w == "high" || w == "autohigh" || w == "best") {
        return Quality::High;
    }
    return std::nullopt;
}

}  // namespace flash
