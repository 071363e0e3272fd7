#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/result_codes.h"

namespace vexa {

struct EncodeResult {
    LinkResult code = kResultOk;  // kResultOk, kResultUnknownId, or kResultBadLength for a short block or buffer
    std::size_t frameLength = 0;  // payload length + 8
};

// Lays out a command's native parameter block (command_blocks.h) as one frame in `frame`,
// with channel byte 0xEE before the id when `channelByte` is set. Builds nothing on failure.
EncodeResult EncodeMessage(int id, const void* block, std::size_t blockLength, std::span<std::uint8_t> frame,
                           bool channelByte);

// Writes A0 A2, length, payload, checksum, B0 B3; gives the frame length, or 0 when `frame` is too small.
std::size_t WriteFrame(std::span<const std::uint8_t> payload, std::span<std::uint8_t> frame);

}  // namespace vexa
