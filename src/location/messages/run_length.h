#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vexa {

// The block format of the aided position exchange. Each block starts with a 16-bit header:
// bit 15 set, a run of (header & 0x7FFF) copies of the one byte that follows; bit 15 clear, that many
// literal bytes follow.
inline constexpr std::size_t kRunLengthMaxCount = 0x7FFF;
inline constexpr std::size_t kShortestRun = 5;

// Appends the encoding of input: every stretch of five or more equal bytes becomes a run block.
void encodeRunLength(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& out);

// Replaces out with the decoding of input. False when a block is cut short or the decoding would
// exceed capacity bytes; out then holds what was decoded before the fault.
bool decodeRunLength(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& out, std::size_t capacity);

}  // namespace vexa
