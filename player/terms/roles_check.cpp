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
        // Files from 1280 bytes pass the length check, yet bytes are checked up to offset
        // 1620: a checked byte the file does not have fails.
        if (check.offset >= file.size()) {
            std::snprintf(text, sizeof text, "byte at %zu is past the end", check.offset);
            return text;
        }
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
