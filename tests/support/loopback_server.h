#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

#include <poll.h>
#include <sys/socket.h>

#include "platform/tcp_socket.h"

namespace vexa::test {

// The server's end of a loopback connection, on an ephemeral port.
class LoopbackServer {
public:
    using Bytes = std::vector<std::uint8_t>;

    LoopbackServer() : listener_(ListenTcp("127.0.0.1", 0)) {}
    ~LoopbackServer() {
        CloseTcp(peer_);
        CloseTcp(listener_);
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    std::uint16_t port() const { return LocalPort(listener_); }
    // The next connection; the one before, if any, is closed.
    bool accept(std::chrono::milliseconds patience = std::chrono::seconds(3)) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, static_cast<int>(patience.count())) != 1) return false;
        CloseTcp(peer_);
        peer_ = AcceptTcp(listener_);
        return peer_ >= 0;
    }
    void send(const Bytes& bytes) { SendTcp(peer_, bytes.data(), bytes.size(), std::chrono::seconds(3)); }
    // What the client takes within `patience`: the count sent, or -1 once it has gone.
    long sendSome(const Bytes& bytes, std::chrono::milliseconds patience) {
        return SendTcp(peer_, bytes.data(), bytes.size(), patience);
    }
    // Connections accepted from now on take few bytes at a time, so the client's sends back up soon.
    void limitReceiveBuffer() {
        const int small = 4096;
        ::setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    }
    // What the client sent, until `count` bytes came or the patience ran out; never more than `count`,
    // so the next read starts at the next message.
    Bytes receive(std::size_t count, std::chrono::milliseconds patience = std::chrono::seconds(3)) {
        Bytes bytes;
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd readable{peer_, POLLIN, 0};
            if (::poll(&readable, 1, 100) != 1) continue;
            std::uint8_t chunk[4096];
            std::size_t got = 0;
            const std::size_t wanted = std::min(sizeof chunk, count - bytes.size());
            if (ReceiveTcp(peer_, chunk, wanted, got) == Received::Data) bytes.insert(bytes.end(), chunk, chunk + got);
        }
        return bytes;
    }
    void hangUp() {
        CloseTcp(peer_);
        peer_ = -1;
    }

private:
    int listener_;
    int peer_ = -1;
};

}  // namespace vexa::test
