#pragma once

#include <cstdint>

namespace vexa {

// Bits of the navigation record's Mode1 (and of the geodetic record's NavType).
inline constexpr std::uint8_t kPositionModeMask = 0x07;
inline constexpr std::uint8_t kTimedPowerMode = 0x08;
inline constexpr std::uint8_t kDopMaskExceeded = 0x40;
inline constexpr std::uint8_t kDgpsUsed = 0x80;

}  // namespace vexa
