#include "heap.h"

namespace flash::avm1 {

Heap::~Heap() {
    for (Object* o : objects_) {
        delete o;
    }
}

bool Heap::Adopt(std::unique_ptr<Object> object, bool always) {
    if (objects_.size() >= maxObjects_ && !always) {
        return false;
    }
    objects_.push_back(object.release());
    return true;
}

void Heap::Collect(const std::vector<Object*>& roots) {
    std::vector<Object*> work;
    auto mark = [&work](Object* o) {
        if (o && !o->marked_) {
            o->marked_ = true;
            work.push_back(o);
        }
    };
    for (Object* o : roots) {
        mark(o);
    }
    for (Object* o : objects_) {
        if (o->roots_ > 0) {
            mark(o);
        }
    }
    std::vector<Object*> refs;
    while (!work.empty()) {
        Object* o = work.back();
        work.pop_back();
        mark(o->proto_);
        mark(o->primitive_.AsObject());
        o->members_.ForEach([&](const Member& m) {
            mark(m.value.AsObject());
            mark(m.getter);
            mark(m.setter);
        });
        for (Object* i : o->interfaces_) {
            mark(i);
        }
        for (const Object::Watcher& w : o->watchers_) {
            mark(w.callback);
            mark(w.userData.AsObject());
        }
        refs.clear();
        o->TraceRefs(refs);
        for (Object* r : refs) {
            mark(r);
        }
    }
    std::size_t kept = 0;
    for (Object* o : objects_) {
        if (o->marked_) {
            o->marked_ = false;
            objects_[kept++] = o;
        } else {
            delete o;
        }
    }
    objects_.resize(kept);
    liveAfterCollect_ = kept;
}

}  // namespace flash::avm1
