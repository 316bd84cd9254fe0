// Date, on the ECMA-262 day arithmetic with the system's local time zone.
#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>

#include "classes.h"
#include "flash/avm1/convert.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMsPerDay = 86400000.0;

double Day(double t) {
    return std::floor(t / kMsPerDay);
}

double DaysInYear(double y) {
    if (std::fmod(y, 4) != 0) {
        return 365;
    }
    if (std::fmod(y, 100) != 0) {
        return 366;
    }
    return std::fmod(y, 400) != 0 ? 365 : 366;
}

double DayFromYear(double y) {
    return 365 * (y - 1970) + std::floor((y - 1969) / 4) - std::floor((y - 1901) / 100) +
           std::floor((y - 1601) / 400);
}

double YearFromTime(double t) {
    double y = std::floor(Day(t) / 365.2425) + 1970;
    while (DayFromYear(y) * kMsPerDay > t) {
        --y;
    }
    while (DayFromYear(y + 1) * kMsPerDay <= t) {
        ++y;
    }
    return y;
}

int MonthFromTime(double t, double& dayInMonth) {
    double y = YearFromTime(t);
    double d = Day(t) - DayFromYear(y);
    int leap = DaysInYear(y) == 366 ? 1 : 0;
    static const int kStarts[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
    for (int m = 0; m < 12; ++m) {
        double end = kStarts[m + 1] + (m >= 1 ? leap : 0);
        if (d < end) {
            double start = kStarts[m] + (m >= 2 ? leap : 0);
            dayInMonth = d - start + 1;
            return m;
        }
    }
    dayInMonth = 31;
    return 11;
}

double MakeDay(double year, double month, double date) {
    if (!std::isfinite(year) || !std::isfinite(month) || !std::isfinite(date)) {
        return kNaN;
    }
    double y = year + std::floor(month / 12);
    double m = std::fmod(month, 12);
    if (m < 0) {
        m += 12;
    }
    static const int kStarts[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    double day =
        DayFromYear(y) + kStarts[static_cast<int>(m)] + (m >= 2 && DaysInYear(y) == 366 ? 1 : 0);
    return day + date - 1;
}

double MakeTime(double h, double m, double s, double ms) {
    if (!std::isfinite(h) || !std::isfinite(m) || !std::isfinite(s) || !std::isfinite(ms)) {
        return kNaN;
    }
    return std::trunc(h) * 3600000.0 + std::trunc(m) * 60000.0 + std::trunc(s) * 1000.0 +
           std::trunc(ms);
}

double TimeClip(double t) {
    if (!std::isfinite(t) || std::fabs(t) > 8.64e15) {
        return kNaN;
    }
    return std::trunc(t);
}

// Offset of local time from UTC at UTC time t, in milliseconds.
double LocalOffset(double t) {
    if (!std::isfinite(t)) {
        return 0;
    }
    std::time_t secs = static_cast<std::time_t>(std::floor(t / 1000));
    std::tm local{};
    std::tm utc{};
#ifdef _WIN32
    if (localtime_s(&local, &secs) != 0 || gmtime_s(&utc, &secs) != 0) {
        return 0;
    }
#else
    if (!localtime_r(&secs, &local) || !gmtime_r(&secs, &utc)) {
        return 0;
    }
#endif
    double l = MakeDay(local.tm_year + 1900, local.tm_mon, local.tm_mday) * kMsPerDay +
               MakeTime(local.tm_hour, local.tm_min, local.tm_sec, 0);
    double u = MakeDay(utc.tm_year + 1900, utc.tm_mon, utc.tm_mday) * kMsPerDay +
               MakeTime(utc.tm_hour, utc.tm_min, utc.tm_sec, 0);
    return l - u;
}

double ToLocal(double t) {
    return t + LocalOffset(t);
}
double ToUtc(double local) {
    return local - LocalOffset(local - LocalOffset(local));
}

struct Fields {
    double year, month, date, hours, minutes, seconds, ms, day;
};

Fields Split(double t) {
    Fields f{};
    f.year = YearFromTime(t);
    f.month = MonthFromTime(t, f.date);
    double inDay = t - Day(t) * kMsPerDay;
    f.hours = std::floor(inDay / 3600000.0);
    f.minutes = std::fmod(std::floor(inDay / 60000.0), 60);
    f.seconds = std::fmod(std::floor(inDay / 1000.0), 60);
    f.ms = std::fmod(inDay, 1000);
    f.day = std::fmod(Day(t) + 4, 7);
    if (f.day < 0) {
        f.day += 7;
    }
    return f;
}

double Join(const Fields& f) {
    return MakeDay(f.year, f.month, f.date) * kMsPerDay +
           MakeTime(f.hours, f.minutes, f.seconds, f.ms);
}

double NowMs() {
    using namespace std::chrono;
    return static_cast<double>(
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

DateObject* ThisDate(CallContext& c) {
    return dynamic_cast<DateObject*>(c.This());
}

String Format(double t) {
    if (std::isnan(t)) {
        return u"Invalid Date";
    }
    static const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    double offset = LocalOffset(t);
    Fields f = Split(t + offset);
    int off = static_cast<int>(offset / 60000.0);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d GMT%c%02d%02d %d",
                  kDays[static_cast<int>(f.day)], kMonths[static_cast<int>(f.month)],
                  static_cast<int>(f.date), static_cast<int>(f.hours), static_cast<int>(f.minutes),
                  static_cast<int>(f.seconds), off < 0 ? '-' : '+', std::abs(off) / 60,
                  std::abs(off) % 60, static_cast<int>(f.year));
    return Ascii(buf);
}

// Fields of a setter in order: which Fields member the first argument sets, how many follow.
enum class Field { Year, Month, Date, Hours, Minutes, Seconds, Ms };

Value Construct(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    double t = kNaN;
    if (c.args.empty()) {
        t = NowMs();
    } else if (c.args.size() == 1) {
        t = TimeClip(in.ToNumber(c.args[0], c.version));
    } else {
        double f[7] = {0, 0, 1, 0, 0, 0, 0};
        for (std::size_t i = 0; i < 7 && i < c.args.size(); ++i) {
            f[i] = in.ToNumber(c.args[i], c.version);
        }
        if (std::isfinite(f[0]) && f[0] >= 0 && f[0] <= 99) {
            f[0] += 1900;
        }
        t = TimeClip(
            ToUtc(MakeDay(f[0], f[1], f[2]) * kMsPerDay + MakeTime(f[3], f[4], f[5], f[6])));
    }
    return Value::Obj(c.vm.New<DateObject>(in.globals().dateProto, t));
}

Value Call(CallContext&) {
    return Value::Str(Format(NowMs()));
}

Value Utc(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    double f[7] = {kNaN, 0, 1, 0, 0, 0, 0};
    for (std::size_t i = 0; i < 7 && i < c.args.size(); ++i) {
        f[i] = in.ToNumber(c.args[i], c.version);
    }
    if (std::isfinite(f[0]) && f[0] >= 0 && f[0] <= 99) {
        f[0] += 1900;
    }
    return Value::Number(
        TimeClip(MakeDay(f[0], f[1], f[2]) * kMsPerDay + MakeTime(f[3], f[4], f[5], f[6])));
}

// getFullYear, getUTCHours and the like: one field of the local or UTC time.
template <bool kUtc, double Fields::*kField, int kAdjust = 0>
Value GetField(CallContext& c) {
    DateObject* d = ThisDate(c);
    if (!d) {
        return Value();
    }
    double t = d->time();
    if (std::isnan(t)) {
        return Value::Number(kNaN);
    }
    Fields f = Split(kUtc ? t : ToLocal(t));
    return Value::Number(f.*kField + kAdjust);
}

Value GetTime(CallContext& c) {
    DateObject* d = ThisDate(c);
    return d ? Value::Number(d->time()) : Value();
}

Value GetTimezoneOffset(CallContext& c) {
    DateObject* d = ThisDate(c);
    if (!d) {
        return Value();
    }
    return Value::Number(-LocalOffset(std::isnan(d->time()) ? NowMs() : d->time()) / 60000.0);
}

Value ToString(CallContext& c) {
    DateObject* d = ThisDate(c);
    return d ? Value::Str(Format(d->time())) : Value::Str(u"[object Object]");
}

Value SetTime(CallContext& c) {
    DateObject* d = ThisDate(c);
    if (!d) {
        return Value();
    }
    d->set_time(TimeClip(InterpreterOf(c.vm).ToNumber(c.Arg(0), c.version)));
    return Value::Number(d->time());
}

// setFullYear, setUTCMinutes and the like: `kCount` fields from `kFirst` on, as many as given.
template <bool kUtc, Field kFirst, int kCount>
Value SetFields(CallContext& c) {
    DateObject* d = ThisDate(c);
    if (!d) {
        return Value();
    }
    Interpreter& in = InterpreterOf(c.vm);
    double t = d->time();
    if (std::isnan(t)) {
        t = 0;
    }
    Fields f = Split(kUtc ? t : ToLocal(t));
    double* slots[] = {&f.year, &f.month, &f.date, &f.hours, &f.minutes, &f.seconds, &f.ms};
    int start = static_cast<int>(kFirst);
    for (int i = 0; i < kCount && static_cast<std::size_t>(i) < c.args.size(); ++i) {
        *slots[start + i] = in.ToNumber(c.args[static_cast<std::size_t>(i)], c.version);
    }
    if (c.args.empty()) {
        *slots[start] = kNaN;
    }
    double joined = Join(f);
    d->set_time(TimeClip(kUtc ? joined : ToUtc(joined)));
    return Value::Number(d->time());
}

Value SetYear(CallContext& c) {
    DateObject* d = ThisDate(c);
    if (!d) {
        return Value();
    }
    double y = InterpreterOf(c.vm).ToNumber(c.Arg(0), c.version);
    if (std::isfinite(y) && y >= 0 && y <= 99) {
        y += 1900;
    }
    double t = std::isnan(d->time()) ? 0 : ToLocal(d->time());
    Fields f = Split(t);
    f.year = y;
    d->set_time(TimeClip(ToUtc(Join(f))));
    return Value::Number(d->time());
}

constexpr NativeMember kStatics[] = {
    Method(u"UTC", Utc),
};

constexpr NativeMember kPrototype[] = {
    Method(u"getFullYear", GetField<false, &Fields::year>),
    Method(u"getYear", GetField<false, &Fields::year, -1900>),
    Method(u"getMonth", GetField<false, &Fields::month>),
    Method(u"getDate", GetField<false, &Fields::date>),
    Method(u"getDay", GetField<false, &Fields::day>),
    Method(u"getHours", GetField<false, &Fields::hours>),
    Method(u"getMinutes", GetField<false, &Fields::minutes>),
    Method(u"getSeconds", GetField<false, &Fields::seconds>),
    Method(u"getMilliseconds", GetField<false, &Fields::ms>),
    Method(u"getUTCFullYear", GetField<true, &Fields::year>),
    Method(u"getUTCYear", GetField<true, &Fields::year, -1900>),
    Method(u"getUTCMonth", GetField<true, &Fields::month>),
    Method(u"getUTCDate", GetField<true, &Fields::date>),
    Method(u"getUTCDay", GetField<true, &Fields::day>),
    Method(u"getUTCHours", GetField<true, &Fields::hours>),
    Method(u"getUTCMinutes", GetField<true, &Fields::minutes>),
    Method(u"getUTCSeconds", GetField<true, &Fields::seconds>),
    Method(u"getUTCMilliseconds", GetField<true, &Fields::ms>),
    Method(u"getTime", GetTime),
    Method(u"valueOf", GetTime),
    Method(u"getTimezoneOffset", GetTimezoneOffset),
    Method(u"toString", ToString),
    Method(u"setTime", SetTime),
    Method(u"setFullYear", SetFields<false, Field::Year, 3>),
    Method(u"setMonth", SetFields<false, Field::Month, 2>),
    Method(u"setDate", SetFields<false, Field::Date, 1>),
    Method(u"setHours", SetFields<false, Field::Hours, 4>),
    Method(u"setMinutes", SetFields<false, Field::Minutes, 3>),
    Method(u"setSeconds", SetFields<false, Field::Seconds, 2>),
    Method(u"setMilliseconds", SetFields<false, Field::Ms, 1>),
    Method(u"setUTCFullYear", SetFields<true, Field::Year, 3>),
    Method(u"setUTCMonth", SetFields<true, Field::Month, 2>),
    Method(u"setUTCDate", SetFields<true, Field::Date, 1>),
    Method(u"setUTCHours", SetFields<true, Field::Hours, 4>),
    Method(u"setUTCMinutes", SetFields<true, Field::Minutes, 3>),
    Method(u"setUTCSeconds", SetFields<true, Field::Seconds, 2>),
    Method(u"setUTCMilliseconds", SetFields<true, Field::Ms, 1>),
    Method(u"setYear", SetYear),
};

}  // namespace

void InstallDate(Interpreter& in, Globals& g) {
    Object* ctor = MakeClass(in, u"Date", g.dateProto, Call, Construct);
    DefineMembers(in.vm(), ctor, kStatics);
    DefineMembers(in.vm(), g.dateProto, kPrototype);
}

}  // namespace flash::avm1
