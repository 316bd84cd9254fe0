#include "flash/avm1/host.h"

#include <array>
#include <chrono>
#include <cmath>

#include "flash/avm1/convert.h"

namespace flash::avm1 {

namespace {

constexpr std::array<StringView, kPropertyCount> kNames = {
    u"_x",           u"_y",           u"_xscale",       u"_yscale",       u"_currentframe",
    u"_totalframes", u"_alpha",       u"_visible",      u"_width",        u"_height",
    u"_rotation",    u"_target",      u"_framesloaded", u"_name",         u"_droptarget",
    u"_url",         u"_highquality", u"_focusrect",    u"_soundbuftime", u"_quality",
    u"_xmouse",      u"_ymouse",
};

}  // namespace

double Host::ClockMs() {
    using Ms = std::chrono::duration<double, std::milli>;
    return Ms(std::chrono::steady_clock::now().time_since_epoch()).count();
}

StringView PropertyName(Property property) {
    auto i = static_cast<std::size_t>(property);
    return i < kNames.size() ? kNames[i] : StringView();
}

std::optional<Property> PropertyByName(StringView name) {
    if (name.size() < 2 || name[0] != u'_') {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (NamesEqual(name, kNames[i], 6)) {
            return static_cast<Property>(i);
        }
    }
    return std::nullopt;
}

std::optional<Property> PropertyByIndex(double index) {
    if (!std::isfinite(index)) {
        return std::nullopt;
    }
    double t = std::trunc(index);
    if (t < 0 || t >= kPropertyCount) {
        return std::nullopt;
    }
    return static_cast<Property>(static_cast<int>(t));
}

}  // namespace flash::avm1
