#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vexa {

// The frame of a server message: A0 A2, length, payload, B0 B3 (no checksum).
inline constexpr std::size_t kUncheckedFrameOverhead = 6;

// Writes A0 A2, length, payload, checksum, B0 B3; gives the frame length, or 0 when `frame` is too small.
std::size_t WriteFrame(std::span<const std::uint8_t> payload, std::span<std::uint8_t> frame);

// Appends A0 A2, length, head and body as one payload, the checksum over both with `checksumTopBits`
// set in it (none: the frame carries no checksum), B0 B3.
void AppendFrame(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> head, std::span<const std::uint8_t> body,
                 std::optional<std::uint16_t> checksumTopBits);

}  // namespace vexa
