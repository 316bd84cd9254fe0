// "Tools\FLVPlayer.swf": a video player movie around a NetStream.
#include <string>

#include "data_movies.h"
#include "movie_parts.h"
#include "swfgen/script_writer.h"
#include "swfgen/tag_writer.h"

namespace data_movies {

namespace {

using flash::Rect;
using flash::Rgba;
using swfgen::Binary;
using swfgen::Bool;
using swfgen::Call;
using swfgen::Choose;
using swfgen::Expr;
using swfgen::Function;
using swfgen::Member;
using swfgen::New;
using swfgen::Not;
using swfgen::Null;
using swfgen::Num;
using swfgen::Place;
using swfgen::ScriptWriter;
using swfgen::ShapeBuilder;
using swfgen::Str;
using swfgen::TagList;
using swfgen::Var;

constexpr int kWidth = 550;
constexpr int kHeight = 400;
constexpr int kBarHeight = 30;
constexpr int kVideoHeight = kHeight - kBarHeight;
constexpr double kFps = 30;
constexpr double kTrackX = 12;
constexpr double kTrackWidth = 380;

// Action codes the scripts use.
enum : std::uint8_t {
    kAdd2 = 0x47,
    kLess2 = 0x48,
    kEquals2 = 0x49,
    kGreater = 0x67,
    kModulo = 0x3F,
    kAnd = 0x10,
};

enum Id : std::uint16_t {
    kHolder = 1,  // the clip "0" that holds the Video
    kPlayer = 2,  // the clip "flvPlayer"
    kSign = 3,
    kVideo = 4,
    kBar = 5,
    kTrack = 6,
    kFill = 7,
    kKnob = 8,
    kSeek = 9,
    kTimeText = 10,
    kMessage = 11,
    kFont = 12,
};

enum Depth : std::uint16_t {
    kVideoDepth = 1,
    kSignDepth = 2,
    kBarDepth = 3,
    kSeekDepth = 4,
    kTimeDepth = 5,
    kMessageDepth = 6,
};

Expr Root() {
    return Var("_root");
}
Expr R(const char* name) {
    return Member(Root(), name);
}
Expr Stream() {
    return R("ns");
}
Expr VideoObject() {
    return Member(Member(R("flvPlayer"), "0"), "video");
}
Expr Add(Expr a, Expr b) {
    return Binary(kAdd2, std::move(a), std::move(b));
}
Expr Less(Expr a, Expr b) {
    return Binary(kLess2, std::move(a), std::move(b));
}
Expr Eq(Expr a, Expr b) {
    return Binary(kEquals2, std::move(a), std::move(b));
}
Expr Math(const char* fn, std::vector<Expr> args) {
    return Call(Var("Math"), fn, std::move(args));
}

ShapeBuilder Box(double x, double y, double w, double h, Rgba color) {
    ShapeBuilder s;
    s.Fill1(s.AddSolidFill(color));
    s.Rectangle(Rect{T(x), T(x + w), T(y), T(y + h)});
    return s;
}

// A play sign in a ring, centred on its origin.
ShapeBuilder PlaySign() {
    ShapeBuilder s;
    s.Line(s.AddLine(T(3), {220, 224, 232, 230}));
    Circle(s, 0, 0, 40);
    s.Fill1(s.AddSolidFill({220, 224, 232, 230})).Line(0);
    s.MoveTo(T(-12), T(-20)).LineTo(T(22), 0).LineTo(T(-12), T(20)).LineTo(T(-12), T(-20));
    return s;
}

flash::swf::EditText Label(Rect bounds, int pixels, Rgba color, flash::swf::TextAlign align) {
    flash::swf::EditText t;
    t.bounds = bounds;
    t.readOnly = true;
    t.noSelect = true;
    t.hasFont = true;
    t.fontId = kFont;
    t.fontHeight = static_cast<std::uint16_t>(T(pixels));
    t.hasTextColor = true;
    t.color = color;
    t.hasLayout = true;
    t.align = align;
    return t;
}

// "mm:ss" of a number of seconds.
void DefineClock(ScriptWriter& w) {
    w.SetMember(
        Root(), "clock", Function({"t"}, [](ScriptWriter& f) {
            f.Set("t", Choose(Less(Var("t"), Num(0)), Num(0), Var("t")), true);
            f.Set("m", Math("floor", {Binary(0x0D, Var("t"), Num(60))}), true);
            f.Set("s", Math("floor", {Binary(kModulo, Var("t"), Num(60))}), true);
            f.Return(Add(Add(Add(Choose(Less(Var("m"), Num(10)), Str("0"), Str("")), Var("m")),
                             Add(Str(":"), Choose(Less(Var("s"), Num(10)), Str("0"), Str("")))),
                         Var("s")));
        }));
}

// The Video "v" of decoded size w x h fitted to the area above the bar, its aspect kept,
// centred.
void FitVideo(ScriptWriter& t) {
    t.Set("k",
          Math("min",
               {Binary(0x0D, Num(kWidth), Var("w")), Binary(0x0D, Num(kVideoHeight), Var("h"))}),
          true);
    t.SetMember(Var("v"), "_width", Binary(0x0C, Var("w"), Var("k")));
    t.SetMember(Var("v"), "_height", Binary(0x0C, Var("h"), Var("k")));
    t.SetMember(Var("v"), "_x",
                Binary(0x0D, Binary(0x0B, Num(kWidth), Binary(0x0C, Var("w"), Var("k"))), Num(2)));
    t.SetMember(
        Var("v"), "_y",
        Binary(0x0D, Binary(0x0B, Num(kVideoHeight), Binary(0x0C, Var("h"), Var("k"))), Num(2)));
    t.SetMember(Var("v"), "_visible", Bool(true));
}

// Every frame: the video's size and place, the seek bar, the time.
void DefineUpdate(ScriptWriter& w) {
    w.SetMember(
        Root(), "update", Function({}, [](ScriptWriter& f) {
            f.Set("v", VideoObject(), true);
            f.Set("w", Member(Var("v"), "width"), true);
            f.Set("h", Member(Var("v"), "height"), true);
            f.SetMember(Member(R("flvPlayer"), "0"), "_videoWidth", Var("w"));
            f.SetMember(Member(R("flvPlayer"), "0"), "_videoHeight", Var("h"));
            // Laid out again only when the size changes: a size set at every frame would
            // creep by its rounding.
            f.If(Not(Binary(kAnd, Eq(Var("w"), R("shownWidth")), Eq(Var("h"), R("shownHeight")))),
                 [](ScriptWriter& c) {
                     c.SetMember(Root(), "shownWidth", Var("w"));
                     c.SetMember(Root(), "shownHeight", Var("h"));
                     c.If(Binary(kAnd, Binary(kGreater, Var("w"), Num(0)),
                                 Binary(kGreater, Var("h"), Num(0))),
                          FitVideo,
                          [](ScriptWriter& e) { e.SetMember(Var("v"), "_visible", Bool(false)); });
                 });
            f.Set("d", R("duration"), true);
            f.If(R("dragging"), [](ScriptWriter& t) {
                t.Set("x", Binary(0x0D, Member(R("seek"), "_xmouse"), Num(kTrackWidth)), true);
                t.Set("x", Math("max", {Num(0), Math("min", {Num(1), Var("x")})}), true);
                t.SetMember(Root(), "dragTime", Binary(0x0C, Var("x"), Var("d")));
            });
            f.Set("t", Choose(R("dragging"), R("dragTime"), Member(Stream(), "time")), true);
            f.Set("x",
                  Choose(Binary(kGreater, Var("d"), Num(0)),
                         Math("min", {Num(1), Binary(0x0D, Var("t"), Var("d"))}), Num(0)),
                  true);
            f.SetMember(Member(R("seek"), "fill"), "_xscale", Binary(0x0C, Var("x"), Num(100)));
            f.SetMember(Member(R("seek"), "knob"), "_x", Binary(0x0C, Var("x"), Num(kTrackWidth)));
            f.SetMember(Root(), "timeText",
                        Add(Add(Call(Root(), "clock", {Var("t")}), Str(" / ")),
                            Call(Root(), "clock", {Var("d")})));
        }));
}

// What the stream says: buffering shows in strStatu while playing; a file that is not there
// or ends without a picture or a moment of sound is reported; the end stops at the start.
void DefineStatus(ScriptWriter& w) {
    w.SetMember(
        Root(), "onStreamStatus", Function({"code"}, [](ScriptWriter& f) {
            const Expr playing = Eq(Member(Root(), "_currentframe"), Num(3));
            f.If(Eq(Var("code"), Str("NetStream.Play.StreamNotFound")),
                 [](ScriptWriter& t) { t.Do(Call(Root(), "gotoAndStop", {Num(6)})); });
            f.If(Eq(Var("code"), Str("NetStream.Buffer.Empty")), [playing](ScriptWriter& t) {
                t.SetMember(Root(), "buffering", Bool(true));
                t.If(playing,
                     [](ScriptWriter& u) { u.SetMember(Root(), "strStatu", Str("buffering")); });
            });
            f.If(Eq(Var("code"), Str("NetStream.Buffer.Full")), [playing](ScriptWriter& t) {
                t.SetMember(Root(), "buffering", Bool(false));
                t.If(playing,
                     [](ScriptWriter& u) { u.SetMember(Root(), "strStatu", Str("play")); });
            });
            f.If(Eq(Var("code"), Str("NetStream.Play.Stop")), [](ScriptWriter& t) {
                t.If(
                    Binary(kAnd, Not(Binary(kGreater, Member(Stream(), "time"), Num(0))),
                           Not(Binary(kGreater, Member(VideoObject(), "width"), Num(0)))),
                    [](ScriptWriter& u) { u.Do(Call(Root(), "gotoAndStop", {Num(6)})); },
                    [](ScriptWriter& u) { u.Do(Call(Root(), "gotoAndStop", {Num(7)})); });
            });
        }));
}

// Frame 0 sets everything up once.
swfgen::Bytes Setup() {
    ScriptWriter w;
    w.If(Not(R("ready")), [](ScriptWriter& s) {
        s.SetMember(Root(), "ready", Bool(true));
        s.SetMember(Root(), "duration", Num(0));
        s.SetMember(Root(), "nc", New("NetConnection"));
        s.Do(Call(R("nc"), "connect", {Null()}));
        s.SetMember(Root(), "ns", New("NetStream", {R("nc")}));
        s.Do(Call(Stream(), "setBufferTime", {Num(0.5)}));
        s.Do(Call(VideoObject(), "attachVideo", {Stream()}));
        DefineClock(s);
        DefineUpdate(s);
        DefineStatus(s);
        s.SetMember(Stream(), "onStatus", Function({"info"}, [](ScriptWriter& f) {
                        f.Do(Call(Root(), "onStreamStatus", {Member(Var("info"), "code")}));
                    }));
        s.SetMember(Stream(), "onMetaData", Function({"m"}, [](ScriptWriter& f) {
                        f.If(Binary(kGreater, Member(Var("m"), "duration"), Num(0)),
                             [](ScriptWriter& t) {
                                 t.SetMember(Root(), "duration", Member(Var("m"), "duration"));
                             });
                    }));
        s.SetMember(Root(), "onEnterFrame",
                    Function({}, [](ScriptWriter& f) { f.Do(Call(Root(), "update")); }));
        // The seek bar: pressed, it follows the mouse; let go, the stream goes there.
        s.SetMember(R("seek"), "onPress", Function({}, [](ScriptWriter& f) {
                        f.SetMember(Root(), "dragging", Bool(true));
                        f.Do(Call(Root(), "update"));
                    }));
        const Expr release = Function({}, [](ScriptWriter& f) {
            f.SetMember(Root(), "dragging", Bool(false));
            f.Do(Call(Stream(), "seek", {R("dragTime")}));
        });
        s.SetMember(R("seek"), "onRelease", release);
        s.SetMember(R("seek"), "onReleaseOutside", release);
    });
    return w.Build();
}

// The script of a state's frame: what the stream does, the sign, the message, the word.
swfgen::Bytes StateScript(int frame) {
    ScriptWriter w;
    w.Stop();
    const bool playing = frame == 2;
    if (playing) {
        // A new path starts from its beginning; the same one goes on where it stood.
        w.If(Not(Eq(R("playingPath"), R("strPath"))), [](ScriptWriter& s) {
            s.SetMember(Root(), "playingPath", R("strPath"));
            s.SetMember(Root(), "duration", Num(0));
            s.SetMember(Root(), "buffering", Bool(true));
            s.Do(Call(Stream(), "play", {R("strPath")}));
        });
        w.Do(Call(Stream(), "pause", {Bool(false)}));
    } else if (frame >= 3) {
        w.Do(Call(Stream(), "pause", {Bool(true)}));
    }
    if (frame == 6) {
        w.Do(Call(Stream(), "seek", {Num(0)}));
    }
    w.SetMember(R("sign"), "_visible", Bool(frame != 2 && frame != 5 && frame != 1));
    w.SetMember(R("message"), "_visible", Bool(frame == 5));
    if (playing) {
        w.SetMember(Root(), "strStatu", Choose(R("buffering"), Str("buffering"), Str("play")));
    } else {
        w.SetMember(Root(), "strStatu", Str(kFlvStates[frame]));
    }
    return w.Build();
}

void DefineCharacters(TagList& movie) {
    flash::swf::Font font;
    font.version = 2;
    font.name = "_sans";
    movie.DefineFont(kFont, font);

    // The video's place: a clip named "0" inside the clip "flvPlayer", holding the Video.
    flash::swf::VideoStream stream;
    stream.width = 320;
    stream.height = 240;
    stream.smoothing = true;
    movie.DefineVideoStream(kVideo, stream);
    TagList holder(8);
    Place video = Put(1, kVideo);
    video.name = "video";
    holder.PlaceObject2(video);
    holder.DoAction(
        ScriptWriter().Set("_videoWidth", Num(0)).Set("_videoHeight", Num(0)).Stop().Build());
    holder.ShowFrame();
    movie.DefineSprite(kHolder, holder);
    TagList player(8);
    Place inner = Put(1, kHolder);
    inner.name = "0";
    player.PlaceObject2(inner);
    player.DoAction(swfgen::ActionBuilder().Stop().Build());
    player.ShowFrame();
    movie.DefineSprite(kPlayer, player);

    movie.DefineShape(kSign, PlaySign());
    movie.DefineShape(kBar, Box(0, kVideoHeight, kWidth, kBarHeight, {24, 26, 32, 255}));

    // The seek bar: a track with a taller invisible band to grab, the played part, a knob.
    ShapeBuilder track = Box(0, -8, kTrackWidth, 16, {0, 0, 0, 1});
    ShapeBuilder line = Box(0, -2, kTrackWidth, 4, {70, 74, 84, 255});
    movie.DefineShape(kTrack, track);
    movie.DefineShape(kTrack + 100, line);
    TagList fill(8);
    fill.PlaceObject2(Put(1, kFill + 100));
    fill.ShowFrame();
    movie.DefineShape(kFill + 100, Box(0, -2, kTrackWidth, 4, {80, 150, 240, 255}));
    movie.DefineSprite(kFill, fill);
    ShapeBuilder knobShape;
    knobShape.Fill1(knobShape.AddSolidFill({235, 238, 245, 255}));
    Circle(knobShape, 0, 0, 6);
    movie.DefineShape(kKnob + 100, knobShape);
    TagList knob(8);
    knob.PlaceObject2(Put(1, kKnob + 100));
    knob.ShowFrame();
    movie.DefineSprite(kKnob, knob);
    TagList seek(8);
    seek.PlaceObject2(Put(1, kTrack));
    seek.PlaceObject2(Put(2, kTrack + 100));
    Place fillPlace = Put(3, kFill);
    fillPlace.name = "fill";
    seek.PlaceObject2(fillPlace);
    Place knobPlace = Put(4, kKnob);
    knobPlace.name = "knob";
    seek.PlaceObject2(knobPlace);
    seek.ShowFrame();
    movie.DefineSprite(kSeek, seek);

    flash::swf::EditText time = Label(
        Rect{T(kTrackX + kTrackWidth + 10), T(kWidth - 8), T(kVideoHeight + 7), T(kHeight - 4)}, 12,
        {200, 204, 214, 255}, flash::swf::TextAlign::Right);
    time.variableName = "timeText";
    time.hasText = true;
    time.initialText = "00:00 / 00:00";
    movie.DefineEditText(kTimeText, time);

    flash::swf::EditText message =
        Label(Rect{T(20), T(kWidth - 20), T(kVideoHeight / 2.0 - 30), T(kVideoHeight / 2.0 + 30)},
              18, {240, 240, 240, 255}, flash::swf::TextAlign::Center);
    message.multiline = true;
    message.wordWrap = true;
    message.hasText = true;
    message.initialText = "无法播放此视频文件\n文件不存在、已损坏或不是有效的FLV视频";
    movie.DefineEditText(kMessage, message);
}

void PlaceCharacters(TagList& movie) {
    Place player = Put(kVideoDepth, kPlayer);
    player.name = "flvPlayer";
    movie.PlaceObject2(player);
    Place sign = Put(kSignDepth, kSign, ScaledAt(1, kWidth / 2.0, kVideoHeight / 2.0));
    sign.name = "sign";
    movie.PlaceObject2(sign);
    movie.PlaceObject2(Put(kBarDepth, kBar));
    Place seek = Put(kSeekDepth, kSeek, ScaledAt(1, kTrackX, kVideoHeight + kBarHeight / 2.0));
    seek.name = "seek";
    movie.PlaceObject2(seek);
    movie.PlaceObject2(Put(kTimeDepth, kTimeText));
    Place message = Put(kMessageDepth, kMessage);
    message.name = "message";
    movie.PlaceObject2(message);
}

}  // namespace

swfgen::Bytes FlvPlayerMovie() {
    swfgen::MovieWriter movie(8, Rect{0, T(kWidth), 0, T(kHeight)}, kFps);
    movie.SetBackgroundColor({0, 0, 0, 255});
    DefineCharacters(movie);
    PlaceCharacters(movie);
    for (int f = 0; f < static_cast<int>(std::size(kFlvStates)); ++f) {
        // Whatever frame the host goes to first finds the player set up.
        movie.DoAction(Setup());
        movie.DoAction(StateScript(f));
        movie.ShowFrame();
    }
    return movie.Build();
}

}  // namespace data_movies
