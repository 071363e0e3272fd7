#pragma once

#include <cstddef>
#include <cstdint>

#include "receiver/frames/channel_bytes.h"

// Every message of the location client starts with its channel byte (receiver/channel_bytes.h).

namespace vexa {

// Bit 15 of the checksum field marks frames this client sends towards the receiver.
inline constexpr std::uint16_t FrameFlag = 0x8000;

// Rendering limits of whole frames, per channel.
inline constexpr std::size_t kFFrameLimit = 1024;
inline constexpr std::size_t kXtnFrameLimit = 128;
inline constexpr std::size_t kNmeaFrameLimit = 128;
inline constexpr std::size_t kAi3FrameLimit = 5000;
inline constexpr std::size_t kMasFrameLimit = 4096;

}  // namespace vexa
