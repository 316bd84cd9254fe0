// TextSnapshot: the characters of the static text (DefineText) a clip shows, as
// new TextSnapshot(clip) or clip.getTextSnapshot() take them: counted, read and searched.
#include <algorithm>
#include <cmath>

#include "display/movie_clip.h"
#include "flash/avm1/convert.h"
#include "flash/avm1/object.h"
#include "runtime/movie_data.h"
#include "script/script_classes.h"

namespace flash {

namespace {

using avm1::CallContext;
using avm1::Method;
using avm1::Value;

constexpr char16_t kStateMember[] = u"__snapshot";

class SnapshotState final : public avm1::Object {
  public:
    SnapshotState() : Object(nullptr, avm1::ObjectClass::Host) {}
    avm1::String text;
};

// The characters of one static text: each glyph's code in its record's font.
void AppendText(MovieData& movie, const swf::Text& text, avm1::String& out) {
    for (const swf::TextRecord& record : text.records) {
        const swf::Character* c = movie.Character(record.fontId);
        const auto* font =
            c != nullptr ? std::get_if<std::shared_ptr<const swf::Font>>(c) : nullptr;
        for (const swf::GlyphEntry& g : record.glyphs) {
            if (font != nullptr && *font && g.index < (*font)->glyphs.size()) {
                out += static_cast<char16_t>((*font)->glyphs[g.index].code);
            }
        }
    }
}

avm1::String SnapshotText(MovieClip& clip) {
    avm1::String out;
    for (const auto& [depth, child] : clip.DisplayList()) {
        const auto* graphic = dynamic_cast<const GraphicObject*>(child.get());
        if (graphic == nullptr) {
            continue;
        }
        if (const auto* text = std::get_if<std::shared_ptr<const swf::Text>>(&graphic->Character());
            text != nullptr && *text) {
            AppendText(child->Movie(), **text, out);
        }
    }
    return out;
}

SnapshotState* StateOf(CallContext& c) {
    avm1::Object* self = c.This();
    if (self == nullptr) {
        return nullptr;
    }
    const avm1::Member* m = self->Members().Find(kStateMember, true);
    return m != nullptr ? dynamic_cast<SnapshotState*>(m->value.AsObject()) : nullptr;
}

MovieClip* ClipArg(const Value& v) {
    avm1::Object* o = v.AsObject();
    return o != nullptr ? dynamic_cast<MovieClip*>(o->AsClip()) : nullptr;
}

void Attach(avm1::Vm& vm, avm1::Object* self, MovieClip& clip) {
    auto* state = vm.New<SnapshotState>();
    state->text = SnapshotText(clip);
    vm.Define(self, kStateMember, Value::Obj(state), avm1::kDontEnum);
}

Value Construct(CallContext& c) {
    MovieClip* clip = ClipArg(c.Arg(0));
    if (c.This() != nullptr && clip != nullptr && c.args.size() == 1) {
        Attach(c.vm, c.This(), *clip);
    }
    return Value();
}

Value GetCount(CallContext& c) {
    SnapshotState* s = StateOf(c);
    return s != nullptr ? Value::Number(static_cast<double>(s->text.size())) : Value();
}

Value GetText(CallContext& c) {
    SnapshotState* s = StateOf(c);
    if (s == nullptr || c.args.size() < 2) {
        return Value();
    }
    const double length = static_cast<double>(s->text.size());
    const double b =
        std::clamp(avm1::ToIntegerNumber(c.vm.ToNumber(c.Arg(0), c.version)), 0.0, length);
    const double e =
        std::clamp(avm1::ToIntegerNumber(c.vm.ToNumber(c.Arg(1), c.version)), b, length);
    return Value::Str(s->text.substr(static_cast<std::size_t>(b), static_cast<std::size_t>(e - b)));
}

// findText(start, text, caseSensitive): where `text` first occurs from `start`, or -1.
Value FindText(CallContext& c) {
    SnapshotState* s = StateOf(c);
    if (s == nullptr || c.args.size() != 3) {
        return Value();
    }
    const double start = avm1::ToIntegerNumber(c.vm.ToNumber(c.Arg(0), c.version));
    avm1::String needle = c.vm.ToString(c.Arg(1), c.version);
    const bool caseSensitive = avm1::ToBoolean(c.Arg(2), c.version);
    if (needle.empty() || start < 0 || start >= static_cast<double>(s->text.size())) {
        return Value::Number(-1);
    }
    avm1::String hay = s->text;
    if (!caseSensitive) {
        hay = avm1::FoldCase(hay);
        needle = avm1::FoldCase(needle);
    }
    const std::size_t at = hay.find(needle, static_cast<std::size_t>(start));
    return Value::Number(at == avm1::String::npos ? -1 : static_cast<double>(at));
}

Value GetSelected(CallContext& c) {
    return StateOf(c) != nullptr && c.args.size() >= 2 ? Value::Bool(false) : Value();
}

Value GetSelectedText(CallContext& c) {
    return StateOf(c) != nullptr ? Value::Str(avm1::String()) : Value();
}

Value HitTestTextNearPos(CallContext& c) {
    return StateOf(c) != nullptr && c.args.size() >= 2 ? Value::Number(-1) : Value();
}

Value GetTextRunInfo(CallContext& c) {
    return StateOf(c) != nullptr && c.args.size() >= 2 ? Value::Obj(c.vm.NewArray()) : Value();
}

Value Nothing(CallContext&) {
    return Value();
}

// In the reverse of the order for..in lists them; version 5 movies list them but read them as
// undefined.
constexpr std::uint16_t kMethodFlags = avm1::kVersion6;

constexpr avm1::NativeMember kPrototype[] = {
    Method(u"getCount", GetCount, kMethodFlags),
    Method(u"setSelected", Nothing, kMethodFlags),
    Method(u"getSelected", GetSelected, kMethodFlags),
    Method(u"getText", GetText, kMethodFlags),
    Method(u"getSelectedText", GetSelectedText, kMethodFlags),
    Method(u"hitTestTextNearPos", HitTestTextNearPos, kMethodFlags),
    Method(u"findText", FindText, kMethodFlags),
    Method(u"setSelectColor", Nothing, kMethodFlags),
    Method(u"getTextRunInfo", GetTextRunInfo, kMethodFlags),
};

Value GetTextSnapshot(CallContext& c) {
    MovieClip* clip = ClipArg(c.thisValue);
    avm1::Object* ctor = c.vm.Get(c.vm.Global(), u"TextSnapshot", c.version).AsObject();
    if (clip == nullptr || ctor == nullptr) {
        return Value();
    }
    avm1::Object* snapshot = c.vm.NewObject();
    if (avm1::Object* proto = c.vm.Get(ctor, u"prototype", c.version).AsObject()) {
        snapshot->SetProto(proto);
    }
    Attach(c.vm, snapshot, *clip);
    return Value::Obj(snapshot);
}

constexpr avm1::NativeMember kMovieClipMembers[] = {
    Method(u"getTextSnapshot", GetTextSnapshot),
};

}  // namespace

void InstallTextSnapshot(avm1::Vm& vm) {
    avm1::Object* ctor = vm.NewFunction(Construct, 0);
    avm1::Object* proto = vm.NewObject();
    vm.Define(ctor, u"prototype", Value::Obj(proto), avm1::kDontEnum);
    vm.Define(proto, u"constructor", Value::Obj(ctor), avm1::kDontEnum);
    avm1::DefineMembers(vm, proto, kPrototype);
    vm.Define(vm.Global(), u"TextSnapshot", Value::Obj(ctor), avm1::kDontEnum);
    avm1::DefineMembers(vm, vm.MovieClipPrototype(), kMovieClipMembers);
}

}  // namespace flash
