// Writes our own corpus cases for FLV playback, one small file per codec ffmpeg writes:
//   make_tovi_flv_cases CORPUS_DIR
// Each case (tovi/avm1/netstream_<codec>) plays its test.flv through NetStream into a Video
// as large as the stage and traces the status codes, the metadata the file carries and the
// decoded size. Expected output comes from what the file holds (the FLV codec ids, the
// muxer's metadata as ffprobe reads it) and the order Flash reports a local file's events
// in; the expected image of a video case is ffmpeg's own decode of the last frame.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "flash/swf/tag_codes.h"
#include "flash/swf/video.h"
#include "swfgen/image_encoder.h"
#include "swfgen/script_writer.h"
#include "swfgen/tag_writer.h"

namespace {

using namespace swfgen;
namespace fs = std::filesystem;

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr int kFps = 10;
constexpr std::uint8_t kActionLess2 = 0x48;

struct FlvCase {
    std::string name;
    std::string encoder;  // ffmpeg's encoder
    bool video = false;   // otherwise audio only
    std::string options;  // more ffmpeg options
    int codecId = 0;      // the FLV tag's codec id for this codec
    int sampleRate = 0;   // audio
    double seconds = 0.5;
};

const std::vector<FlvCase>& Cases() {
    static const std::vector<FlvCase> cases = {
        {"flv1", "flv", true, "-q:v 4", 2},
        {"h264", "libx264", true, "-preset ultrafast -bf 0 -pix_fmt yuv420p -threads 1", 7},
        {"flashsv", "flashsv", true, "", 3},
        {"adpcm", "adpcm_swf", false, "", 1, 22050},
        {"mp3", "libmp3lame", false, "-b:a 32k", 2, 22050},
        {"aac", "aac", false, "-b:a 24k", 10, 22050},
        {"pcm", "pcm_s16le", false, "", 3, 11025, 0.3},
    };
    return cases;
}

std::string Quote(const fs::path& p) {
    return "'" + p.string() + "'";
}

std::string Run(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            out.append(buffer, n);
        }
        if (pclose(pipe) != 0) {
            out.clear();
        }
    }
    return out;
}

bool MakeFlv(const FlvCase& c, const fs::path& file) {
    std::ostringstream cmd;
    cmd << "ffmpeg -nostdin -hide_banner -loglevel error -y ";
    if (c.video) {
        cmd << "-f lavfi -i testsrc2=size=" << kWidth << "x" << kHeight << ":rate=" << kFps
            << ":duration=" << c.seconds << " -c:v " << c.encoder << " -g " << kFps;
    } else {
        cmd << "-f lavfi -i sine=frequency=440:sample_rate=" << c.sampleRate
            << ":duration=" << c.seconds << " -ac 1 -c:a " << c.encoder;
    }
    cmd << " " << c.options << " -fflags +bitexact -flags:v +bitexact -f flv " << Quote(file);
    return std::system(cmd.str().c_str()) == 0;
}

// The duration the muxer wrote into the file's metadata, as ffmpeg reads it back.
std::string Duration(const fs::path& file) {
    std::string text =
        Run("ffprobe -v error -show_entries format=duration -of csv=p=0 " + Quote(file));
    const double seconds = std::strtod(text.c_str(), nullptr);
    char shown[32];
    std::snprintf(shown, sizeof shown, "%.15g", seconds);
    return shown;
}

// ffmpeg's decode of the last frame, each chroma sample over its 2 x 2 pixels. H.263 leaves
// the inverse DCT's rounding to the decoder: the floating-point one is the one Flash's
// pictures match (H.264 and Screen Video decode exactly).
bool LastFrame(const fs::path& file, Pixels& out) {
    const std::string raw =
        Run("ffmpeg -nostdin -hide_banner -loglevel error -idct faani -i " + Quote(file) +
            " -sws_flags neighbor+full_chroma_int+accurate_rnd -f rawvideo -pix_fmt bgra -");
    const std::size_t frame = static_cast<std::size_t>(kWidth) * kHeight * 4;
    if (raw.size() < frame || raw.size() % frame != 0) {
        return false;
    }
    out.width = kWidth;
    out.height = kHeight;
    out.argb.resize(static_cast<std::size_t>(kWidth) * kHeight);
    const char* last = raw.data() + raw.size() - frame;
    for (std::size_t i = 0; i < out.argb.size(); ++i) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(last + 4 * i);
        out.argb[i] = 0xFF000000u | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
    }
    return true;
}

Expr Concat(const std::string& text, Expr value) {
    return Binary(kActionAdd2, Str(text), std::move(value));
}

const std::vector<std::string>& MetadataKeys() {
    static const std::vector<std::string> keys = {"duration",        "width",        "height",
                                                  "framerate",       "videocodecid", "audiocodecid",
                                                  "audiosamplerate", "stereo"};
    return keys;
}

Bytes Script(const Block& body) {
    ScriptWriter w;
    body(w);
    return w.Build();
}

void WriteMovie(const fs::path& dir) {
    MovieWriter m(8, flash::Rect{0, kWidth * 20, 0, kHeight * 20}, kFps);
    m.SetBackgroundColor({255, 255, 255, 255});
    flash::swf::VideoStream stream;
    stream.width = kWidth;
    stream.height = kHeight;
    m.DefineVideoStream(1, stream);
    Place place;
    place.characterId = 1;
    place.depth = 1;
    place.name = "v";
    m.PlaceObject2(place);
    m.DoAction(Script([](ScriptWriter& w) {
        w.Set("nc", New("NetConnection"));
        w.Do(Call(Var("nc"), "connect", {Null()}));
        w.Set("ns", New("NetStream", {Var("nc")}));
        w.SetMember(
            Var("ns"), "onStatus", Function({"info"}, [](ScriptWriter& f) {
                f.Trace(Binary(kActionAdd2, Concat("status ", Member(Var("info"), "code")),
                               Concat(" ", Member(Var("info"), "level"))));
                f.If(
                    Binary(kActionEquals2, Member(Var("info"), "code"), Str("NetStream.Play.Stop")),
                    [](ScriptWriter& s) {
                        s.Trace(Concat("time moved ",
                                       Binary(kActionLess2, Num(0), Member(Var("ns"), "time"))));
                        s.Trace(Binary(kActionAdd2, Concat("video ", Member(Var("v"), "width")),
                                       Concat("x", Member(Var("v"), "height"))));
                    });
            }));
        w.SetMember(Var("ns"), "onMetaData", Function({"data"}, [](ScriptWriter& f) {
                        for (const std::string& key : MetadataKeys()) {
                            f.Trace(Concat("meta " + key + " ", Member(Var("data"), key)));
                        }
                    }));
        w.Do(Call(Var("v"), "attachVideo", {Var("ns")}));
        w.Do(Call(Var("ns"), "play", {Str("test.flv")}));
        w.Trace(Concat("time ", Member(Var("ns"), "time")));
    }));
    m.ShowFrame();
    m.DoAction(Script([](ScriptWriter& w) { w.Stop(); })).ShowFrame();
    m.Save(dir / "test.swf");
}

std::string Expected(const FlvCase& c, const std::string& duration) {
    auto shown = [](bool present, const std::string& value) {
        return present ? value : std::string("undefined");
    };
    const std::vector<std::string> values = {duration,
                                             shown(c.video, std::to_string(kWidth)),
                                             shown(c.video, std::to_string(kHeight)),
                                             shown(c.video, std::to_string(kFps)),
                                             shown(c.video, std::to_string(c.codecId)),
                                             shown(!c.video, std::to_string(c.codecId)),
                                             shown(!c.video, std::to_string(c.sampleRate)),
                                             shown(!c.video, "false")};
    std::ostringstream out;
    out << "time 0\n"
        << "status NetStream.Play.Start status\n"
        << "status NetStream.Buffer.Full status\n";
    for (std::size_t i = 0; i < values.size(); ++i) {
        out << "meta " << MetadataKeys()[i] << " " << values[i] << "\n";
    }
    out << "status NetStream.Buffer.Flush status\n"
        << "status NetStream.Play.Stop status\n"
        << "time moved true\n"
        << "video " << (c.video ? kWidth : 0) << "x" << (c.video ? kHeight : 0) << "\n"
        << "status NetStream.Buffer.Empty status\n";
    return out.str();
}

void WriteText(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

bool WriteCase(const fs::path& corpus, const FlvCase& c) {
    const fs::path dir = corpus / "tovi" / "avm1" / ("netstream_" + c.name);
    fs::create_directories(dir);
    const fs::path flv = dir / "test.flv";
    if (!MakeFlv(c, flv)) {
        std::fprintf(stderr, "ffmpeg cannot write %s\n", c.name.c_str());
        return false;
    }
    WriteMovie(dir);
    WriteText(dir / "output.txt", Expected(c, Duration(flv)));
    std::string toml = "num_frames = 15\n";
    if (c.video) {
        Pixels last;
        if (!LastFrame(flv, last)) {
            std::fprintf(stderr, "ffmpeg cannot decode %s\n", c.name.c_str());
            return false;
        }
        const Bytes png = EncodePng(last);
        std::ofstream(dir / "output.expected.png", std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()),
                   static_cast<std::streamsize>(png.size()));
        toml += "\n[image_comparisons.output]\ntolerance = 2\n";
    }
    toml += "\n[player_options]\nwith_renderer = { optional = true }\nwith_video = true\n";
    WriteText(dir / "test.toml", toml);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_tovi_flv_cases CORPUS_DIR\n");
        return 2;
    }
    bool ok = true;
    for (const FlvCase& c : Cases()) {
        ok = WriteCase(argv[1], c) && ok;
    }
    return ok ? 0 : 1;
}
