// Aiding data blocks as the server sends them, decoded into the orbit slots and the aiding time.
#include <cstddef>
#include <cstdint>
#include <span>

#include "location/messages/air_message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vexa::OrbitSlots slots{};
    vexa::AidingTime time;
    vexa::decodeAirMessage(std::span(data, size), slots, time);
    return 0;
}
