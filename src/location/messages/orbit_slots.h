#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vexa {

// Orbit records of the aiding data, indexed by their satellite byte.
inline constexpr std::size_t kSatelliteSlots = 32;
inline constexpr std::size_t kOrbitRecordLength = 59;

struct OrbitSlot {
    bool present = false;
    std::array<std::uint8_t, kOrbitRecordLength> record{};  // exactly as received
};

using OrbitSlots = std::array<OrbitSlot, kSatelliteSlots>;

}  // namespace vexa
