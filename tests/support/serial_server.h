#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include <poll.h>

#include "platform/read_outcome.h"
#include "platform/serial_device.h"
#include "platform/tcp_socket.h"

namespace vexa::test {

// A serial server on loopback, as a receiver with a network port is reached: the bytes of the
// serial device go to the TCP client it takes (one at a time), and what the client sends goes to
// the device.
class SerialServer {
public:
    SerialServer(const std::string& devicePath, int baud)
        : listener_(ListenTcp("127.0.0.1", 0)), device_(OpenSerialDevice(devicePath)) {
        if (device_ >= 0) ConfigureSerialDevice(device_, baud);
        thread_ = std::thread([this] { Run(); });
    }
    ~SerialServer() {
        stop_ = true;
        thread_.join();
        CloseTcp(client_);
        CloseTcp(listener_);
        if (device_ >= 0) CloseSerialDevice(device_);
    }
    SerialServer(const SerialServer&) = delete;
    SerialServer& operator=(const SerialServer&) = delete;

    std::string Name() const { return "tcp://127.0.0.1:" + std::to_string(LocalPort(listener_)); }

private:
    void Run() {
        std::uint8_t chunk[4096];
        bool deviceOpen = device_ >= 0;
        while (!stop_ && deviceOpen) {
            if (client_ < 0) {
                pollfd waiting{listener_, POLLIN, 0};
                if (::poll(&waiting, 1, 50) == 1) client_ = AcceptTcp(listener_);
                continue;
            }
            pollfd both[] = {{device_, POLLIN, 0}, {client_, POLLIN, 0}};
            if (::poll(both, 2, 50) <= 0) continue;
            std::size_t count = 0;
            if (both[0].revents != 0) {
                const ReadOutcome read = ReadSerialDevice(device_, chunk, sizeof chunk, count);
                if (read == ReadOutcome::kBytes) SendTcp(client_, chunk, count, std::chrono::seconds(1));
                deviceOpen = read != ReadOutcome::kEnded;
            }
            if (both[1].revents == 0) continue;
            const Received received = ReceiveTcp(client_, chunk, sizeof chunk, count);
            if (received == Received::Data) WriteSerialDevice(device_, chunk, count, SerialWriteTimeout(count));
            if (received == Received::Closed || received == Received::Failed) {
                CloseTcp(client_);
                client_ = -1;
            }
        }
    }

    int listener_;
    int device_;
    int client_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace vexa::test
