#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <vector>

namespace vexa::sim {

// What a UART set to another baud rate makes of the receiver's bytes: noise of the same length that
// never holds a "$" or a 0xA0, so it can form neither a sentence nor the start of a frame.
class MismatchedBaudNoise {
public:
    explicit MismatchedBaudNoise(std::uint32_t seed);
    void garble(std::span<std::uint8_t> bytes);

private:
    std::mt19937 random_;
};

// Damages a share of the messages: one byte inside the part that the frame or sentence checksum covers,
// so that every damaged message fails its check.
class MessageCorruptor {
public:
    MessageCorruptor(double probability, std::uint32_t seed);

    // True when the message was damaged.
    bool maybeDamage(std::vector<std::uint8_t>& message);

private:
    double probability_;
    std::mt19937 random_;
};

}  // namespace vexa::sim
