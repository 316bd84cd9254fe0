#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace standalone {

// For the end-to-end tests: when TOVI_PLAYER_PROBE names a file, the player window writes
// its state there ("key=value" lines, replaced whole each time) so a test outside the
// process can follow it. Without the variable nothing is written.
class StateProbe {
  public:
    static std::unique_ptr<StateProbe> FromEnvironment();
    explicit StateProbe(std::string path) : path_(std::move(path)) {}

    void Write(const std::vector<std::pair<std::string, std::string>>& values) const;

  private:
    std::string path_;
};

}  // namespace standalone
