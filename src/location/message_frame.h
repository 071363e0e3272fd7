#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vexa {

// Frame bytes around the content: A0 A2, 16-bit length, ..., then (receiver frames) checksum, and B0 B3.
inline constexpr std::size_t kReceiverFrameOverhead = 8;
inline constexpr std::size_t kServerFrameOverhead = 6;

// The 15-bit sum of the bytes, as the receiver's binary frame uses it.
std::uint16_t checksum15(std::span<const std::uint8_t> bytes);

// Appends A0 A2, length, header, body, checksum over header and body (bit 15 set when flagged), B0 B3.
void appendReceiverFrame(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> header,
                         std::span<const std::uint8_t> body, bool frameFlag);

// Appends A0 A2, length, id, body, B0 B3: the server's frame has no channel byte and no checksum.
void appendServerFrame(std::vector<std::uint8_t>& out, std::uint8_t id, std::span<const std::uint8_t> body);

}  // namespace vexa
