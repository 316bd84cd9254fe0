#include "actions_cache.h"

#include <algorithm>

namespace flash::avm1 {

std::shared_ptr<ActionProgram> ActionCache::Get(const ActionBytes& code, int version) {
    Entry& e = entries_[{code.get(), version}];
    // A buffer freed and another made at the same address is a different one.
    if (!e.program || e.bytes.lock() != code) {
        e.bytes = code;
        e.program = std::make_shared<ActionProgram>(*code, version);
    }
    std::shared_ptr<ActionProgram> program = e.program;
    if (entries_.size() >= sweepAt_) {
        DropExpired();
        sweepAt_ = std::max<std::size_t>(64, entries_.size() * 2);
    }
    return program;
}

void ActionCache::DropExpired() {
    std::erase_if(entries_, [](const auto& item) { return item.second.bytes.expired(); });
}

}  // namespace flash::avm1
