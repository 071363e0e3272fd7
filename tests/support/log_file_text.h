#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace vexa::test {

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text with every digit shown as '#', so that logs with dates and times compare.
inline std::string DigitsMasked(std::string text) {
    for (char& c : text) {
        if (c >= '0' && c <= '9') c = '#';
    }
    return text;
}

}  // namespace vexa::test
