#include "timers.h"

#include <algorithm>
#include <cmath>

namespace flash::avm1 {

namespace {
constexpr std::size_t kMaxTimers = 10000;
}

int Timers::Add(Object* function, Object* object, String method, std::vector<Value> args,
                double interval, bool repeat, int version) {
    if (entries_.size() >= kMaxTimers) {
        return 0;
    }
    if (!std::isfinite(interval) || interval < 0) {
        interval = 0;
    }
    Entry e;
    e.function = function;
    e.object = object;
    e.method = std::move(method);
    e.args = std::move(args);
    e.interval = interval;
    e.next = vm_.host().TimeMs() + interval;
    e.repeat = repeat;
    e.version = version;
    int id = nextId_++;
    entries_.emplace(id, std::move(e));
    return id;
}

bool Timers::Remove(int id) {
    return entries_.erase(id) > 0;
}

void Timers::RunDue() {
    double now = vm_.host().TimeMs();
    std::vector<int> due;
    for (const auto& [id, e] : entries_) {
        if (e.next <= now) {
            due.push_back(id);
        }
    }
    for (int id : due) {
        auto it = entries_.find(id);
        if (it == entries_.end()) {
            continue;  // cleared by an earlier callback
        }
        Entry e = it->second;
        if (e.repeat) {
            // One call per tick at most; a late timer does not catch up.
            it->second.next = std::max(e.next + std::max(e.interval, 1.0), now + 1e-3);
        } else {
            entries_.erase(it);
        }
        if (e.object && !e.method.empty()) {
            vm_.CallMethod(e.object, e.method, e.args, e.version);
        } else if (e.function) {
            vm_.Call(Value::Obj(e.function), Value(), e.args, e.version);
        }
    }
}

void Timers::Roots(std::vector<Object*>& out) const {
    for (const auto& [id, e] : entries_) {
        out.push_back(e.function);
        out.push_back(e.object);
        for (const Value& v : e.args) {
            if (auto* o = v.AsObject()) {
                out.push_back(o);
            }
        }
    }
}

}  // namespace flash::avm1
