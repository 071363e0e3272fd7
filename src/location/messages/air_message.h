#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "location/messages/orbit_slots.h"

namespace vexa {

// The GPS time carried by the aiding data, as the time transfer answer needs it.
struct AidingTime {
    std::uint16_t gpsWeek = 0;
    double timeOfWeekMs = 0.0;
};

// Result flags of decodeAirMessage; 0 means nothing usable.
inline constexpr unsigned kOrbitRecordsDecoded = 0x01;
inline constexpr unsigned kValidTimeDecoded = 0x02;

// Decodes an aiding data block: a block count, an unused byte, then blocks of type (16 bits), length
// (32 bits) and that many bytes. A block that claims more bytes than remain refuses the whole data,
// and then nothing is changed. Orbit records fill the slot of their satellite number (records of
// satellites 32 and above are skipped; a block whose records overrun it is skipped).
unsigned decodeAirMessage(std::span<const std::uint8_t> data, OrbitSlots& orbitSlots, AidingTime& time);

// The aiding block inside a rendered server aiding frame (A0 A2, length, id, block, B0 B3);
// nothing for a frame too short to hold one byte of it.
std::optional<std::span<const std::uint8_t>> aidingBlockOfFrame(std::span<const std::uint8_t> frame);

}  // namespace vexa
