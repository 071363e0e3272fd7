#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/tcp_socket.h"

namespace vexa::test {

// A port on loopback that nothing listens on at the moment of asking.
inline std::uint16_t FreePort() {
    const int probe = ListenTcp("127.0.0.1", 0);
    const std::uint16_t port = LocalPort(probe);
    CloseTcp(probe);
    return port;
}

// The body of a plain HTTP GET on loopback; empty when nothing answers.
inline std::string HttpGet(std::uint16_t port, const std::string& target) {
    using namespace std::chrono_literals;
    const int fd = ConnectTcp("127.0.0.1", port, 2s);
    if (fd < 0) return {};
    const std::string request = "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
    SendTcp(fd, reinterpret_cast<const std::uint8_t*>(request.data()), request.size(), 2s);
    std::string answer;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    for (;;) {
        std::uint8_t buffer[4096];
        std::size_t count = 0;
        const Received received = ReceiveTcp(fd, buffer, sizeof buffer, count);
        if (received == Received::Data) {
            answer.append(reinterpret_cast<const char*>(buffer), count);
        } else if (received != Received::Nothing || std::chrono::steady_clock::now() > deadline) {
            break;
        } else {
            std::this_thread::sleep_for(5ms);
        }
    }
    CloseTcp(fd);
    const std::size_t body = answer.find("\r\n\r\n");
    return body == std::string::npos ? std::string() : answer.substr(body + 4);
}

}  // namespace vexa::test
