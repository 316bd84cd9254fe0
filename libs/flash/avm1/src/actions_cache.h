#pragma once

#include <map>
#include <memory>
#include <utility>

#include "flash/avm1/actions.h"
#include "flash/avm1/host.h"

namespace flash::avm1 {

// The decoded actions of every buffer run, so a buffer run again (a frame script, an event
// handler, a function body) is not decoded again. An entry lives while its buffer does.
class ActionCache {
  public:
    std::shared_ptr<ActionProgram> Get(const ActionBytes& code, int version);

  private:
    struct Entry {
        std::weak_ptr<const std::vector<std::uint8_t>> bytes;
        std::shared_ptr<ActionProgram> program;
    };
    void DropExpired();

    std::map<std::pair<const void*, int>, Entry> entries_;
    std::size_t sweepAt_ = 64;
};

}  // namespace flash::avm1
