#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/result_codes.h"
#include "receiver/product/receiver_context.h"

namespace vexa {

// Native records are built here; aligned for the widest field (the doubles of the navigation library messages).
struct alignas(8) RecordBuffer {
    static constexpr std::size_t kSize = 1024;
    std::uint8_t bytes[kSize];
};

struct DecodeResult {
    LinkResult code = kResultOk;  // kResultOk, kResultBadLength or kResultUnknownId
    int id = 0;                   // 0 when the length does not match
    std::size_t recordLength = 0;
};

// Turns the payload of one checked frame (id at byte 0) into its native record.
// Message 225 sub-id 6 also updates the time-to-first-fix text of the context.
DecodeResult DecodeMessage(std::span<const std::uint8_t> payload, RecordBuffer& record, ReceiverContext& context);

}  // namespace vexa
