#pragma once

#include <chrono>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "receiver/commands/command_blocks.h"
#include "receiver/commands/command_builders.h"
#include "receiver/commands/command_encoder.h"
#include "receiver/frames/frame_receiver.h"
#include "sim/baud_rate.h"
#include "sim/receiver_simulator.h"
#include "support/frame_bytes.h"
#include "support/pseudo_terminal.h"

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
std::vector<std::uint8_t> CommandFrame(MessageId id, const Block& block) {
    return CommandFrame(CommandMessage::Of(id, block));
}

using test::PtyPeer;

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

}  // namespace vexa::sim::simtest
