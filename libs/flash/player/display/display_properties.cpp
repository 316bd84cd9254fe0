#include "display/display_properties.h"

#include <cmath>
#include <numbers>

#include "display/display_object.h"
#include "flash/avm1/convert.h"
#include "runtime/movie_data.h"
#include "runtime/runtime.h"

namespace flash {

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

double XScale(const Matrix& m) {
    return std::hypot(m.a, m.b);
}
double YScale(const Matrix& m) {
    double s = std::hypot(m.c, m.d);
    return m.a * m.d - m.b * m.c < 0 ? -s : s;
}

void SetScales(Matrix& m, double xScale, double yScale) {
    double oldX = XScale(m);
    double oldY = std::hypot(m.c, m.d);
    double rotation = oldX != 0 ? std::atan2(m.b, m.a) : 0.0;
    double skew = oldY != 0 ? std::atan2(-m.c, m.d) : rotation;
    m.a = xScale * std::cos(rotation);
    m.b = xScale * std::sin(rotation);
    m.c = -yScale * std::sin(skew);
    m.d = yScale * std::cos(skew);
}

avm1::Value Num(double v) {
    return avm1::Value::Number(v);
}

// Movies of version 5 have one _focusrect for all objects, read as 0 or 1; later ones let a
// clip, button or field have its own, null until set, and the levels' roots read the
// movie-wide one.
bool UsesMovieFocusRect(DisplayObject& object) {
    return object.Movie().Version() <= 5 || object.Container() == nullptr;
}

avm1::Value FocusRectOf(DisplayObject& object) {
    bool on = object.GetRuntime().FocusRectOn();
    if (object.Movie().Version() <= 5) {
        return Num(on ? 1 : 0);
    }
    if (object.Container() == nullptr) {
        return avm1::Value::Bool(on);
    }
    std::optional<bool> own = object.OwnFocusRect();
    return own ? avm1::Value::Bool(*own) : avm1::Value::Null();
}

// The setter hands a boolean, or undefined to unset: the movie-wide value then stays.
void SetFocusRectOf(DisplayObject& object, const avm1::Value& value) {
    if (UsesMovieFocusRect(object)) {
        if (value.IsBool()) {
            object.GetRuntime().SetFocusRectOn(value.AsBool());
        }
        return;
    }
    object.SetOwnFocusRect(value.IsBool() ? std::optional<bool>(value.AsBool()) : std::nullopt);
}

}  // namespace

avm1::Value GetDisplayProperty(DisplayObject& object, avm1::Property property) {
    using P = avm1::Property;
    const Matrix& m = object.GetMatrix();
    switch (property) {
        case P::X:
            return Num(m.tx / 20.0);
        case P::Y:
            return Num(m.ty / 20.0);
        case P::XScale:
            return Num(XScale(m) * 100.0);
        case P::YScale:
            return Num(YScale(m) * 100.0);
        case P::Alpha:
            return Num(object.GetColorTransform().aMult * 100.0);
        case P::Visible:
            return avm1::Value::Bool(object.Visible());
        case P::Width: {
            Rect b = object.BoundsInParent();
            return Num(b.empty() ? 0.0 : b.width() / 20.0);
        }
        case P::Height: {
            Rect b = object.BoundsInParent();
            return Num(b.empty() ? 0.0 : b.height() / 20.0);
        }
        case P::Rotation:
            return Num(std::atan2(m.b, m.a) * kDegrees);
        case P::Url:
            return avm1::Value::Str(avm1::FromUtf8(object.Movie().Url()));
        case P::DropTarget:
            return avm1::Value::Str(avm1::String());
        case P::HighQuality:
            return Num(object.GetRuntime().QualityLevel() == Quality::Low ? 0 : 1);
        case P::Quality:
            return avm1::Value::Str(object.GetRuntime().QualityName());
        case P::FocusRect:
            return FocusRectOf(object);
        case P::SoundBufTime:
            return Num(5);
        case P::XMouse:
        case P::YMouse: {
            Point p = object.GetRuntime().MouseIn(object);
            return Num((property == P::XMouse ? p.x : p.y) / 20.0);
        }
        case P::Name:
            return avm1::Value::Str(object.InstanceName());
        case P::Target:
            if (avm1::Clip* clip = object.ScriptClip()) {
                return avm1::Value::Str(object.GetRuntime().Vm().SlashPath(*clip));
            }
            return avm1::Value();
        case P::CurrentFrame:
        case P::TotalFrames:
        case P::FramesLoaded:
            return avm1::Value();
    }
    return avm1::Value();
}

void SetDisplayProperty(DisplayObject& object, avm1::Property property, const avm1::Value& value) {
    using P = avm1::Property;
    double v = value.IsNumber() ? value.AsNumber() : std::nan("");
    bool finite = std::isfinite(v);
    Matrix m = object.GetMatrix();
    switch (property) {
        case P::X:
        case P::Y:
            if (finite) {
                (property == P::X ? m.tx : m.ty) = std::round(v * 20.0);
                object.SetMatrix(m);
                object.SetScriptTransformed();
            }
            return;
        case P::XScale:
        case P::YScale:
            if (finite) {
                double x = property == P::XScale ? v / 100.0 : XScale(m);
                double y = property == P::YScale ? v / 100.0 : YScale(m);
                SetScales(m, x, y);
                object.SetMatrix(m);
                object.SetScriptTransformed();
            }
            return;
        case P::Rotation:
            if (finite) {
                double x = XScale(m);
                double y = YScale(m);
                double r = std::fmod(v, 360.0);
                if (r > 180) {
                    r -= 360;
                } else if (r < -180) {
                    r += 360;
                }
                r /= kDegrees;
                m.a = x * std::cos(r);
                m.b = x * std::sin(r);
                m.c = -y * std::sin(r);
                m.d = y * std::cos(r);
                object.SetMatrix(m);
                object.SetScriptTransformed();
            }
            return;
        case P::Width:
        case P::Height: {
            if (!finite) {
                return;
            }
            Rect local = object.LocalBounds();
            if (local.empty()) {
                return;
            }
            Rect b = object.BoundsInParent();
            double current = property == P::Width ? b.width() / 20.0 : b.height() / 20.0;
            if (current == 0) {
                return;
            }
            double factor = v / current;
            double x = XScale(m) * (property == P::Width ? factor : 1.0);
            double y = YScale(m) * (property == P::Height ? factor : 1.0);
            SetScales(m, x, y);
            object.SetMatrix(m);
            object.SetScriptTransformed();
            return;
        }
        case P::Alpha:
            if (finite) {
                ColorTransform c = object.GetColorTransform();
                c.aMult = v / 100.0;
                object.SetColorTransform(c);
                object.SetScriptTransformed();
            }
            return;
        case P::Visible:
            object.SetVisible(value.IsBool() ? value.AsBool() : (finite && v != 0));
            return;
        case P::Name:
            if (value.IsString()) {
                object.SetInstanceName(value.AsString());
            }
            return;
        case P::Quality:
            if (value.IsString()) {
                object.GetRuntime().SetQualityName(value.AsString());
            }
            return;
        case P::HighQuality:
            if (finite) {
                object.GetRuntime().SetQualityLevel(v <= 0 ? Quality::Low : Quality::High);
            }
            return;
        case P::FocusRect:
            SetFocusRectOf(object, value);
            return;
        default:
            return;
    }
}

}  // namespace flash
