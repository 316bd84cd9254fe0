#pragma once

// SharedObject: getLocal gives one object per file for the player's life, its data read from
// the store; flush writes it, and every open object is written again when its movie goes
// (unloading level 0, closing the player), as Flash does.

#include <filesystem>
#include <map>
#include <string>

#include "flash/avm1/object.h"

namespace flash {

class Runtime;

class SharedObjects {
  public:
    explicit SharedObjects(Runtime& runtime);
    SharedObjects(const SharedObjects&) = delete;
    SharedObjects& operator=(const SharedObjects&) = delete;

    // The store's folder (tests use their own).
    void SetRoot(std::filesystem::path root) { root_ = std::move(root); }
    const std::filesystem::path& Root() const { return root_; }

    // The object of a file, made and read on first use; null when Flash refuses the name.
    avm1::Object* GetLocal(const std::string& name, const std::optional<std::string>& localPath,
                           int version);
    // Writes one object's data; false when it could not be written.
    bool Flush(avm1::Object* object);
    // Writes every open object and forgets them.
    void CloseAll();

  private:
    Runtime& runtime_;
    std::filesystem::path root_;
    std::map<std::filesystem::path, avm1::Root> open_;
};

}  // namespace flash
