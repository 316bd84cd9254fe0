#include "flash/player/flash_error.h"

namespace flash {

FlashError::FlashError(const std::string& message) : std::runtime_error(message) {}

// Defined out of line so the type's identity lives in one library.
FlashError::~FlashError() = default;

}  // namespace flash
