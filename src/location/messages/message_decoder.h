#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "location/messages/ai3_reassembly.h"
#include "location/messages/message.h"

namespace vexa {

// Turns received frame content (channel byte, id, payload) into messages. Each receiving path keeps
// one decoder, because AI3 answers arrive in fragments that it joins.
class MessageDecoder {
public:
    // Null for an unknown channel or id, for any XTN data, for content too short for the fixed part of
    // its message, and for an AI3 answer that is not complete yet.
    std::unique_ptr<Message> decodeMessage(const std::uint8_t* bytes, std::size_t length);

private:
    std::mutex ai3Mutex_;
    Ai3Reassembly ai3_;
};

}  // namespace vexa
