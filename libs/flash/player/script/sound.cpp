#include "script/sound.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <optional>

#include "display/movie_clip.h"
#include "flash/avm1/convert.h"
#include "flash/media/audio_decoder.h"
#include "runtime/movie_data.h"
#include "runtime/movie_source.h"
#include "runtime/runtime.h"
#include "script/script_classes.h"

namespace flash {

using avm1::Accessor;
using avm1::CallContext;
using avm1::Method;
using avm1::Value;

namespace {

constexpr char16_t kStateMember[] = u"__sound";
constexpr char16_t kTransformMember[] = u"__soundTransform";

// What a Sound object holds beyond its members, hung on it under a hidden name.
class SoundState final : public avm1::Object {
  public:
    SoundState() : Object(nullptr, avm1::ObjectClass::Host) {}

    bool hasTarget = false;
    avm1::String target;  // the clip's path
    std::shared_ptr<const swf::Sound> sound;
    std::shared_ptr<const swf::Sound> loading;  // loaded, its onLoad not yet called
    media::MovieSound::VoiceId voice = 0;
    bool played = false;
    bool startOnLoad = false;              // a streaming load plays as soon as it is there
    std::optional<std::size_t> fileBytes;  // the size of a loaded file
};

// A clip's volume and transform, hung on the clip's script object.
class ClipTransform final : public avm1::Object {
  public:
    ClipTransform() : Object(nullptr, avm1::ObjectClass::Host) {}
    SoundScript::Transform transform;
};

template <typename T>
T* Hidden(avm1::Object* object, avm1::StringView name) {
    if (object == nullptr) {
        return nullptr;
    }
    const avm1::Member* m = object->Members().Find(name, true);
    return m != nullptr ? dynamic_cast<T*>(m->value.AsObject()) : nullptr;
}

SoundState* StateOf(CallContext& c) {
    return Hidden<SoundState>(c.This(), kStateMember);
}

// "_levelN.a.b" for a clip.
avm1::String PathOf(avm1::Clip& clip) {
    std::vector<avm1::String> names;
    avm1::Clip* at = &clip;
    for (; at != nullptr && at->LevelNumber() < 0; at = at->Parent()) {
        names.push_back(at->Name());
    }
    avm1::String path = u"_level" + avm1::FromUtf8(std::to_string(at ? at->LevelNumber() : 0));
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        path += u"." + *it;
    }
    return path;
}

double Percent(double v) {
    return std::isfinite(v) ? v : 0;
}

std::size_t Millis(std::size_t mixFrames) {
    return mixFrames * 1000 / media::kMixRate;
}

}  // namespace

media::SoundMix SoundScript::Transform::Mix() const {
    const float scale = static_cast<float>(volume / 10000.0);
    return {static_cast<float>(ll) * scale, static_cast<float>(lr) * scale,
            static_cast<float>(rl) * scale, static_cast<float>(rr) * scale};
}

media::SoundMix SoundScript::ClipMix(MovieClip& clip) {
    auto* t = Hidden<ClipTransform>(runtime_.Vm().ObjectOf(clip), kTransformMember);
    return t != nullptr ? t->transform.Mix() : media::SoundMix{};
}

// The natives, with the script object's state at hand.
struct SoundNatives {
    SoundScript& script;

    Runtime& runtime() { return script.runtime_; }

    // The target clip, or null for a Sound without one or whose clip is gone.
    MovieClip* Target(CallContext& c, const SoundState& s) {
        if (!s.hasTarget) {
            return nullptr;
        }
        MovieClip* base = runtime().LevelClip(0);
        if (base == nullptr) {
            return nullptr;
        }
        return dynamic_cast<MovieClip*>(c.vm.ResolveTarget(s.target, base, c.version));
    }

    // Whether the Sound answers at all: it has no target, or its clip is there.
    bool Live(CallContext& c, const SoundState& s) { return !s.hasTarget || Target(c, s); }

    // The movie its sounds come from: the target's, or _level0's.
    MovieClip* Source(CallContext& c, const SoundState& s) {
        return s.hasTarget ? Target(c, s) : runtime().LevelClip(0);
    }

    Value Construct(CallContext& c) {
        avm1::Object* self = c.This();
        if (self == nullptr) {
            return Value();
        }
        auto state = std::make_unique<SoundState>();
        const Value& target = c.Arg(0);
        if (!target.IsUndefined()) {
            state->hasTarget = true;
            avm1::Object* o = target.AsObject();
            if (avm1::Clip* clip = o != nullptr ? o->AsClip() : nullptr) {
                state->target = PathOf(*clip);
            } else {
                state->target = c.vm.ToString(target, c.version);
            }
        }
        avm1::Object* held = c.vm.Adopt(std::move(state));
        c.vm.Define(self, kStateMember, Value::Obj(held), avm1::kDontEnum);
        return Value();
    }

    // The transform a Sound changes: the global one, or its clip's (made at the first change).
    SoundScript::Transform* Changeable(CallContext& c, SoundState& s) {
        if (!s.hasTarget) {
            return &script.global_;
        }
        MovieClip* clip = Target(c, s);
        if (clip == nullptr) {
            return nullptr;
        }
        avm1::Object* object = c.vm.ObjectOf(*clip);
        if (auto* t = Hidden<ClipTransform>(object, kTransformMember)) {
            return &t->transform;
        }
        auto* t = static_cast<ClipTransform*>(c.vm.Adopt(std::make_unique<ClipTransform>()));
        c.vm.Define(object, kTransformMember, Value::Obj(t), avm1::kDontEnum);
        return &t->transform;
    }

    // The transform a Sound reads; nothing when its clip is gone.
    std::optional<SoundScript::Transform> Current(CallContext& c, SoundState& s) {
        if (!s.hasTarget) {
            return script.global_;
        }
        MovieClip* clip = Target(c, s);
        if (clip == nullptr) {
            return std::nullopt;
        }
        auto* t = Hidden<ClipTransform>(c.vm.ObjectOf(*clip), kTransformMember);
        return t != nullptr ? t->transform : SoundScript::Transform{};
    }

    void Apply(CallContext& c, SoundState& s, const SoundScript::Transform& t) {
        media::MovieSound& sound = runtime().Sound();
        if (!s.hasTarget) {
            sound.SetGlobalMix(t.Mix());
        } else if (MovieClip* clip = Target(c, s)) {
            sound.SetOwnerMix(clip, t.Mix());
        }
    }

    template <typename F>
    Value Change(CallContext& c, F&& change) {
        SoundState* s = StateOf(c);
        SoundScript::Transform* t = s != nullptr ? Changeable(c, *s) : nullptr;
        if (t != nullptr) {
            change(*t);
            Apply(c, *s, *t);
        }
        return Value();
    }

    template <typename F>
    Value Read(CallContext& c, F&& read) {
        SoundState* s = StateOf(c);
        std::optional<SoundScript::Transform> t = s != nullptr ? Current(c, *s) : std::nullopt;
        return t ? read(*t) : Value();
    }

    Value SetVolume(CallContext& c) {
        const double v = c.vm.ToNumber(c.Arg(0), c.version);
        return Change(c, [&](SoundScript::Transform& t) { t.volume = Percent(v); });
    }

    Value SetPan(CallContext& c) {
        const double p = std::clamp(Percent(c.vm.ToNumber(c.Arg(0), c.version)), -100.0, 100.0);
        return Change(c, [&](SoundScript::Transform& t) {
            t.ll = p > 0 ? 100 - p : 100;
            t.rr = p < 0 ? 100 + p : 100;
            t.lr = t.rl = 0;
        });
    }

    Value SetTransform(CallContext& c) {
        avm1::Object* from = c.Arg(0).AsObject();
        if (from == nullptr) {
            return Value();
        }
        std::vector<std::pair<double SoundScript::Transform::*, double>> fields;
        for (auto [name, slot] : {std::pair{u"ll", &SoundScript::Transform::ll},
                                  {u"lr", &SoundScript::Transform::lr},
                                  {u"rr", &SoundScript::Transform::rr},
                                  {u"rl", &SoundScript::Transform::rl}}) {
            const Value v = c.vm.Get(from, name, c.version);
            if (!v.IsUndefined()) {
                fields.emplace_back(slot, Percent(c.vm.ToNumber(v, c.version)));
            }
        }
        return Change(c, [&](SoundScript::Transform& t) {
            for (auto [slot, value] : fields) {
                t.*slot = value;
            }
        });
    }

    Value GetTransform(CallContext& c) {
        return Read(c, [&](const SoundScript::Transform& t) {
            avm1::Object* o = c.vm.NewObject();
            c.vm.Set(o, u"ll", Value::Number(t.ll), c.version);
            c.vm.Set(o, u"lr", Value::Number(t.lr), c.version);
            c.vm.Set(o, u"rr", Value::Number(t.rr), c.version);
            c.vm.Set(o, u"rl", Value::Number(t.rl), c.version);
            return Value::Obj(o);
        });
    }

    // The sound a linkage name exports in the source movie.
    std::shared_ptr<const swf::Sound> Exported(CallContext& c, SoundState& s, const Value& name) {
        MovieClip* source = Source(c, s);
        if (source == nullptr) {
            return nullptr;
        }
        std::optional<std::uint16_t> id =
            source->Movie().ExportedId(c.vm.ToString(name, c.version));
        const swf::Character* character = id ? source->Movie().Character(*id) : nullptr;
        const auto* sound =
            character ? std::get_if<std::shared_ptr<const swf::Sound>>(character) : nullptr;
        return sound != nullptr ? *sound : nullptr;
    }

    Value AttachSound(CallContext& c) {
        SoundState* s = StateOf(c);
        if (s == nullptr) {
            return Value();
        }
        if (auto sound = Exported(c, *s, c.Arg(0))) {
            s->sound = std::move(sound);
            s->voice = 0;
            s->played = false;
        }
        return Value();
    }

    Value Start(CallContext& c) {
        SoundState* s = StateOf(c);
        if (s != nullptr && s->loading) {
            s->sound = std::move(s->loading);  // starting it finishes the loading
        }
        if (s == nullptr || !s->sound || !Live(c, *s)) {
            return Value();
        }
        swf::SoundInfo info;
        const double offset = c.args.empty() ? 0 : c.vm.ToNumber(c.Arg(0), c.version);
        if (std::isfinite(offset) && offset > 0) {
            info.inPoint = static_cast<std::uint32_t>(std::min(offset * media::kMixRate, 4.0e9));
        }
        const double loops = c.args.size() < 2 ? 1 : c.vm.ToNumber(c.Arg(1), c.version);
        if (std::isfinite(loops) && loops > 1) {
            info.loopCount = static_cast<std::uint16_t>(std::min(loops, 65535.0));
        }
        MovieClip* owner = Target(c, *s);
        media::MovieSound& sound = runtime().Sound();
        const media::MovieSound::VoiceId voice = sound.StartSound(
            s->sound, info, owner, owner ? script.ClipMix(*owner) : media::SoundMix{});
        if (voice != 0) {
            s->voice = voice;
            s->played = true;
            script.voices_[voice] = avm1::Root(c.This());
        }
        return Value();
    }

    Value Stop(CallContext& c) {
        SoundState* s = StateOf(c);
        media::MovieSound* sound = runtime().SoundIfAny();
        if (s == nullptr || sound == nullptr || !Live(c, *s)) {
            return Value();
        }
        if (!c.args.empty()) {
            if (auto exported = Exported(c, *s, c.Arg(0))) {
                sound->StopSound(exported.get());
            }
        } else if (MovieClip* owner = Target(c, *s)) {
            sound->StopOwner(owner);
        } else {
            sound->StopEventSounds();
        }
        return Value();
    }

    std::optional<std::size_t> DurationMs(const SoundState& s) {
        if (!s.sound) {
            // A sound still loading has no length yet.
            return s.loading ? std::optional<std::size_t>(0) : std::nullopt;
        }
        const int rate = media::AudioCoding::Of(*s.sound).SampleRate();
        return rate > 0
                   ? static_cast<std::size_t>(std::lround(s.sound->sampleCount * 1000.0 / rate))
                   : 0;
    }

    Value Duration(CallContext& c) {
        SoundState* s = StateOf(c);
        if (s == nullptr || !Live(c, *s)) {
            return Value();
        }
        auto ms = DurationMs(*s);
        return ms ? Value::Number(static_cast<double>(*ms)) : Value();
    }

    Value Position(CallContext& c) {
        SoundState* s = StateOf(c);
        if (s == nullptr || !Live(c, *s) || (!s->sound && !s->loading)) {
            return Value();
        }
        media::MovieSound* sound = runtime().SoundIfAny();
        if (sound != nullptr && s->voice != 0) {
            if (auto pos = sound->VoicePosition(s->voice)) {
                return Value::Number(static_cast<double>(Millis(*pos)));
            }
        }
        // A sound that played to its end stays at its end.
        return Value::Number(s->played ? static_cast<double>(DurationMs(*s).value_or(0)) : 0);
    }

    Value LoadSound(CallContext& c) {
        SoundState* s = StateOf(c);
        if (s == nullptr) {
            return Value();
        }
        MovieClip* source = Source(c, *s);
        const std::string base = source != nullptr ? source->Movie().Url() : std::string();
        const std::string url =
            ResolveMovieUrl(avm1::ToUtf8(c.vm.ToString(c.Arg(0), c.version)), base);
        std::shared_ptr<swf::Sound> loaded;
        bool hasId3 = false;
        std::string error = "not a local file";
        if (std::optional<std::string> path = LocalPath(url)) {
            std::ifstream in(*path, std::ios::binary);
            in.seekg(0, std::ios::end);
            const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
            if (size < 0) {
                error = "cannot read it";
            } else if (static_cast<std::uint64_t>(size) > runtime().Limits().maxMovieBytes) {
                error = "too large";
            } else {
                std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
                in.seekg(0);
                in.read(reinterpret_cast<char*>(bytes.data()), size);
                if (in) {
                    loaded = media::SoundFromMp3File(bytes, &error);
                    if (loaded) {
                        hasId3 = SetId3(c, media::ReadId3Tag(bytes));
                    }
                } else {
                    error = "cannot read it";
                }
            }
        }
        // A new sound takes the place of the one this object played.
        if (media::MovieSound* playing = runtime().SoundIfAny()) {
            for (auto it = script.voices_.begin(); it != script.voices_.end();) {
                if (it->second.get() == c.This()) {
                    playing->StopVoice(it->first);
                    it = script.voices_.erase(it);
                } else {
                    ++it;
                }
            }
        }
        s->sound = nullptr;
        s->loading = nullptr;
        s->voice = 0;
        s->played = false;
        if (loaded) {
            s->fileBytes = loaded->data.size() - 2;
            s->loading = std::move(loaded);
            s->startOnLoad = avm1::ToBoolean(c.Arg(1), c.version);
        } else {
            runtime().ReportError("loadSound " + url + ": " + error);
        }
        script.loaded_.push_back(
            {avm1::Root(c.This()), s->loading != nullptr || s->sound != nullptr, hasId3});
        return Value();
    }

    // The tag's fields as the member id3, unless the object has one: each frame by its id and
    // the common ones also by name; comments gather in an array.
    bool SetId3(CallContext& c, const std::optional<std::vector<media::Id3Field>>& fields) {
        avm1::Object* self = c.This();
        if (!fields || self == nullptr) {
            return false;
        }
        if (self->Members().Find(u"id3", true) != nullptr) {
            return true;
        }
        static const std::map<std::string, std::u16string> kNames = {
            {"COMM", u"comment"}, {"TALB", u"album"}, {"TCON", u"genre"}, {"TIT2", u"songname"},
            {"TPE1", u"artist"},  {"TRCK", u"track"}, {"TYER", u"year"}};
        avm1::Object* id3 = c.vm.NewObject();
        id3->SetProto(nullptr);
        avm1::Object* comments = nullptr;
        for (const media::Id3Field& f : *fields) {
            const Value text = Value::Str(avm1::FromUtf8(f.text));
            if (auto name = kNames.find(f.id); name != kNames.end()) {
                c.vm.Set(id3, name->second, text, c.version);
            }
            if (f.id != "COMM") {
                c.vm.Set(id3, avm1::FromUtf8(f.id), text, c.version);
                continue;
            }
            if (comments == nullptr) {
                comments = c.vm.NewArray();
                c.vm.Set(id3, u"COMM", Value::Obj(comments), c.version);
            }
            const Value length = c.vm.Get(comments, u"length", c.version);
            const auto index = static_cast<std::size_t>(c.vm.ToNumber(length, c.version));
            c.vm.Set(comments, avm1::FromUtf8(std::to_string(index)), text, c.version);
        }
        c.vm.Define(self, u"id3", Value::Obj(id3), avm1::kDontEnum | avm1::kReadOnly);
        return true;
    }

    Value BytesLoaded(CallContext& c) {
        SoundState* s = StateOf(c);
        return s != nullptr && s->fileBytes ? Value::Number(static_cast<double>(*s->fileBytes))
                                            : Value();
    }

    // duration and position take a value as an ordinary member of the object until it has a
    // sound; from then on they only read.
    Value Shadow(CallContext& c, avm1::StringView name) {
        SoundState* s = StateOf(c);
        if (s != nullptr && (s->sound || s->loading)) {
            return Value();
        }
        if (avm1::Object* self = c.This()) {
            c.vm.Define(self, name, c.Arg(0));
        }
        return Value();
    }

    void Start(avm1::Vm& vm, const Value& self) {
        CallContext call{
            vm, self, {}, runtime().LevelClip(0) ? runtime().LevelClip(0)->SwfVersion() : 7};
        Start(call);
    }

    Value GetVolume(CallContext& c) {
        return Read(c, [](const SoundScript::Transform& t) { return Value::Number(t.volume); });
    }

    Value GetPan(CallContext& c) {
        return Read(c, [](const SoundScript::Transform& t) { return Value::Number(t.rr - t.ll); });
    }

    Value ShadowDuration(CallContext& c) { return Shadow(c, u"duration"); }
    Value ShadowPosition(CallContext& c) { return Shadow(c, u"position"); }
};

namespace {

template <Value (SoundNatives::*kMethod)(CallContext&)>
Value Native(CallContext& c) {
    SoundNatives natives{RuntimeOf(c).SoundScripts()};
    return (natives.*kMethod)(c);
}

// Flash has them and they do nothing.
Value Nothing(CallContext&) {
    return Value();
}

constexpr avm1::NativeMember kPrototype[] = {
    Method(u"attachSound", Native<&SoundNatives::AttachSound>),
    Method(u"start", Native<&SoundNatives::Start>),
    Method(u"stop", Native<&SoundNatives::Stop>),
    Method(u"setVolume", Native<&SoundNatives::SetVolume>),
    Method(u"setPan", Native<&SoundNatives::SetPan>),
    Method(u"setTransform", Native<&SoundNatives::SetTransform>),
    Method(u"getTransform", Native<&SoundNatives::GetTransform>),
    Method(u"getDuration", Native<&SoundNatives::Duration>),
    Method(u"getPosition", Native<&SoundNatives::Position>),
    Method(u"loadSound", Native<&SoundNatives::LoadSound>),
    Method(u"getBytesLoaded", Native<&SoundNatives::BytesLoaded>),
    Method(u"getBytesTotal", Native<&SoundNatives::BytesLoaded>),
    Method(u"setDuration", Nothing),
    Method(u"setPosition", Nothing),
    Method(u"getVolume", Native<&SoundNatives::GetVolume>),
    Method(u"getPan", Native<&SoundNatives::GetPan>),
    // duration and position read like members.
    Accessor(u"duration", Native<&SoundNatives::Duration>, Native<&SoundNatives::ShadowDuration>,
             avm1::kDontEnum),
    Accessor(u"position", Native<&SoundNatives::Position>, Native<&SoundNatives::ShadowPosition>,
             avm1::kDontEnum),
};

}  // namespace

void InstallSound(avm1::Vm& vm) {
    avm1::Object* global = vm.Global();
    if (global->Members().Find(u"Sound", true) != nullptr) {
        return;
    }
    avm1::Object* sound = vm.NewFunction(Native<&SoundNatives::Construct>, 1);
    avm1::Object* proto = vm.NewObject();
    vm.Define(sound, u"prototype", Value::Obj(proto), avm1::kDontEnum);
    vm.Define(proto, u"constructor", Value::Obj(sound), avm1::kDontEnum);
    avm1::DefineMembers(vm, proto, kPrototype);
    vm.Define(global, u"Sound", Value::Obj(sound), avm1::kDontEnum);
}

void SoundScript::Reset() {
    global_ = Transform{};
    voices_.clear();
    loaded_.clear();
}

void SoundScript::DispatchLoads(avm1::Vm& vm, const std::vector<Loaded>& loaded, int version) {
    for (const Loaded& l : loaded) {
        auto* state = Hidden<SoundState>(l.sound.get(), kStateMember);
        if (l.id3) {
            vm.CallMethod(l.sound.get(), u"onID3", {}, version);
        }
        if (state != nullptr && state->loading) {
            state->sound = std::move(state->loading);
            if (std::exchange(state->startOnLoad, false)) {
                SoundNatives{*this}.Start(vm, Value::Obj(l.sound.get()));
            }
        }
        const Value ok = Value::Bool(l.ok);
        vm.CallMethod(l.sound.get(), u"onLoad", std::span(&ok, 1), version);
    }
}

void SoundScript::Dispatch() {
    avm1::Vm& vm = runtime_.Vm();
    MovieClip* root = runtime_.LevelClip(0);
    const int version = root != nullptr ? root->SwfVersion() : 7;
    // Loads a handler starts are told of in the same tick, up to a bound (a handler that
    // loads again each time must not hold the tick forever).
    for (int round = 0; round < kLoadRounds && !loaded_.empty(); ++round) {
        DispatchLoads(vm, std::exchange(loaded_, {}), version);
    }
    media::MovieSound* sound = runtime_.SoundIfAny();
    if (sound == nullptr) {
        return;
    }
    for (media::MovieSound::VoiceId id : sound->TakeFinished()) {
        auto it = voices_.find(id);
        if (it == voices_.end()) {
            continue;
        }
        avm1::Root object = it->second;
        voices_.erase(it);
        vm.CallMethod(object.get(), u"onSoundComplete", {}, version);
    }
    // Voices stopped by a script or by the movie end without a call.
    std::erase_if(voices_, [sound](const auto& v) { return !sound->IsVoicePlaying(v.first); });
}

}  // namespace flash
