#pragma once

#include <stdexcept>
#include <string>

#include "flash/player/export.h"

namespace flash {

// The one exception of the component: every failing call of the player throws it, with a
// message for a person.
class FLASH_API FlashError : public std::runtime_error {
  public:
    explicit FlashError(const std::string& message);
    ~FlashError() override;
};

}  // namespace flash
