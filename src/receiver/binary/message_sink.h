#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa {

// Receives every decoded message (and every text, as id 255) from the frame dispatch.
// The record is valid only during the call.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void deliver(int id, const std::uint8_t* record, std::size_t length) = 0;
};

}  // namespace vexa
