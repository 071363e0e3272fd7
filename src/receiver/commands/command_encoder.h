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
// with the binary channel byte before the id when `channelByte` is set. Builds nothing on failure.
EncodeResult EncodeMessage(int id, const void* block, std::size_t blockLength, std::span<std::uint8_t> frame,
                           bool channelByte);

}  // namespace vexa
