// Variables by name and path, target paths and frames given by number or label.
#include <cmath>

#include "flash/avm1/convert.h"
#include "globals.h"
#include "interpreter.h"

namespace flash::avm1 {

std::optional<int> LevelOf(StringView name) {
    static constexpr StringView kLevel = u"_level";
    if (name.size() <= kLevel.size() || !NamesEqual(name.substr(0, kLevel.size()), kLevel, 6)) {
        return std::nullopt;
    }
    int n = 0;
    for (char16_t c : name.substr(kLevel.size())) {
        if (c < u'0' || c > u'9' || n > 100000) {
            return std::nullopt;
        }
        n = n * 10 + (c - u'0');
    }
    return n;
}

namespace {

bool HasPathSeparator(StringView path) {
    for (char16_t c : path) {
        if (c == u':' || c == u'/' || c == u'.') {
            return true;
        }
    }
    return false;
}

Clip* RootOf(Clip* clip) {
    int guard = 0;
    while (clip && clip->Parent() && !clip->LocksRoot() && guard++ < 100000) {
        clip = clip->Parent();
    }
    return clip;
}

}  // namespace

Clip* Interpreter::TargetClip(Activation& act) {
    if (!act.targetValid || !act.target) {
        return nullptr;
    }
    return act.target->AsClip();
}

Value Interpreter::LookupSpecial(Activation& act, StringView name, bool& found) {
    const int v = act.version;
    found = true;
    if (v >= 6 && NamesEqual(name, u"_global", v)) {
        return Value::Obj(globals_.global);
    }
    if (auto level = LevelOf(name)) {
        // A level nothing is loaded into is undefined.
        Clip* root = host().Level(*level);
        return root != nullptr ? Value::Obj(ObjectFor(root)) : Value();
    }
    if (NamesEqual(name, u"_root", v)) {
        // The root of the code's own timeline; code whose clip was removed has none.
        Clip* c = act.base ? act.base->AsClip() : TargetClip(act);
        if (!c && !act.base) {
            c = host().Level(0);
        }
        c = RootOf(c);
        return c ? Value::Obj(ObjectFor(c)) : Value();
    }
    found = false;
    return Value();
}

Value Interpreter::LookupName(Activation& act, StringView name, bool* found) {
    const int v = act.version;
    Value out;
    if (found) {
        *found = true;
    }
    for (const Scope* s = act.scope.get(); s; s = s->parent.get()) {
        if (FindMember(s->object, name, v, out)) {
            return out;
        }
    }
    // "this" that no scope defines is the timeline (inside functions from SWF 6).
    if ((!act.locals || v >= 6) && NamesEqual(name, u"this", v)) {
        return Value::Obj(act.targetValid ? act.target : act.base);
    }
    bool special = false;
    out = LookupSpecial(act, name, special);
    if (special) {
        return out;
    }
    if (act.targetValid && act.target && FindMember(act.target, name, v, out)) {
        return out;
    }
    if (v >= 5 && FindMember(globals_.global, name, v, out)) {
        return out;
    }
    if (found) {
        *found = false;
    }
    return Value();
}

Object* Interpreter::ResolvePathObject(Activation& act, StringView path, bool) {
    const int v = act.version;
    // In a slash path a point belongs to the name (".." aside).
    const bool slashes = path.find(u'/') != StringView::npos;
    std::size_t i = 0;
    Object* cur = nullptr;
    bool first = true;
    if (!path.empty() && path[0] == u'/') {
        Clip* c = TargetClip(act);
        if (!c && act.base) {
            c = act.base->AsClip();
        }
        c = RootOf(c);
        cur = ObjectFor(c);
        if (!cur) {
            return nullptr;
        }
        first = false;
        i = 1;
    }
    auto parentOf = [&](Object* o) -> Object* {
        Clip* c = o ? o->AsClip() : nullptr;
        return c && c->Parent() ? ObjectFor(c->Parent()) : nullptr;
    };
    while (i < path.size()) {
        StringView seg;
        if (path.substr(i, 2) == u"..") {
            seg = path.substr(i, 2);
            i += 2;
        } else {
            std::size_t j = i;
            while (j < path.size() && path[j] != u'/' && (path[j] != u'.' || slashes) &&
                   path[j] != u':') {
                ++j;
            }
            seg = path.substr(i, j - i);
            i = j;
        }
        if (i < path.size() &&
            (path[i] == u'/' || (path[i] == u'.' && !slashes) || path[i] == u':')) {
            ++i;
        }
        if (seg.empty()) {
            continue;
        }
        // Along a path, a clip's children come before its variables.
        auto child = [&](Object* o) -> Object* {
            Clip* c = o ? o->AsClip() : nullptr;
            Clip* found = c ? c->ChildByName(seg, v >= 7) : nullptr;
            return found ? ObjectFor(found) : nullptr;
        };
        if (first) {
            first = false;
            if (seg == u"..") {
                cur = parentOf(act.targetValid ? act.target : act.base);
            } else if (Object* c = child(act.targetValid ? act.target : nullptr)) {
                cur = c;
            } else {
                cur = LookupName(act, seg).AsObject();
            }
        } else if (seg == u"..") {
            cur = parentOf(cur);
        } else if (Object* c = child(cur)) {
            cur = c;
        } else {
            cur = GetMember(cur, seg, v).AsObject();
        }
        if (!cur) {
            return nullptr;
        }
    }
    if (first) {
        return act.targetValid ? act.target : nullptr;
    }
    return cur;
}

Clip* Interpreter::ResolveTargetPath(StringView path, Clip* base, int version) {
    Activation act;
    act.version = version;
    act.target = ObjectFor(base);
    act.base = act.target;
    act.targetValid = act.target != nullptr;
    Object* o = ResolvePathObject(act, path, true);
    return o ? o->AsClip() : nullptr;
}

Value Interpreter::GetVariable(Activation& act, StringView path) {
    if (!HasPathSeparator(path)) {
        return LookupName(act, path);
    }
    std::size_t p = path.find_last_of(u":./");
    StringView objPath = path.substr(0, p == 0 ? 1 : p);
    StringView var = path.substr(p + 1);
    if (path[p] != u':' && (var.empty() || (p > 0 && path[p] == u'.' && path[p - 1] == u'.'))) {
        // "a/.." and the like name a clip, not a variable
        Object* o = ResolvePathObject(act, path, true);
        return o ? Value::Obj(o) : Value();
    }
    if (path[p] == u'/') {
        // "a/b" names the clip b, never a variable or a shape of that name.
        Object* o = ResolvePathObject(act, path, true);
        Clip* clip = o != nullptr ? o->AsClip() : nullptr;
        Object* parent = ResolvePathObject(act, objPath, true);
        Clip* holder = parent != nullptr ? parent->AsClip() : nullptr;
        return clip != nullptr && clip != holder ? Value::Obj(o) : Value();
    }
    Object* o = ResolvePathObject(act, objPath, true);
    if (!o) {
        return Value();
    }
    if (var.empty()) {
        return Value::Obj(o);
    }
    return GetMember(o, var, act.version);
}

void Interpreter::SetVariable(Activation& act, StringView path, const Value& value) {
    const int v = act.version;
    if (!HasPathSeparator(path)) {
        for (const Scope* s = act.scope.get(); s; s = s->parent.get()) {
            if (HasMember(s->object, path, v)) {
                SetMember(s->object, path, value, v);
                return;
            }
        }
        if (act.targetValid && act.target) {
            SetMember(act.target, path, value, v);
        }
        return;
    }
    Object* owner = nullptr;
    String member;
    if (ResolveVariableOwner(act, path, owner, member)) {
        SetMember(owner, member, value, v);
    }
}

bool Interpreter::ResolveVariableOwner(Activation& act, StringView path, Object*& owner,
                                       String& member) {
    std::size_t p = path.find_last_of(u":./");
    StringView objPath = path.substr(0, p == 0 ? 1 : p);
    StringView var = path.substr(p + 1);
    if (var.empty()) {
        return false;
    }
    owner = ResolvePathObject(act, objPath, true);
    member = String(var);
    return owner != nullptr;
}

String Interpreter::DotPath(Clip& clip) {
    std::vector<String> names;
    Clip* c = &clip;
    int guard = 0;
    while (c->Parent() && guard++ < 100000) {
        names.push_back(c->Name());
        c = c->Parent();
    }
    int level = c->LevelNumber();
    String out = u"_level" + Ascii(std::to_string(level < 0 ? 0 : level));
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        out += u'.';
        out += *it;
    }
    return out;
}

String Interpreter::SlashPath(Clip& clip) {
    std::vector<String> names;
    Clip* c = &clip;
    int guard = 0;
    while (c->Parent() && guard++ < 100000) {
        names.push_back(c->Name());
        c = c->Parent();
    }
    int level = c->LevelNumber();
    String out = level > 0 ? u"_level" + Ascii(std::to_string(level)) : String();
    if (names.empty()) {
        return out.empty() ? String(u"/") : out;
    }
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        out += u'/';
        out += *it;
    }
    return out;
}

bool Interpreter::ResolveFrameSpec(Activation& act, const Value& frame, Clip*& clip, int& index,
                                   bool* label) {
    const int v = act.version;
    clip = TargetClip(act);
    if (label) {
        *label = false;
    }
    if (frame.IsString()) {
        StringView s = frame.AsString();
        std::size_t colon = s.rfind(u':');
        if (colon != StringView::npos) {
            clip = ResolveTargetPath(s.substr(0, colon), clip, v);
            s = s.substr(colon + 1);
        }
        if (!clip) {
            return false;
        }
        // A frame number when it reads as one, a label otherwise.
        double n = StringToNumber(s, 7);
        if (std::isfinite(n)) {
            if (n < 1) {
                return false;
            }
            index = static_cast<int>(std::min(n, 2147483647.0)) - 1;
            return true;
        }
        auto labelled = clip->FrameOfLabel(s);
        if (!labelled) {
            return false;
        }
        index = *labelled;
        if (label) {
            *label = true;
        }
        return true;
    }
    if (!clip) {
        return false;
    }
    double n = ToNumber(frame, v);
    if (!std::isfinite(n) || n < 1) {
        return false;
    }
    index = static_cast<int>(std::min(std::trunc(n), 2147483647.0)) - 1;
    return true;
}

void Interpreter::GotoFrameSpec(Activation& act, const Value& frame, bool play, int bias) {
    Clip* clip = nullptr;
    int index = 0;
    bool label = false;
    if (!ResolveFrameSpec(act, frame, clip, index, &label)) {
        return;
    }
    if (!label) {
        index += bias;
    }
    clip->GotoFrame(index, play);
}

// tellTarget: "" (and undefined before SWF 7) goes back to the code's own timeline; a target
// that names no clip is the level's root.
void Interpreter::SetTargetTo(Activation& act, const Value& t) {
    const int v = act.version;
    act.targetMissing = false;
    if (auto* o = t.AsObject(); o && o->AsClip()) {
        act.target = o;
        act.targetValid = true;
        return;
    }
    String path = t.IsUndefined() ? String() : ToString(t, v);
    if (path.empty() && (!t.IsUndefined() || v < 7)) {
        act.target = act.base;
        act.targetValid = true;
        return;
    }
    Clip* base = act.base ? act.base->AsClip() : nullptr;
    Clip* c = path.empty() ? nullptr : ResolveTargetPath(path, base, v);
    if (c) {
        act.target = ObjectFor(c);
        act.targetValid = true;
    } else if (base) {
        Clip* root = base;
        for (int guard = 0; root->Parent() && guard < 100000; ++guard) {
            root = root->Parent();
        }
        act.target = ObjectFor(root);
        act.targetValid = true;
        act.targetMissing = v >= 7;
    } else {
        act.target = act.base;
        act.targetValid = false;
    }
}

}  // namespace flash::avm1
