#include "receiver/frame_receiver.h"

namespace vexa {
namespace {

constexpr std::uint8_t kDollar = '$';
constexpr std::uint8_t kCarriageReturn = 0x0D;
constexpr std::uint8_t kLineFeed = 0x0A;

// The printable class of the C locale: blank through tilde.
constexpr bool IsPrintable(std::uint8_t byte) { return byte >= 0x20 && byte <= 0x7E; }

}  // namespace

void FrameReceiver::feed(std::span<const std::uint8_t> bytes) {
    statistics_.bytes += bytes.size();
    for (std::uint8_t byte : bytes) step(byte);
}

// Hunt (and SentenceDone, which behaves the same): only a frame or sentence start leads anywhere.
void FrameReceiver::startOver(std::uint8_t byte) {
    if (byte == kFrameStart1) {
        state_ = State::AwaitA2;
    } else if (byte == kDollar) {
        buffer_[0] = byte;
        index_ = 0;
        state_ = State::Sentence;
    } else {
        state_ = State::Hunt;
    }
}

void FrameReceiver::refuse(std::uint64_t& count, DropReason reason, std::uint8_t byte) {
    ++count;
    listener_.onDropped(reason);
    startOver(byte);
}

void FrameReceiver::step(std::uint8_t byte) {
    switch (state_) {
    case State::Hunt:
    case State::SentenceDone:
        startOver(byte);
        return;
    case State::AwaitA2:
        if (byte == kFrameStart2) {
            state_ = State::LengthHigh;
        } else {
            startOver(byte);
        }
        return;
    case State::LengthHigh:
        length_ = byte;
        state_ = State::LengthLow;
        return;
    case State::LengthLow:
        length_ = static_cast<std::uint16_t>(length_ << 8 | byte);
        index_ = 0;
        sum_ = 0;
        if (length_ >= 1 && length_ <= maxPayloadLength_) {
            state_ = State::Payload;
        } else {
            refuse(statistics_.badLength, DropReason::BadLength, byte);
        }
        return;
    case State::Payload:
        buffer_[index_++] = byte;
        sum_ += byte;
        if (index_ == length_) state_ = State::ChecksumHigh;
        return;
    case State::ChecksumHigh:
        checksumHigh_ = byte;
        state_ = State::ChecksumLow;
        return;
    case State::ChecksumLow: {
        const unsigned received = (unsigned{checksumHigh_} << 8 | byte) & kChecksumMask;
        if (received == (sum_ & kChecksumMask)) {
            state_ = State::AwaitB0;
        } else {
            refuse(statistics_.badChecksum, DropReason::BadChecksum, byte);
        }
        return;
    }
    case State::AwaitB0:
        if (byte == kFrameEnd1) {
            state_ = State::AwaitB3;
        } else {
            refuse(statistics_.badEndSequence, DropReason::BadEndSequence, byte);
        }
        return;
    case State::AwaitB3:
        if (byte == kFrameEnd2) {
            state_ = State::Hunt;
            ++statistics_.frames;
            listener_.onFrame(std::span<std::uint8_t>(buffer_, length_));
        } else {
            refuse(statistics_.badEndSequence, DropReason::BadEndSequence, byte);
        }
        return;
    case State::Sentence:
        if (IsPrintable(byte) && byte != kDollar) {
            buffer_[++index_] = byte;
            if (index_ >= kMaxSentenceCharacters) state_ = State::Hunt;
        } else if (byte == kCarriageReturn) {
            buffer_[++index_] = byte;
            state_ = State::AwaitLF;
        } else {
            startOver(byte);
        }
        return;
    case State::AwaitLF:
        if (byte == kLineFeed) {
            buffer_[++index_] = byte;
            state_ = State::SentenceDone;
            ++statistics_.sentences;
            listener_.onSentence(std::span<const std::uint8_t>(buffer_, index_ + 1));
        } else {
            startOver(byte);
        }
        return;
    }
}

}  // namespace vexa
