#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "flash/avm1/object.h"

namespace flash::avm1 {

// Owns every object of one interpreter and frees those no root reaches (mark and sweep).
class Heap {
  public:
    explicit Heap(std::size_t maxObjects) : maxObjects_(maxObjects) {}
    ~Heap();

    // Takes ownership; false when the heap is full (the object is then freed) unless
    // `always`, for objects bounded elsewhere (the script objects of display objects).
    bool Adopt(std::unique_ptr<Object> object, bool always = false);
    // Frees what neither `roots` nor a Root handle reaches.
    void Collect(const std::vector<Object*>& roots);
    bool WantsCollect() const { return objects_.size() > 2 * liveAfterCollect_ + 20000; }
    std::size_t size() const { return objects_.size(); }

  private:
    std::size_t maxObjects_;
    std::size_t liveAfterCollect_ = 0;
    std::vector<Object*> objects_;
};

}  // namespace flash::avm1
