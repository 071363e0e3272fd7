#pragma once

#include <cstdint>
#include <vector>

#include "location/messages/message.h"
#include "support/frame_bytes.h"

namespace vexa::test {

// The bytes a location client message puts on the wire, and its payload.

inline Bytes frameOf(Message& message) {
    const std::uint8_t* frame = message.getBytes();
    if (frame == nullptr) return {};
    return Bytes(frame, frame + message.getLength());
}

inline Bytes payloadOf(Message& message) {
    const std::uint8_t* payload = message.payload();
    return Bytes(payload, payload + message.payloadLength());
}

}  // namespace vexa::test
