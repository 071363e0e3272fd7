#pragma once

#include <cstdint>
#include <vector>

#include "location/messages/message.h"

namespace vexa::test {

using Bytes = std::vector<std::uint8_t>;

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
