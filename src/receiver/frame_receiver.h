#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "receiver/dropped_frames.h"
#include "receiver/frame_format.h"

namespace vexa {

// Told of every complete, checked frame and every complete sentence.
// The spans point into the receiver's assembly buffer and are valid only during the call;
// the payload may be changed in place.
class FrameListener {
public:
    virtual ~FrameListener() = default;
    virtual void onFrame(std::span<std::uint8_t> payload) = 0;
    virtual void onSentence(std::span<const std::uint8_t> text) = 0;  // from "$" through LF
    // A frame was refused by its length, checksum or end sequence.
    virtual void onDropped(DropReason) {}
};

struct ReceiveStatistics {
    std::uint64_t bytes = 0;
    std::uint64_t frames = 0;
    std::uint64_t sentences = 0;
    std::uint64_t badLength = 0;
    std::uint64_t badChecksum = 0;
    std::uint64_t badEndSequence = 0;

    std::uint64_t refusedFrames() const { return badLength + badChecksum + badEndSequence; }
};

// Cuts a byte stream into binary frames and NMEA sentences, one byte at a time, in a fixed buffer.
// State persists across calls, so input may arrive in pieces of any size.
// A byte that breaks a frame or a sentence is looked at again as a possible start, so that
// A0 A0 A2 synchronises and a "$" inside a sentence begins the next one.
class FrameReceiver {
public:
    // A sentence holds at most this many characters from its "$" to the last one before CR.
    static constexpr std::size_t kMaxSentenceCharacters = 1009;
    // The longest payload any receiver can be set to take. The link keeps to kMaxPayloadLength; the
    // simulated receiver takes the location client's whole fragments, which are longer.
    static constexpr std::size_t kLargestPayloadLimit = 2048;

    // Frames whose length field exceeds the limit are refused (clamped to kLargestPayloadLimit).
    explicit FrameReceiver(FrameListener& listener, std::size_t maxPayloadLength = kMaxPayloadLength)
        : listener_(listener), maxPayloadLength_(std::min(maxPayloadLength, kLargestPayloadLimit)) {}

    void feed(std::span<const std::uint8_t> bytes);
    // Forgets a frame or sentence in progress (the line changed under it); the counts stay.
    void restart() { state_ = State::Hunt; }
    const ReceiveStatistics& statistics() const { return statistics_; }

private:
    enum class State : std::uint8_t {
        Hunt,
        AwaitA2,
        LengthHigh,
        LengthLow,
        Payload,
        ChecksumHigh,
        ChecksumLow,
        AwaitB0,
        AwaitB3,
        SentenceDone,
        Sentence,
        AwaitLF,
    };

    void step(std::uint8_t byte);
    void startOver(std::uint8_t byte);
    void refuse(std::uint64_t& count, DropReason reason, std::uint8_t byte);

    FrameListener& listener_;
    const std::size_t maxPayloadLength_;
    State state_ = State::Hunt;
    std::uint16_t length_ = 0;
    std::size_t index_ = 0;
    std::uint32_t sum_ = 0;
    std::uint8_t checksumHigh_ = 0;
    ReceiveStatistics statistics_;
    std::uint8_t buffer_[kLargestPayloadLimit];
};

}  // namespace vexa
