#include "roles_check.h"

#include <cstdio>

namespace terms {

bool RolesLengthHolds(std::uint64_t length) {
    return length >= kRolesMinBytes && length <= kRolesMaxBytes;
}

std::string FirstRolesFault(std::span<const std::uint8_t> file) {
    char text[96];
    if (!RolesLengthHolds(file.size())) {
        std::snprintf(text, sizeof text, "length %zu is outside %zu..%zu", file.size(),
                      kRolesMinBytes, kRolesMaxBytes);
        return text;
    }
    for (const RolesByte& check : kRolesBytes) {
        // The length check keeps every offset inside the file.
        const std::uint8_t found = file[check.offset];
        if (found != check.value) {
            std::snprintf(text, sizeof text, "byte at %zu is %02X, not %02X", check.offset, found,
                          check.value);
            return text;
        }
    }
    return {};
}

}  // namespace terms
