#pragma once

#include <string>
#include <utility>

#include "link/sources/byte_source.h"
#include "link/sources/tcp_connection.h"
#include "platform/result_codes.h"

namespace vexa {

// What the sources reached over TCP share: one connection, no line speed, and a connection that
// fails after Open returned ends the source, with EndReason() then saying why.
class NetworkByteSource : public ByteSource {
public:
    explicit NetworkByteSource(std::string name) : name_(std::move(name)) {}

    std::string OpenProblem() const override { return connection_.OpenFailed() ? connection_.Problem() : ""; }
    int OpenError() const override { return connection_.OpenFailed() ? connection_.Error() : 0; }
    std::string EndReason() const override { return connection_.OpenFailed() ? "" : connection_.Problem(); }
    WakeEvent::Wait WaitReadable(const WakeEvent& wake, std::chrono::milliseconds timeout) override {
        return connection_.WaitReadable(wake, timeout);
    }
    LinkResult Configure(int) override { return kResultOk; }
    LinkResult Close() override {
        connection_.Close();
        return kResultOk;
    }
    bool IsOpen() const override { return connection_.IsOpen(); }
    const std::string& Name() const override { return name_; }
    bool BaudChangeable() const override { return false; }

protected:
    TcpConnection connection_;

private:
    std::string name_;
};

}  // namespace vexa
