// Timeline, target, property, drag, sprite and host actions.
#include <algorithm>
#include <cmath>

#include "flash/avm1/convert.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

using A = ActionCode;

void DoNextFrame(ActionStep& s) {
    if (Clip* c = s.in.TargetClip(s.act)) {
        c->GotoFrame(c->CurrentFrame() + 1, false);
    }
}

void DoPreviousFrame(ActionStep& s) {
    if (Clip* c = s.in.TargetClip(s.act)) {
        if (c->CurrentFrame() > 0) {
            c->GotoFrame(c->CurrentFrame() - 1, false);
        } else {
            c->Stop();
        }
    }
}

void DoPlay(ActionStep& s) {
    if (Clip* c = s.in.TargetClip(s.act)) {
        c->Play();
    }
}

void DoStop(ActionStep& s) {
    if (Clip* c = s.in.TargetClip(s.act)) {
        c->Stop();
    }
}

void DoToggleQuality(ActionStep& s) {
    s.in.host().ToggleQuality();
}

void DoStopSounds(ActionStep& s) {
    s.in.host().StopSounds();
}

void DoGotoFrame(ActionStep& s) {
    auto frame = s.Payload<GotoFrameAction>().frame;
    if (Clip* c = s.in.TargetClip(s.act); c && frame) {
        c->GotoFrame(*frame, false);
    }
}

void DoGotoFrame2(ActionStep& s) {
    const auto& g = s.Payload<GotoFrame2Action>();
    s.in.GotoFrameSpec(s.act, s.Pop(), g.play, g.bias);
}

void DoGoToLabel(ActionStep& s) {
    const String& label = s.Payload<NameAction>().name;
    if (Clip* c = s.in.TargetClip(s.act)) {
        c->GotoLabel(label, false);
    }
}

void DoGetUrl(ActionStep& s) {
    const auto& g = s.Payload<GetUrlAction>();
    UrlRequest req;
    req.url = g.url;
    req.target = g.target;
    req.source = s.in.TargetClip(s.act);
    if (auto level = LevelOf(req.target)) {
        req.targetLevel = level;
        req.loadTarget = true;
    }
    s.in.host().GetUrl(req);
}

void DoGetUrl2(ActionStep& s) {
    const int v = s.version();
    std::uint8_t flags = s.Payload<GetUrl2Action>().flags;
    Value target = s.Pop();
    Value url = s.Pop();
    UrlRequest req;
    req.url = s.in.ToString(url, v);
    req.target = s.in.ToString(target, v);
    switch (flags & 3) {
        case 1:
            req.method = UrlRequest::Method::Get;
            break;
        case 2:
            req.method = UrlRequest::Method::Post;
            break;
        default:
            break;
    }
    req.loadTarget = (flags & 0x40) != 0;
    req.loadVariables = (flags & 0x80) != 0;
    req.source = s.in.TargetClip(s.act);
    if (auto level = LevelOf(req.target)) {
        req.targetLevel = level;
    } else if (req.loadTarget) {
        Clip* base = s.act.target ? s.act.target->AsClip() : nullptr;
        if (auto* o = target.AsObject()) {
            req.targetClip = o->AsClip();
        } else {
            req.targetClip = s.in.ResolveTargetPath(req.target, base, v);
        }
    }
    s.in.host().GetUrl(req);
}

// A frame counts as loaded once it arrived, and any frame up to Flash's last possible one
// (16000) does once the whole clip has.
bool FrameLoaded(Clip& clip, int frame) {
    int loaded = clip.FramesLoaded();
    return frame < loaded || (loaded >= clip.TotalFrames() && frame <= 16000);
}

// Skips the next `count` actions, fewer when the block ends first.
void SkipActions(ActionStep& s, int count) {
    for (int i = 0; i < count; ++i) {
        const DecodedAction* next = s.act.program->At(s.flow.pc, s.act.end);
        if (!next) {
            break;
        }
        s.flow.pc = next->next;
    }
}

void DoWaitForFrame(ActionStep& s) {
    const auto& w = s.Payload<WaitForFrameAction>();
    Clip* c = s.in.TargetClip(s.act);
    if (w.frame && w.skip && c && !FrameLoaded(*c, *w.frame)) {
        SkipActions(s, *w.skip);
    }
}

void DoWaitForFrame2(ActionStep& s) {
    auto skip = s.Payload<WaitForFrame2Action>().skip;
    Value frame = s.Pop();
    Clip* c = nullptr;
    int index = 0;
    if (skip && s.in.ResolveFrameSpec(s.act, frame, c, index) && !FrameLoaded(*c, index)) {
        SkipActions(s, *skip);
    }
}

void DoSetTarget(ActionStep& s) {
    s.in.SetTargetTo(s.act, Value::Str(s.Payload<NameAction>().name));
}

void DoSetTarget2(ActionStep& s) {
    s.in.SetTargetTo(s.act, s.Pop());
}

// The clip a timeline action names: a clip object, or a target path from the current
// target (the current target itself for "" when `emptyIsTarget`).
Clip* NamedClip(ActionStep& s, const Value& target, bool emptyIsTarget) {
    if (auto* o = target.AsObject()) {
        return o->AsClip();
    }
    String path = s.in.ToString(target, s.version());
    if (path.empty() && emptyIsTarget) {
        return s.in.TargetClip(s.act);
    }
    return s.in.ResolveTargetPath(path, s.in.TargetClip(s.act), s.version());
}

void DoGetProperty(ActionStep& s) {
    const int v = s.version();
    Value index = s.Pop();
    Value target = s.Pop();
    auto prop = PropertyByIndex(s.in.ToNumber(index, v));
    Clip* c = nullptr;
    if (auto* o = target.AsObject()) {
        c = o->AsClip();
    } else {
        String path = s.in.ToString(target, v);
        // After a tellTarget that named no clip, "" names none either (SWF 7).
        c = path.empty() ? (s.act.targetMissing ? nullptr : s.in.TargetClip(s.act))
                         : s.in.ResolveTargetPath(path, s.in.TargetClip(s.act), v);
    }
    if (!c || !prop) {
        s.Push(Value());
        return;
    }
    s.Push(s.in.GetMember(s.in.ObjectFor(c), PropertyName(*prop), v));
}

void DoSetProperty(ActionStep& s) {
    const int v = s.version();
    Value value = s.Pop();
    Value index = s.Pop();
    Value target = s.Pop();
    auto prop = PropertyByIndex(s.in.ToNumber(index, v));
    Clip* c = NamedClip(s, target, true);
    if (c && prop) {
        s.in.SetMember(s.in.ObjectFor(c), PropertyName(*prop), value, v);
    }
}

void DoCloneSprite(ActionStep& s) {
    const int v = s.version();
    Value depth = s.Pop();
    Value target = s.Pop();
    Value source = s.Pop();
    if (Clip* c = NamedClip(s, source, false)) {
        double d = s.in.ToNumber(depth, v);
        s.in.host().CloneSprite(
            *c, s.in.ToString(target, v),
            std::isfinite(d) ? static_cast<int>(std::clamp(d, -2147483648.0, 2147483647.0)) : 0);
    }
}

void DoRemoveSprite(ActionStep& s) {
    Value target = s.Pop();
    if (Clip* c = NamedClip(s, target, false)) {
        s.in.host().RemoveSprite(*c);
    }
}

void DoStartDrag(ActionStep& s) {
    const int v = s.version();
    Value target = s.Pop();
    bool lock = ToBoolean(s.Pop(), v);
    bool constrain = ToBoolean(s.Pop(), v);
    std::optional<DragRect> rect;
    if (constrain) {
        DragRect d;
        d.bottom = s.in.ToNumber(s.Pop(), v);
        d.right = s.in.ToNumber(s.Pop(), v);
        d.top = s.in.ToNumber(s.Pop(), v);
        d.left = s.in.ToNumber(s.Pop(), v);
        rect = d;
    }
    if (Clip* c = NamedClip(s, target, true)) {
        s.in.host().StartDrag(*c, lock, rect);
    }
}

void DoEndDrag(ActionStep& s) {
    s.in.host().StopDrag();
}

void DoTrace(ActionStep& s) {
    Value value = s.Pop();
    s.in.host().Trace(value.IsUndefined() ? String(u"undefined")
                                          : s.in.ToString(value, s.version()));
}

void DoGetTime(ActionStep& s) {
    s.Push(Value::Number(std::floor(s.in.host().TimeMs())));
}

void DoRandomNumber(ActionStep& s) {
    double max = ToIntegerNumber(s.in.ToNumber(s.Pop(), s.version()));
    double r = s.in.host().Random();
    s.Push(Value::Number(max > 0 ? std::floor(std::clamp(r, 0.0, 0.9999999999) * max) : 0));
}

void DoTargetPath(ActionStep& s) {
    Value t = s.Pop();
    Object* o = t.AsObject();
    Clip* c = o ? o->AsClip() : nullptr;
    s.Push(c ? Value::Str(s.in.DotPath(*c)) : Value());
}

}  // namespace

void AddTimelineHandlers(HandlerTable& t) {
    SetHandler(t, A::NextFrame, DoNextFrame);
    SetHandler(t, A::PreviousFrame, DoPreviousFrame);
    SetHandler(t, A::Play, DoPlay);
    SetHandler(t, A::Stop, DoStop);
    SetHandler(t, A::ToggleQuality, DoToggleQuality);
    SetHandler(t, A::StopSounds, DoStopSounds);
    SetHandler(t, A::GotoFrame, DoGotoFrame);
    SetHandler(t, A::GotoFrame2, DoGotoFrame2);
    SetHandler(t, A::GoToLabel, DoGoToLabel);
    SetHandler(t, A::GetURL, DoGetUrl);
    SetHandler(t, A::GetURL2, DoGetUrl2);
    SetHandler(t, A::WaitForFrame, DoWaitForFrame);
    SetHandler(t, A::WaitForFrame2, DoWaitForFrame2);
    SetHandler(t, A::SetTarget, DoSetTarget);
    SetHandler(t, A::SetTarget2, DoSetTarget2);
    SetHandler(t, A::GetProperty, DoGetProperty);
    SetHandler(t, A::SetProperty, DoSetProperty);
    SetHandler(t, A::CloneSprite, DoCloneSprite);
    SetHandler(t, A::RemoveSprite, DoRemoveSprite);
    SetHandler(t, A::StartDrag, DoStartDrag);
    SetHandler(t, A::EndDrag, DoEndDrag);
    SetHandler(t, A::Trace, DoTrace);
    SetHandler(t, A::GetTime, DoGetTime);
    SetHandler(t, A::RandomNumber, DoRandomNumber);
    SetHandler(t, A::TargetPath, DoTargetPath);
}

}  // namespace flash::avm1
