#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "receiver/frames/frame_format.h"

namespace vexa {

// Why a frame was refused. A length is refused when it exceeds the limit or is 0; the end sequence
// when its first or its second byte is wrong.
enum class FrameFault : std::uint8_t { TooLong, Empty, BadChecksum, BadEnd1, BadEnd2 };

// Why a begun sentence was dropped: a byte outside the printable class before its end (a CR not
// followed by LF included), nothing between "$" and CR LF, or more characters than a sentence holds.
// A "$" and two capital letters begin a sentence (every talker and maker code does so); a "$"
// followed by anything else is not counted, so the bytes of a broken binary frame do not count as
// broken sentences.
enum class SentenceFault : std::uint8_t { Unprintable, Empty, TooLong };

// How one link frames its messages: A0 A2, 16-bit length, payload, [16-bit checksum], B0 B3, and
// perhaps NMEA sentences between the frames.
struct FrameRules {
    std::size_t maxPayloadLength = kMaxPayloadLength;  // longest accepted length field; 0 is always refused
    bool checksum = true;                               // a checksum field follows the payload
    std::uint16_t receivedChecksumMask = kChecksumMask;  // bits of that field compared with the 15-bit sum
    bool sentences = true;                              // "$" through CR LF is taken as a sentence
    std::optional<std::uint8_t> channel;                // stored ahead of the payload (frames that carry none)
};

// Told of every complete, checked frame, every complete sentence and every refused frame.
// The spans point into the receiver's assembly buffer and are valid only during the call;
// the payload may be changed in place.
class FrameListener {
public:
    virtual ~FrameListener() = default;
    virtual void onFrame(std::span<std::uint8_t> payload) = 0;  // the channel byte first, where the rules add one
    virtual void onSentence(std::span<const std::uint8_t> /*text*/) {}  // from "$" through LF
    virtual void onRefused(FrameFault /*fault*/) {}
    virtual void onBadSentence(SentenceFault /*fault*/) {}
};

struct ReceiveStatistics {
    std::uint64_t bytes = 0;
    std::uint64_t frames = 0;
    std::uint64_t sentences = 0;
    std::uint64_t badLength = 0;
    std::uint64_t badChecksum = 0;
    std::uint64_t badEndSequence = 0;
    std::uint64_t badSentences = 0;

    std::uint64_t refusedFrames() const { return badLength + badChecksum + badEndSequence; }
    // Everything the frame machine dropped: refused frames and bad sentences.
    std::uint64_t dropped() const { return refusedFrames() + badSentences; }
};

// Cuts a byte stream into binary frames and NMEA sentences, in a buffer sized once by its rules.
// State persists across calls, so input may arrive in pieces of any size and gives the same results.
// Starts are found with a memory search and payloads taken in bulk. A byte that breaks a frame or a
// sentence is looked at again as a possible start, so that A0 A0 A2 synchronises and a "$" inside a
// sentence begins the next one.
class FrameReceiver {
public:
    // A sentence holds at most this many characters from its "$" to the last one before CR.
    static constexpr std::size_t kMaxSentenceCharacters = 1009;
    // The longest payload any receiver can be set to take. The link keeps to kMaxPayloadLength; the
    // simulated receiver takes the location client's whole fragments, which are longer.
    static constexpr std::size_t kLargestPayloadLimit = 2048;

    // The receiver's serial link: frames whose length field exceeds the limit are refused (the limit is
    // clamped to kLargestPayloadLimit); sentences are taken.
    explicit FrameReceiver(FrameListener& listener, std::size_t maxPayloadLength = kMaxPayloadLength);
    FrameReceiver(FrameListener& listener, const FrameRules& rules);

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
        Sentence,
        AwaitLF,
    };

    const std::uint8_t* hunt(const std::uint8_t* at, const std::uint8_t* end);
    const std::uint8_t* takePayload(const std::uint8_t* at, const std::uint8_t* end);
    const std::uint8_t* takeSentence(const std::uint8_t* at, const std::uint8_t* end);
    // Returns false when the byte is to be looked at again as a possible start.
    bool step(std::uint8_t byte);
    void refuse(FrameFault fault);
    // Drops the sentence in progress; counted only when it had begun as one.
    void dropSentence(SentenceFault fault);

    FrameListener& listener_;
    const FrameRules rules_;
    const std::size_t payloadStart_;  // 1 where a channel byte is stored ahead, else 0
    State state_ = State::Hunt;
    std::size_t length_ = 0;
    std::size_t index_ = 0;
    std::uint32_t sum_ = 0;
    std::uint8_t checksumHigh_ = 0;
    // Where the next frame start and the next "$" of the bytes being fed lie (end: none), so that
    // each byte is searched once.
    const std::uint8_t* nextFrameStart_ = nullptr;
    const std::uint8_t* nextDollar_ = nullptr;
    ReceiveStatistics statistics_;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace vexa
