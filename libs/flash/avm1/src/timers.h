#pragma once

#include <map>
#include <vector>

#include "flash/avm1/vm.h"

namespace flash::avm1 {

// setInterval/setTimeout: callbacks fired by Vm::RunTimers at the host's time.
class Timers {
  public:
    explicit Timers(Vm& vm) : vm_(vm) {}

    // Calls `function` (or `object[method]` when `method` is not empty) every `interval`
    // milliseconds, or once when not `repeat`. Returns the id.
    int Add(Object* function, Object* object, String method, std::vector<Value> args,
            double interval, bool repeat, int version);
    bool Remove(int id);
    bool Empty() const { return entries_.empty(); }
    void RunDue();
    void Roots(std::vector<Object*>& out) const;

  private:
    struct Entry {
        Object* function = nullptr;
        Object* object = nullptr;
        String method;
        std::vector<Value> args;
        double interval = 0;
        double next = 0;
        bool repeat = true;
        int version = 7;
    };
    Vm& vm_;
    std::map<int, Entry> entries_;
    int nextId_ = 1;
};

}  // namespace flash::avm1
