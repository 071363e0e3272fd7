#include "sim/line_noise.h"

namespace vexa::sim {
namespace {

constexpr std::uint8_t kFrameStart = 0xA0;
constexpr std::uint8_t kSentenceStart = '$';
constexpr std::size_t kFrameOverhead = 8;
constexpr std::size_t kFramePayloadOffset = 4;

}  // namespace

MismatchedBaudNoise::MismatchedBaudNoise(std::uint32_t seed) : random_(seed) {}

void MismatchedBaudNoise::garble(std::span<std::uint8_t> bytes) {
    for (auto& byte : bytes) {
        byte = static_cast<std::uint8_t>(random_() ^ byte);
        if (byte == kFrameStart || byte == kSentenceStart) byte ^= 0x01;
    }
}

MessageCorruptor::MessageCorruptor(double probability, std::uint32_t seed) : probability_(probability), random_(seed) {}

bool MessageCorruptor::maybeDamage(std::vector<std::uint8_t>& message) {
    if (message.empty() || !std::bernoulli_distribution(probability_)(random_)) return false;
    if (message.size() > kFrameOverhead && message[0] == kFrameStart) {
        // Any change to one payload byte changes the payload sum modulo 32768.
        std::uniform_int_distribution<std::size_t> at(kFramePayloadOffset, message.size() - kFrameOverhead + 3);
        std::uniform_int_distribution<int> mask(1, 255);
        message[at(random_)] ^= static_cast<std::uint8_t>(mask(random_));
        return true;
    }
    std::size_t end = message.size();
    if (message[0] == kSentenceStart) {
        for (std::size_t i = 1; i < message.size(); ++i) {
            if (message[i] == '*') {
                end = i;
                break;
            }
        }
    }
    const std::size_t begin = message[0] == kSentenceStart ? 1 : 0;
    if (end <= begin) return false;
    // Another printable character between "$" and "*" changes the sentence checksum.
    std::uniform_int_distribution<std::size_t> at(begin, end - 1);
    std::uniform_int_distribution<int> printable('0', 'Z');
    std::uint8_t& target = message[at(random_)];
    std::uint8_t replacement = static_cast<std::uint8_t>(printable(random_));
    if (replacement == target) replacement = replacement == 'Z' ? '0' : static_cast<std::uint8_t>(replacement + 1);
    target = replacement;
    return true;
}

}  // namespace vexa::sim
