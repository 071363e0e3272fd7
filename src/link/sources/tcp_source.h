#pragma once

#include <string>

#include "link/sources/network_byte_source.h"

namespace vexa {

// A receiver's byte stream over TCP ("tcp://HOST:PORT"): a serial server, a receiver with Ethernet, a
// phone that shares its receiver. Commands go back over the same socket.
class TcpSource final : public NetworkByteSource {
public:
    using NetworkByteSource::NetworkByteSource;

    LinkResult Open(int baud) override;
    ReadOutcome Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) override;
    LinkResult Write(const std::uint8_t* bytes, std::size_t length) override;
    bool TakesCommands() const override { return true; }
};

}  // namespace vexa
