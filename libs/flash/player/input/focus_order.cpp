#include "input/focus_order.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <tuple>
#include <vector>

#include "display/button_object.h"
#include "display/movie_clip.h"
#include "display/text_field.h"
#include "flash/avm1/convert.h"
#include "flash/avm1/object.h"
#include "input/interactive.h"
#include "runtime/movie_data.h"
#include "runtime/runtime.h"

namespace flash {

namespace {

constexpr std::array<const char16_t*, 7> kButtonHandlers{
    u"onPress",   u"onRelease",  u"onReleaseOutside", u"onRollOver",
    u"onRollOut", u"onDragOver", u"onDragOut"};

avm1::Object* ScriptObject(Runtime& runtime, DisplayObject& object) {
    avm1::Clip* clip = object.ScriptClip();
    return clip != nullptr ? runtime.Vm().ObjectOf(*clip) : nullptr;
}

avm1::Value Member(Runtime& runtime, DisplayObject& object, avm1::StringView name) {
    avm1::Object* o = ScriptObject(runtime, object);
    return o != nullptr ? runtime.Vm().Get(o, name, object.Movie().Version()) : avm1::Value();
}

bool Truthy(Runtime& runtime, DisplayObject& object, const avm1::Value& v) {
    return avm1::ToBoolean(runtime.Vm().ToPrimitive(v, object.Movie().Version()),
                           object.Movie().Version());
}

// Whether the object or its prototypes hold a member at all, even one set to undefined.
bool Holds(avm1::Object* object, avm1::StringView name, bool caseSensitive) {
    int guard = 0;
    for (avm1::Object* o = object; o != nullptr && guard < 256; o = o->Proto(), ++guard) {
        if (o->Members().Find(name, caseSensitive) != nullptr) {
            return true;
        }
    }
    return false;
}

bool HoldsButtonHandler(Runtime& runtime, DisplayObject& object) {
    avm1::Object* o = ScriptObject(runtime, object);
    const bool cs = object.Movie().Version() >= 7;
    return std::any_of(kButtonHandlers.begin(), kButtonHandlers.end(),
                       [&](const char16_t* name) { return Holds(o, name, cs); });
}

bool IsLevelRoot(const DisplayObject& object) {
    return object.Container() == nullptr;
}

bool IsInputField(TextFieldObject& field) {
    return field.Settings().editable;
}

// tabIndex as the order uses it; none when unset (undefined, not a number, or -1).
std::optional<std::int32_t> TabIndexOf(Runtime& runtime, DisplayObject& object) {
    avm1::Value v = Member(runtime, object, u"tabIndex");
    if (v.IsUndefined() || v.IsNull()) {
        return std::nullopt;
    }
    double n = runtime.Vm().ToNumber(v, object.Movie().Version());
    if (!std::isfinite(n)) {
        return std::nullopt;
    }
    std::int32_t index = avm1::ToInt32(n);
    return index == -1 ? std::nullopt : std::optional<std::int32_t>(index);
}

bool IsTabbable(Runtime& runtime, DisplayObject& object) {
    avm1::Value enabled = Member(runtime, object, u"tabEnabled");
    if (auto* field = dynamic_cast<TextFieldObject*>(&object)) {
        return IsInputField(*field) && (enabled.IsUndefined() || Truthy(runtime, object, enabled));
    }
    if (object.AsButton() != nullptr) {
        return enabled.IsUndefined() || Truthy(runtime, object, enabled);
    }
    if (object.AsClip() == nullptr || IsLevelRoot(object)) {
        return false;
    }
    if (!enabled.IsUndefined()) {
        return Truthy(runtime, object, enabled);
    }
    return HoldsButtonHandler(runtime, object) || TabIndexOf(runtime, object).has_value();
}

struct TabStop {
    DisplayObject* object;
    std::optional<std::int32_t> tabIndex;
    Point corner;  // top left on the stage
};

Point CornerOf(DisplayObject& object) {
    Matrix toStage = object.ToStage();
    Rect bounds = TransformBounds(toStage, object.LocalBounds());
    if (bounds.xmin > bounds.xmax) {
        return toStage.Apply(Point{0, 0});
    }
    return Point{static_cast<double>(bounds.xmin), static_cast<double>(bounds.ymin)};
}

void Collect(Runtime& runtime, DisplayObject& object, std::vector<TabStop>& out) {
    if (!object.Visible()) {
        return;
    }
    if (IsTabbable(runtime, object)) {
        out.push_back({&object, TabIndexOf(runtime, object), CornerOf(object)});
    }
    MovieClip* clip = object.AsClip();
    if (clip == nullptr) {
        return;
    }
    avm1::Value children = Member(runtime, object, u"tabChildren");
    if (!children.IsUndefined() && !Truthy(runtime, object, children)) {
        return;
    }
    for (const auto& [depth, child] : clip->DisplayList()) {
        Collect(runtime, *child, out);
    }
}

std::vector<TabStop> TabStops(Runtime& runtime) {
    std::vector<TabStop> stops;
    for (const auto& [level, root] : runtime.Levels()) {
        if (!root->Visible()) {
            continue;
        }
        for (const auto& [depth, child] : root->DisplayList()) {
            Collect(runtime, *child, stops);
        }
    }
    return stops;
}

DisplayObject* NextByIndex(std::vector<TabStop> stops, DisplayObject* current, bool backwards) {
    std::erase_if(stops, [](const TabStop& s) { return !s.tabIndex; });
    std::stable_sort(stops.begin(), stops.end(),
                     [](const TabStop& a, const TabStop& b) { return *a.tabIndex < *b.tabIndex; });
    auto at = std::find_if(stops.begin(), stops.end(),
                           [current](const TabStop& s) { return s.object == current; });
    if (at == stops.end()) {
        return backwards ? stops.back().object : stops.front().object;
    }
    const auto i = static_cast<std::size_t>(at - stops.begin());
    const std::size_t n = stops.size();
    return stops[backwards ? (i + n - 1) % n : (i + 1) % n].object;
}

// Row by row: by top, then by left.
auto KeyOf(Point p) {
    return std::make_tuple(p.y, p.x);
}

DisplayObject* NextByPosition(const std::vector<TabStop>& stops, DisplayObject* current,
                              bool backwards) {
    const TabStop* best = nullptr;
    const TabStop* wrap = nullptr;
    std::optional<Point> from;
    if (current != nullptr && !current->Removed()) {
        from = CornerOf(*current);
    }
    // The first stop of the display order wins among stops at the same corner.
    auto better = [backwards](const TabStop* candidate, const TabStop* than) {
        if (than == nullptr) {
            return true;
        }
        return backwards ? KeyOf(candidate->corner) > KeyOf(than->corner)
                         : KeyOf(candidate->corner) < KeyOf(than->corner);
    };
    for (const TabStop& stop : stops) {
        if (better(&stop, wrap)) {
            wrap = &stop;
        }
        if (!from) {
            continue;
        }
        const bool beyond =
            backwards ? KeyOf(stop.corner) < KeyOf(*from) : KeyOf(stop.corner) > KeyOf(*from);
        if (beyond && better(&stop, best)) {
            best = &stop;
        }
    }
    const TabStop* next = best != nullptr ? best : wrap;
    return next != nullptr ? next->object : nullptr;
}

bool FieldSelectable(TextFieldObject& field) {
    return IsInputField(field) || field.Settings().selectable;
}

// The topmost text field under a point of `clip`'s twips; `blocked` when a button is above.
TextFieldObject* FieldIn(Runtime& runtime, MovieClip& clip, Point local, bool& blocked) {
    const auto& list = clip.DisplayList();
    for (auto it = list.rbegin(); it != list.rend() && !blocked; ++it) {
        DisplayObject& child = *it->second;
        std::optional<Matrix> inverse = child.GetMatrix().Inverted();
        if (!child.Visible() || child.ClipDepth() > 0 || !inverse ||
            !clip.InsideMasks(it->first, local)) {
            continue;
        }
        Point p = inverse->Apply(local);
        if (ButtonObject* button = child.AsButton()) {
            blocked = button->HitAreaContains(p) && IsEnabled(runtime, *button);
            continue;
        }
        if (auto* field = dynamic_cast<TextFieldObject*>(&child)) {
            if (field->HitsPoint(p) && FieldSelectable(*field)) {
                return field;
            }
            continue;
        }
        MovieClip* inner = child.AsClip();
        if (inner == nullptr) {
            continue;
        }
        if (ActsAsButton(runtime, *inner) && IsEnabled(runtime, *inner)) {
            blocked = inner->HitsPoint(p);
            continue;
        }
        if (TextFieldObject* found = FieldIn(runtime, *inner, p, blocked)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace

bool CanTakeFocus(Runtime& runtime, DisplayObject& object) {
    if (object.Removed() || IsLevelRoot(object)) {
        return false;
    }
    if (dynamic_cast<TextFieldObject*>(&object) != nullptr || object.AsButton() != nullptr) {
        return true;
    }
    if (object.AsClip() == nullptr) {
        return false;
    }
    return Truthy(runtime, object, Member(runtime, object, u"focusEnabled")) ||
           HoldsButtonHandler(runtime, object);
}

DisplayObject* NextTabStop(Runtime& runtime, DisplayObject* current, bool backwards) {
    std::vector<TabStop> stops = TabStops(runtime);
    if (stops.empty()) {
        return nullptr;
    }
    const bool custom =
        std::any_of(stops.begin(), stops.end(), [](const TabStop& s) { return s.tabIndex; });
    return custom ? NextByIndex(std::move(stops), current, backwards)
                  : NextByPosition(stops, current, backwards);
}

TextFieldObject* TextFieldAt(Runtime& runtime, Point stage) {
    const auto& levels = runtime.Levels();
    for (auto it = levels.rbegin(); it != levels.rend(); ++it) {
        MovieClip& root = *it->second;
        std::optional<Matrix> inverse = root.GetMatrix().Inverted();
        if (!root.Visible() || !inverse) {
            continue;
        }
        bool blocked = false;
        TextFieldObject* field = FieldIn(runtime, root, inverse->Apply(stage), blocked);
        if (field != nullptr || blocked) {
            return field;
        }
    }
    return nullptr;
}

}  // namespace flash
