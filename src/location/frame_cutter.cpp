#include "location/frame_cutter.h"

#include "location/logical_channel.h"
#include "location/message_frame.h"

namespace vexa {

namespace {

constexpr std::uint8_t kStart1 = 0xA0;
constexpr std::uint8_t kStart2 = 0xA2;
constexpr std::uint8_t kEnd1 = 0xB0;
constexpr std::uint8_t kEnd2 = 0xB3;

}  // namespace

FrameRules serialModuleRules() {
    return {506,
            true,
            0xFFFF,
            std::nullopt,
            "Serial Module: Payload > SERIAL_RX_PACKET_SIZE! Msg ignored",
            "Serial Module: Payload length 0! Msg ignored",
            "Serial Module-> Invalid Checksum! - msg ignored",
            "Serial Module-> Invalid State End 1! - msg ignored",
            "Serial Module->Invalid State End 2!- msg ignored"};
}

FrameRules networkModuleRules() {
    return {4090,
            false,
            0,
            MAS_CHANNEL,
            "Network Module: Payload > MAX_NETWORK_BUFFER! Msg ignored",
            "Network Module: Payload length 0! Msg ignored",
            {},
            "Network Module-> Invalid State End 1! Msg ignored",
            "Network Module-> Invalid State End 2! Msg ignored"};
}

FrameCutter::FrameCutter(const FrameRules& rules, Listener& listener)
    : rules_(rules), listener_(listener), buffer_(rules.maxLength + (rules.channel ? 1 : 0)) {}

void FrameCutter::feed(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t byte : bytes) step(byte);
}

void FrameCutter::reset() {
    state_ = State::Hunt;
    remaining_ = 0;
    fill_ = 0;
    checksum_ = 0;
}

void FrameCutter::startOver(std::uint8_t byte) {
    fill_ = 0;
    state_ = byte == kStart1 ? State::AwaitA2 : State::Hunt;
}

void FrameCutter::refuse(std::string_view text, std::uint8_t byte) {
    listener_.onRefused(text);
    startOver(byte);
}

void FrameCutter::step(std::uint8_t byte) {
    switch (state_) {
    case State::Hunt:
        startOver(byte);
        return;
    case State::AwaitA2:
        if (byte == kStart2) {
            state_ = State::LengthHigh;
        } else {
            startOver(byte);
        }
        return;
    case State::LengthHigh:
        remaining_ = std::size_t{byte} << 8;
        state_ = State::LengthLow;
        return;
    case State::LengthLow:
        remaining_ += byte;
        if (remaining_ > rules_.maxLength) {
            refuse(rules_.tooLong, byte);
        } else if (remaining_ == 0) {
            refuse(rules_.empty, byte);
        } else {
            fill_ = 0;
            if (rules_.channel) buffer_[fill_++] = *rules_.channel;
            state_ = State::Payload;
        }
        return;
    case State::Payload:
        buffer_[fill_++] = byte;
        if (--remaining_ == 0) state_ = rules_.checksum ? State::ChecksumHigh : State::AwaitB0;
        return;
    case State::ChecksumHigh:
        checksum_ = static_cast<std::uint16_t>(byte << 8);
        state_ = State::ChecksumLow;
        return;
    case State::ChecksumLow: {
        const auto received = static_cast<std::uint16_t>((checksum_ | byte) & rules_.checksumMask);
        if (received == checksum15(std::span(buffer_.data(), fill_))) {
            state_ = State::AwaitB0;
        } else {
            refuse(rules_.badChecksum, byte);
        }
        return;
    }
    case State::AwaitB0:
        if (byte == kEnd1) {
            state_ = State::AwaitB3;
        } else {
            refuse(rules_.badEnd1, byte);
        }
        return;
    case State::AwaitB3:
        if (byte == kEnd2) {
            state_ = State::Hunt;
            listener_.onFrame(std::span<const std::uint8_t>(buffer_.data(), fill_));
            fill_ = 0;
        } else {
            refuse(rules_.badEnd2, byte);
        }
        return;
    }
}

}  // namespace vexa
