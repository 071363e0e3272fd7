#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "location/messages/position_result.h"

namespace vexa {

// An NMEA channel message for the host: cleared, the id in byte 0, the payload from byte 1 on.
struct NmeaRecord {
    std::array<std::uint8_t, 128> bytes{};
};

// How the location client reaches its host. An empty slot is simply not called. Texts passed here
// stay valid only for the duration of the call.
struct HostCallbacks {
    std::function<void(const PositionResult&)> position;
    std::function<void(const NmeaRecord&)> nmea;
    std::function<void(int code, std::string_view text)> error;
    std::function<void(std::string_view text)> display;
    // Writes a whole frame to the receiver when the host carries the receiver traffic.
    std::function<void(const std::uint8_t* bytes, std::size_t length)> externalWrite;
};

}  // namespace vexa
