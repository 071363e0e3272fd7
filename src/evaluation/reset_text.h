#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// The bytes a user types as their receiver's own reset, sent as typed but for the escapes a line
// cannot hold: \r, \n, \t, \\ and \xHH (two hex digits).
struct ParsedResetText {
    std::vector<std::uint8_t> bytes;
    std::string message;  // why the text cannot be sent; empty when it can
};
ParsedResetText ParseResetText(std::string_view text);

}  // namespace vexa
