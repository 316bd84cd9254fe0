// Writes the movies of our own corpus cases for shared libraries and movie loading:
//   make_tovi_loading_cases CORPUS_DIR
// tovi/avm1/import_library: a movie that imports a sprite and a font from lib.swf beside it
// (and a symbol of a library that is not there); tovi/avm1/clip_loader_events: a
// MovieClipLoader loading a movie, an image under a wrong extension and a missing file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "flash/swf/tag_codes.h"
#include "flash/swf/text.h"
#include "swfgen/image_encoder.h"
#include "swfgen/script_writer.h"
#include "swfgen/shape_builder.h"
#include "swfgen/tag_writer.h"

namespace {

using namespace swfgen;
namespace fs = std::filesystem;

constexpr flash::Rect kStage{0, 4000, 0, 3000};  // 200 x 150

Bytes Script(const Block& body) {
    ScriptWriter w;
    body(w);
    return w.Build();
}

Expr Concat(const std::string& text, Expr value) {
    return Binary(kActionAdd2, Str(text), std::move(value));
}

void ImportAssets(TagList& tags, const std::string& url,
                  const std::vector<std::pair<std::uint16_t, std::string>>& assets) {
    Bytes body(url.begin(), url.end());
    body.insert(body.end(), {0, 1, 0, static_cast<std::uint8_t>(assets.size()), 0});
    for (const auto& [id, name] : assets) {
        body.insert(body.end(),
                    {static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8)});
        body.insert(body.end(), name.begin(), name.end());
        body.push_back(0);
    }
    tags.Tag(flash::swf::kTagImportAssets2, body);
}

// A font whose one glyph, for "I", is a bar as wide as half the em.
flash::swf::Font BarFont() {
    flash::swf::Font font;
    font.version = 2;
    font.name = "Bar";
    flash::swf::Glyph bar;
    bar.code = 'I';
    const std::vector<flash::Point> corners = {{0, -1024}, {512, -1024}, {512, 0}, {0, 0}};
    for (std::size_t i = 0; i < corners.size(); ++i) {
        flash::swf::Edge e;
        e.from = corners[i];
        e.to = corners[(i + 1) % corners.size()];
        e.fill1 = 1;
        bar.edges.push_back(e);
    }
    font.glyphs.push_back(bar);
    return font;
}

void WriteImportLibrary(const fs::path& dir) {
    fs::create_directories(dir);
    MovieWriter lib(8, kStage, 24);
    ShapeBuilder square;
    square.Fill1(square.AddSolidFill({0, 0, 255, 255})).Rectangle(flash::Rect{0, 400, 0, 400});
    lib.Tag(flash::swf::kTagDefineShape3, square.DefineShape(1, 3));
    TagList sprite(8);
    Place place;
    place.characterId = 1;
    place.depth = 1;
    sprite.PlaceObject2(place);
    sprite.DoAction(Script([](ScriptWriter& w) { w.Trace(Concat("frame of ", Var("_name"))); }))
        .ShowFrame();
    lib.DefineSprite(2, sprite);
    lib.DefineFont(3, BarFont());
    lib.ExportAssets({{2, "square"}, {3, "bar"}});
    lib.DoInitAction(2, Script([](ScriptWriter& w) { w.Trace(Concat("init on ", Var("this"))); }));
    lib.ShowFrame();
    lib.Save(dir / "lib.swf");

    MovieWriter m(8, kStage, 24);
    m.SetBackgroundColor({255, 255, 255, 255});
    ImportAssets(m, "lib.swf", {{10, "square"}, {11, "bar"}});
    ImportAssets(m, "missing.swf", {{12, "gone"}});
    flash::swf::Text text;
    text.bounds = flash::Rect{0, 1000, 0, 1000};
    flash::swf::TextRecord record;
    record.fontId = 11;
    record.color = {255, 0, 0, 255};
    record.y = 800;
    record.height = 800;
    record.glyphs = {{0, 500}, {0, 500}};
    text.records.push_back(record);
    m.DefineText(13, text);
    Place placed;
    placed.characterId = 10;
    placed.depth = 1;
    placed.name = "placed";
    m.PlaceObject2(placed);
    Place words;
    words.characterId = 13;
    words.depth = 2;
    words.matrix = flash::Matrix::Translate(200, 1500);
    m.PlaceObject2(words).ShowFrame();
    m.DoAction(Script([](ScriptWriter& w) {
         w.Set("a", Call(Var("_root"), "attachMovie", {Str("square"), Str("attached"), Num(5)}));
         w.SetMember(Var("a"), "_x", Num(100));
         w.Trace(Var("a"));
         w.Trace(Call(Var("_root"), "attachMovie", {Str("gone"), Str("b"), Num(6)}));
         w.Stop();
     })).ShowFrame();
    m.Save(dir / "test.swf");
}

void WriteClipLoaderEvents(const fs::path& dir) {
    fs::create_directories(dir);
    MovieWriter child(8, kStage, 24);
    child.DoAction(Script([](ScriptWriter& w) { w.Trace(Concat("child frame in ", Var("this"))); }))
        .ShowFrame();
    child.Save(dir / "child.swf");
    Pixels pixels{30, 20, std::vector<std::uint32_t>(600, 0xFF00C000)};
    Bytes png = EncodePng(pixels);
    std::ofstream(dir / "picture.gif", std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));

    auto listener = [](const std::string& event, Block body) {
        return [event, body](ScriptWriter& w) {
            w.SetMember(Var("o"), event,
                        Function({"target", "a", "b"}, [event, body](ScriptWriter& f) {
                            f.Trace(Concat(event + " ", Var("target")));
                            if (body) {
                                body(f);
                            }
                        }));
        };
    };
    MovieWriter m(8, kStage, 24);
    m.SetBackgroundColor({255, 255, 255, 255});
    m.DoAction(Script([&](ScriptWriter& w) {
         w.Set("o", New("Object"));
         listener("onLoadStart", [](ScriptWriter& f) { f.Trace(Member(Var("target"), "v")); })(w);
         listener("onLoadProgress", [](ScriptWriter& f) { f.Trace(Var("b")); })(w);
         listener("onLoadComplete", {})(w);
         listener("onLoadInit",
                  [](ScriptWriter& f) { f.Trace(Member(Var("target"), "_width")); })(w);
         listener("onLoadError", [](ScriptWriter& f) { f.Trace(Var("a")); })(w);
         w.Set("l", New("MovieClipLoader"));
         w.Do(Call(Var("l"), "addListener", {Var("o")}));
         w.Do(Call(Var("_root"), "createEmptyMovieClip", {Str("c.swf"), Num(1)}));
         w.Do(Call(Var("_root"), "createEmptyMovieClip", {Str("pic"), Num(2)}));
         w.SetMember(Member(Var("_root"), "pic"), "v", Str("old"));
         w.SetMember(Member(Var("_root"), "pic"), "_x", Num(50));
         w.Do(Call(Var("l"), "loadClip", {Str("child.swf"), Member(Var("_root"), "c.swf")}));
         w.Do(Call(Var("l"), "loadClip", {Str("picture.gif"), Str("pic")}));
         w.Do(Call(Var("l"), "loadClip", {Str("missing.swf"), Num(5)}));
         w.Trace(Str("asked"));
     })).ShowFrame();
    m.DoAction(Script([](ScriptWriter& w) {
         w.Trace(Member(Call(Var("l"), "getProgress", {Str("pic")}), "bytesTotal"));
         w.Trace(Member(Call(Var("l"), "getProgress", {Num(4)}), "bytesTotal"));
         w.Trace(Call(Var("l"), "getProgress", {Var("o")}));
         w.Trace(Member(Member(Var("_root"), "pic"), "_x"));
         w.Stop();
     })).ShowFrame();
    m.Save(dir / "test.swf");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_tovi_loading_cases CORPUS_DIR\n");
        return 2;
    }
    fs::path corpus = argv[1];
    WriteImportLibrary(corpus / "tovi" / "avm1" / "import_library");
    WriteClipLoaderEvents(corpus / "tovi" / "avm1" / "clip_loader_events");
    return 0;
}
