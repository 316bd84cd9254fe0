#include "corpus_case.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "flash/swf/error.h"
#include "flash/swf/movie.h"
#include "toml_lite.h"

namespace fs = std::filesystem;

namespace corpus {

namespace {

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + file.string());
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ImageCheck ReadCheck(const TomlTable& table) {
    ImageCheck check;
    if (auto t = TomlFind(table, "tolerance")) {
        check.tolerance = static_cast<int>(t->Integer(0));
    }
    if (auto m = TomlFind(table, "max_outliers")) {
        check.maxOutliers = static_cast<long>(m->Integer(0));
    }
    return check;
}

void ReadImages(const TomlTable& root, CorpusCase& c) {
    const TomlValue* images = TomlFind(root, "image_comparisons");
    if (images == nullptr || images->Table() == nullptr) {
        return;
    }
    for (const auto& [name, value] : *images->Table()) {
        const TomlTable* table = value.Table();
        if (table == nullptr) {
            continue;
        }
        ImageComparison image;
        image.name = name;
        if (auto trigger = TomlFind(*table, "trigger")) {
            image.trigger = static_cast<int>(trigger->Integer(0));
        }
        const TomlValue* checks = TomlFind(*table, "checks");
        if (checks != nullptr && checks->Array() != nullptr) {
            for (const auto& entry : *checks->Array()) {
                if (entry.Table() != nullptr) {
                    image.checks.push_back(ReadCheck(*entry.Table()));
                }
            }
        }
        if (image.checks.empty()) {
            image.checks.push_back(ReadCheck(*table));
        }
        c.images.push_back(std::move(image));
    }
}

void ReadPlayerOptions(const TomlTable& root, CorpusCase& c) {
    if (auto renderer = TomlFind(root, "player_options.with_renderer")) {
        const TomlTable* options = renderer->Table();
        c.rendererRequired = true;
        if (options != nullptr) {
            if (auto optional = TomlFind(*options, "optional")) {
                c.rendererRequired = !optional->Bool(false);
            }
            if (auto quality = TomlFind(*options, "quality")) {
                c.quality = quality->String(c.quality);
            }
        }
    }
    if (auto viewport = TomlFind(root, "player_options.viewport_dimensions")) {
        // Width and height are device pixels already; scale_factor is the screen's density.
        if (const TomlTable* v = viewport->Table()) {
            if (auto w = TomlFind(*v, "width")) {
                c.viewportWidth = static_cast<int>(w->Number(0));
            }
            if (auto h = TomlFind(*v, "height")) {
                c.viewportHeight = static_cast<int>(h->Number(0));
            }
            if (auto f = TomlFind(*v, "scale_factor")) {
                c.scaleFactor = f->Number(1.0);
            }
        }
    }
    if (auto audio = TomlFind(root, "player_options.with_audio")) {
        c.withAudio = audio->Bool(false);
    }
    if (auto video = TomlFind(root, "player_options.with_video")) {
        c.withVideo = video->Bool(false);
    }
}

void ReadApproximations(const TomlTable& root, CorpusCase& c) {
    const TomlValue* approx = TomlFind(root, "approximations");
    if (approx == nullptr || approx->Table() == nullptr) {
        return;
    }
    const TomlTable& table = *approx->Table();
    c.approximations.enabled = true;
    if (auto e = TomlFind(table, "epsilon")) {
        c.approximations.epsilon = e->Number(0.0);
    }
    if (auto b = TomlFind(table, "bare_numbers")) {
        c.approximations.bareNumbers = b->Bool(false);
    }
    if (auto p = TomlFind(table, "number_patterns"); p != nullptr && p->Array() != nullptr) {
        for (const auto& pattern : *p->Array()) {
            c.approximations.numberPatterns.push_back(pattern.String(""));
        }
    }
}

// A movie that cannot be read counts as ActionScript 1/2: its case fails either way.
bool UsesActionScript3(const fs::path& movie) {
    try {
        return flash::swf::LoadMovie(movie).attributes.actionScript3;
    } catch (const flash::swf::ParseError&) {
        return false;
    }
}

}  // namespace

CorpusCase LoadCase(const fs::path& root, const fs::path& dir) {
    CorpusCase c;
    c.dir = dir;
    c.name = fs::relative(dir, root).generic_string();
    c.group = c.name.substr(0, c.name.find('/'));
    TomlTable toml;
    try {
        toml = ParseToml(ReadText(dir / "test.toml"));
    } catch (const TomlError& e) {
        throw std::runtime_error(c.name + "/test.toml: " + e.what());
    }
    if (auto frames = TomlFind(toml, "num_frames")) {
        c.frames = static_cast<int>(frames->Integer(1));
    } else if (auto ticks = TomlFind(toml, "num_ticks")) {
        c.frames = static_cast<int>(ticks->Integer(1));
    }
    if (auto known = TomlFind(toml, "known_failure")) {
        c.knownFailure = known->Bool(false);
    }
    if (auto log = TomlFind(toml, "log_fetch")) {
        c.logFetch = log->Bool(false);
    }
    ReadImages(toml, c);
    ReadPlayerOptions(toml, c);
    ReadApproximations(toml, c);
    c.hasInput = fs::exists(dir / "input.json");
    c.actionScript3 = UsesActionScript3(dir / "test.swf");
    return c;
}

std::vector<fs::path> FindCases(const fs::path& root) {
    std::vector<fs::path> cases;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(root, ec), end; it != end; it.increment(ec)) {
        if (ec) {
            break;
        }
        if (it->is_regular_file() && it->path().filename() == "test.toml") {
            cases.push_back(it->path().parent_path());
        }
    }
    std::sort(cases.begin(), cases.end());
    return cases;
}

}  // namespace corpus
