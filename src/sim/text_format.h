#pragma once

#include <algorithm>
#include <cstdio>
#include <string>

namespace vexa::sim {

// printf-style formatting of one short line (at most 255 characters).
template <typename... Values>
std::string FormatText(const char* format, Values... values) {
    char line[256];
    const int length = std::snprintf(line, sizeof line, format, values...);
    return std::string(line, static_cast<std::size_t>(std::clamp<int>(length, 0, sizeof line - 1)));
}

}  // namespace vexa::sim
