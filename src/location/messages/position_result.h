#pragma once

#include <array>
#include <cstdint>

namespace vexa {

// A position answer of the receiver as the host's position callback receives it. Most fields are
// carried through without interpretation; they are named by their place in the answer.
struct PositionResult {
    std::uint8_t flag3 = 0;            // the answer's byte 3 flag (0 or 1)
    std::uint16_t value5 = 0;          // bytes 5-6
    std::uint32_t value7 = 0;          // bytes 7-10
    float latitude = 0.0F;             // degrees
    float longitude = 0.0F;            // degrees
    std::int32_t altitude = 0;         // metres
    std::array<std::uint32_t, 3> bytes20{};  // bytes 20-22
    std::uint32_t byte25 = 0;
    std::uint32_t value28 = 0;         // the second 16-bit value of bytes 26-29
    std::uint32_t value26 = 0;         // the first
    std::uint16_t byte30 = 0;
    std::uint8_t entryCount = 0;       // byte 42
    std::array<std::array<std::uint8_t, 2>, 10> entries{};  // first two bytes of each 3-byte entry
};

}  // namespace vexa
