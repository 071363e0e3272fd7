#pragma once

namespace vexa {

// Result codes of the receiver link layer.
inline constexpr int kResultOk = 0;
inline constexpr int kResultBadLength = 8449;     // payload length does not match the message id
inline constexpr int kResultUnknownId = 8451;     // id unknown to the decoder or the encoder
inline constexpr int kResultNoResource = 8705;    // a lock, a thread or the log file could not be had
inline constexpr int kResultCommFailure = 8961;   // serial failure or comm reader not running

}  // namespace vexa
