#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Makes the terms file from its template: UTF-8 text whose lines become CR LF separated
// UTF-16 lines after a byte-order mark. "{@N}" asks for the next character to sit at file
// offset N (for an odd N, the character whose high byte is at N); the blanks that move it
// there go in at the last "{~}" before it, the end of a line, where nobody sees them.
namespace roles {

struct FitResult {
    std::vector<std::uint8_t> bytes;
    std::string error;  // empty on success
};

FitResult FitRolesText(std::string_view templateText);

}  // namespace roles
