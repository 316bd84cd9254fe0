#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// The checks a terms file ("Binary\Roles.dat") must pass before the terms dialog shows it: its
// length and 20 bytes at fixed offsets, checked in this order.
namespace terms {

inline constexpr std::size_t kRolesMinBytes = 1280;
inline constexpr std::size_t kRolesMaxBytes = 1744;

struct RolesByte {
    std::size_t offset;
    std::uint8_t value;
};

inline constexpr std::array<RolesByte, 20> kRolesBytes{{
    {2, 0x48},    {1030, 0x68}, {482, 0x0A}, {106, 0xAD},  {114, 0x2F}, {424, 0x0D},  {1557, 0x00},
    {1023, 0x00}, {1072, 0x1A}, {276, 0x39}, {1620, 0x75}, {284, 0xBA}, {1515, 0x00}, {385, 0x83},
    {1598, 0x63}, {112, 0x1D},  {513, 0x57}, {513, 0x57},  {451, 0x65}, {1218, 0x68},
}};

bool RolesLengthHolds(std::uint64_t length);

// What the first failing check found, empty when the file passes them all.
std::string FirstRolesFault(std::span<const std::uint8_t> file);

}  // namespace terms
