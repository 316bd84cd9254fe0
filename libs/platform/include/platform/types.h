#pragma once

#include <cstdint>

// Windows-shaped scalar types used across the platform layer. They live in namespace
// platform so they never clash with the real ones of a Windows backend.
namespace platform {

using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

}  // namespace platform
