#include "flash/avm1/object.h"

#include "flash/avm1/convert.h"

namespace flash::avm1 {

namespace {

char16_t Fold(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<char16_t>(c + 32);
    }
    return c;
}

}  // namespace

bool VisibleTo(std::uint16_t attrs, int version) {
    if ((attrs & kVersion6) && version < 6) {
        return false;
    }
    if ((attrs & kVersion7) && version < 7) {
        return false;
    }
    if ((attrs & kVersion8) && version < 8) {
        return false;
    }
    if ((attrs & kVersion9) && version < 9) {
        return false;
    }
    if ((attrs & kVersion10) && version < 10) {
        return false;
    }
    return true;
}

std::size_t MemberTable::FoldHash::operator()(StringView s) const {
    std::size_t h = 1469598103934665603ull;
    for (char16_t c : s) {
        h = (h ^ Fold(c)) * 1099511628211ull;
    }
    return h;
}

bool MemberTable::FoldEq::operator()(StringView a, StringView b) const {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i])) {
            return false;
        }
    }
    return true;
}

const Member* MemberTable::Find(StringView name, bool caseSensitive) const {
    auto [first, last] = index_.equal_range(name);
    const Member* best = nullptr;
    for (auto it = first; it != last; ++it) {
        const Member& m = slots_[it->second];
        if (caseSensitive) {
            if (m.name == name) {
                return &m;
            }
        } else if (!best || &m < best) {
            best = &m;
        }
    }
    return best;
}

Member* MemberTable::Find(StringView name, bool caseSensitive) {
    return const_cast<Member*>(std::as_const(*this).Find(name, caseSensitive));
}

Member& MemberTable::Add(StringView name, Value value, std::uint16_t attrs) {
    auto slot = static_cast<std::uint32_t>(slots_.size());
    slots_.push_back(Member{String(name), std::move(value), nullptr, nullptr, attrs, true});
    index_.emplace(String(name), slot);
    return slots_.back();
}

bool MemberTable::Remove(Member* member) {
    if (!member || !member->live) {
        return false;
    }
    auto slot = static_cast<std::uint32_t>(member - slots_.data());
    auto [first, last] = index_.equal_range(StringView(member->name));
    for (auto it = first; it != last; ++it) {
        if (it->second == slot) {
            index_.erase(it);
            break;
        }
    }
    member->live = false;
    member->value = Value();
    member->getter = nullptr;
    member->setter = nullptr;
    ++dead_;
    if (dead_ > 16 && dead_ * 2 > slots_.size()) {
        Compact();
    }
    return true;
}

void MemberTable::Compact() {
    std::vector<Member> live;
    live.reserve(slots_.size() - dead_);
    for (Member& m : slots_) {
        if (m.live) {
            live.push_back(std::move(m));
        }
    }
    slots_ = std::move(live);
    index_.clear();
    for (std::uint32_t i = 0; i < slots_.size(); ++i) {
        index_.emplace(slots_[i].name, i);
    }
    dead_ = 0;
}

Root::Root(Object* object) : object_(object) {
    if (object_) {
        ++object_->roots_;
    }
}

Root::~Root() {
    if (object_) {
        --object_->roots_;
    }
}

Root& Root::operator=(const Root& other) {
    if (this != &other) {
        if (other.object_) {
            ++other.object_->roots_;
        }
        if (object_) {
            --object_->roots_;
        }
        object_ = other.object_;
    }
    return *this;
}

}  // namespace flash::avm1
