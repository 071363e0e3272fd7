#pragma once

#include <string>

namespace vexa {

// printf-style formatting into a string, for the client's log and status texts.
std::string printfText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vexa
