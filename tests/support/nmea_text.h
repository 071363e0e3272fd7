#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vexa::test {

// "$" + body + "*HH\r\n", the checksum being the XOR of the body's bytes.
inline std::string Sentence(std::string_view body) {
    unsigned sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char checksum[8];
    std::snprintf(checksum, sizeof checksum, "*%02X\r\n", sum);
    return "$" + std::string(body) + checksum;
}

}  // namespace vexa::test
