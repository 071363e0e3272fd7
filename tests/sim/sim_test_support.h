#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "receiver/command_blocks.h"
#include "receiver/command_builders.h"
#include "receiver/command_encoder.h"
#include "receiver/frame_receiver.h"
#include "sim/baud_rate.h"
#include "sim/receiver_simulator.h"

namespace vexa::sim::simtest {

// Everything a receive state machine finds in a stream.
struct Received : FrameListener {
    std::vector<std::vector<std::uint8_t>> frames;  // payloads
    std::vector<std::string> sentences;

    void onFrame(std::span<std::uint8_t> payload) override { frames.emplace_back(payload.begin(), payload.end()); }
    void onSentence(std::span<const std::uint8_t> text) override { sentences.emplace_back(text.begin(), text.end()); }
};

inline Received Parse(std::span<const std::uint8_t> bytes) {
    Received received;
    FrameReceiver receiver(received);
    receiver.feed(bytes);
    return received;
}

inline std::vector<std::uint8_t> CommandFrame(const CommandMessage& command) {
    std::vector<std::uint8_t> frame(64);
    frame.resize(EncodeMessage(command.id, command.block.data(), command.length, frame, false).frameLength);
    return frame;
}

template <class Block>
std::vector<std::uint8_t> CommandFrame(int id, const Block& block) {
    return CommandFrame(CommandMessage::Of(id, block));
}

// A program on the slave side of the simulator's pseudo-terminal, as a serial port user would be.
class PtyPeer {
public:
    PtyPeer(const std::string& path, int baud) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        if (fd_ < 0) throw std::runtime_error("cannot open " + path);
        setBaud(baud);
    }
    ~PtyPeer() { ::close(fd_); }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    void setBaud(int baud) {
        termios settings{};
        tcgetattr(fd_, &settings);
        cfmakeraw(&settings);
        cfsetspeed(&settings, *SpeedOfBaud(baud));
        tcsetattr(fd_, TCSANOW, &settings);
    }

    void send(std::span<const std::uint8_t> bytes) {
        if (::write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
            throw std::runtime_error("short write to the pseudo-terminal");
        }
    }

    // Reads until `total` bytes have arrived since the peer opened, or two seconds pass.
    std::vector<std::uint8_t> readUntilTotal(std::uint64_t total) {
        std::vector<std::uint8_t> bytes;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (received_ < total && std::chrono::steady_clock::now() < deadline) {
            pollfd descriptor{fd_, POLLIN, 0};
            if (::poll(&descriptor, 1, 20) <= 0) continue;
            std::uint8_t buffer[4096];
            const ssize_t count = ::read(fd_, buffer, sizeof buffer);
            if (count <= 0) continue;
            bytes.insert(bytes.end(), buffer, buffer + count);
            received_ += static_cast<std::uint64_t>(count);
        }
        return bytes;
    }

private:
    int fd_;
    std::uint64_t received_ = 0;
};

// Runs the simulator's clock for `duration` in steps and gives everything the peer read meanwhile.
inline std::vector<std::uint8_t> RunFor(ReceiverSimulator& simulator, PtyPeer& peer, std::chrono::milliseconds duration,
                                     std::chrono::milliseconds step = std::chrono::milliseconds(100)) {
    std::vector<std::uint8_t> bytes;
    for (std::chrono::milliseconds done{0}; done < duration; done += step) {
        simulator.advance(step);
        const auto read = peer.readUntilTotal(simulator.bytesSent());
        bytes.insert(bytes.end(), read.begin(), read.end());
    }
    return bytes;
}

// Sends bytes to the simulator and lets it take them in, without moving its clock.
inline void Deliver(ReceiverSimulator& simulator, PtyPeer& peer, std::span<const std::uint8_t> bytes) {
    const std::uint64_t expected = simulator.bytesReceived() + bytes.size();
    peer.send(bytes);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (simulator.bytesReceived() < expected && std::chrono::steady_clock::now() < deadline) {
        simulator.advance(std::chrono::microseconds(0));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

inline std::vector<std::uint8_t> Bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

}  // namespace vexa::sim::simtest
