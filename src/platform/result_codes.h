#pragma once

namespace vexa {

// Result codes of the receiver link layer. A result cannot be ignored: every caller handles it or
// discards it with a reason. The numbers are the ones shown to the user and written to logs.
enum class [[nodiscard]] LinkResult : int {
    kResultOk = 0,
    kResultBadLength = 8449,        // payload length does not match the message id
    kResultUnknownId = 8451,        // id unknown to the decoder or the encoder
    kResultNoResource = 8705,       // a lock, a thread or the log file could not be had
    kResultCommFailure = 8961,      // serial failure or comm reader not running
    kResultCommandsRefused = 8962,  // the source does not take commands (a receiver shared through gpsd)
};
using enum LinkResult;

// The number shown or logged for a result.
constexpr int ResultNumber(LinkResult result) { return static_cast<int>(result); }

}  // namespace vexa
