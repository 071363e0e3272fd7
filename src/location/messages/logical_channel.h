#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa {

// The channel byte that leads every message of the location client.
inline constexpr std::uint8_t AI3_CHANNEL = 0x01;
inline constexpr std::uint8_t F_CHANNEL = 0x02;
inline constexpr std::uint8_t MAS_CHANNEL = 0xAA;
inline constexpr std::uint8_t STAT_CHANNEL = 0xBB;
inline constexpr std::uint8_t NMEA_CHANNEL = 0xDD;
inline constexpr std::uint8_t XTN_CHANNEL = 0xEE;

// Bit 15 of the checksum field marks frames this client sends towards the receiver.
inline constexpr std::uint16_t FrameFlag = 0x8000;

// Rendering limits of whole frames, per channel.
inline constexpr std::size_t kFFrameLimit = 1024;
inline constexpr std::size_t kXtnFrameLimit = 128;
inline constexpr std::size_t kNmeaFrameLimit = 128;
inline constexpr std::size_t kAi3FrameLimit = 5000;
inline constexpr std::size_t kMasFrameLimit = 4096;

}  // namespace vexa
