#pragma once

#include <string>

#include "link/byte_source.h"
#include "link/tcp_connection.h"

namespace vexa {

// A receiver's byte stream over TCP ("tcp://HOST:PORT"): a serial server, a receiver with Ethernet, a
// phone that shares its receiver. Commands go back over the same socket; there is no line speed.
// A connection that fails after Open returned ends the source, and OpenProblem() then says why.
class TcpSource final : public ByteSource {
public:
    explicit TcpSource(std::string name);

    int Open(int baud) override;
    std::string OpenProblem() const override { return connection_.Problem(); }
    int OpenError() const override { return connection_.Error(); }

    ReadOutcome Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) override;
    WakeEvent::Wait WaitReadable(const WakeEvent& wake, std::chrono::milliseconds timeout) override;
    int Write(const std::uint8_t* bytes, std::size_t length) override;
    int Configure(int baud) override;
    int Close() override;

    bool IsOpen() const override { return connection_.IsOpen(); }
    const std::string& Name() const override { return name_; }
    bool TakesCommands() const override { return true; }
    bool BaudChangeable() const override { return false; }

private:
    std::string name_;
    TcpConnection connection_;
};

}  // namespace vexa
