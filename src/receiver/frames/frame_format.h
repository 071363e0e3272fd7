#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vexa {

// The binary frame: A0 A2, payload length (2 bytes), payload, checksum (2 bytes), B0 B3.
// Multi-byte fields are big-endian; the checksum is the payload byte sum modulo 32768.
inline constexpr std::uint8_t kFrameStart1 = 0xA0;
inline constexpr std::uint8_t kFrameStart2 = 0xA2;
inline constexpr std::uint8_t kFrameEnd1 = 0xB0;
inline constexpr std::uint8_t kFrameEnd2 = 0xB3;
inline constexpr std::size_t kFrameOverhead = 8;
inline constexpr std::size_t kMaxPayloadLength = 1014;
inline constexpr std::uint16_t kChecksumMask = 0x7FFF;
inline constexpr std::size_t kFrameBufferSize = 1024;

inline std::uint32_t PayloadSum(std::span<const std::uint8_t> payload) {
    std::uint32_t sum = 0;
    for (std::uint8_t byte : payload) sum += byte;
    return sum;
}

}  // namespace vexa
