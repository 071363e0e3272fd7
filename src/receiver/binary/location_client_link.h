#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa {

// What the frame dispatch tells the location client. Until a client is attached, nothing happens.
class LocationClientLink {
public:
    virtual ~LocationClientLink() = default;
    // The receiver's binary link is up (on = 1).
    virtual void setBinary(int /*on*/) {}
    // One frame on channel 1 or 2, channel byte included.
    virtual void postExternalSerial(const std::uint8_t* /*bytes*/, std::size_t /*length*/) {}
};

}  // namespace vexa
