#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// A reset the user typed for a receiver the program has no reset command for, sent as typed,
// except that a backslash starts one of the escapes for bytes a line of text cannot hold:
// \r, \n, \t, \\ and \xHH (two hexadecimal digits). Gives the bytes to send, or (bytes empty)
// why the text cannot be sent ("\q at 5 is no escape; use \r \n \t \\ or \xHH").
struct ParsedResetText {
    std::optional<std::string> bytes;
    std::string problem;
};
ParsedResetText ParseResetText(std::string_view typed);

}  // namespace vexa
