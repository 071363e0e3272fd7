#include "receiver/frames/frame_receiver.h"

#include <cstring>

namespace vexa {
namespace {

constexpr std::uint8_t kDollar = '$';
constexpr std::uint8_t kCarriageReturn = 0x0D;
constexpr std::uint8_t kLineFeed = 0x0A;

// The printable class of the C locale: blank through tilde.
constexpr bool IsPrintable(std::uint8_t byte) { return byte >= 0x20 && byte <= 0x7E; }

constexpr bool ContinuesSentence(std::uint8_t byte) { return IsPrintable(byte) && byte != kDollar; }

constexpr bool IsCapital(std::uint8_t byte) { return byte >= 'A' && byte <= 'Z'; }

const std::uint8_t* Find(const std::uint8_t* at, const std::uint8_t* end, std::uint8_t byte) {
    const void* found = std::memchr(at, byte, static_cast<std::size_t>(end - at));
    return found == nullptr ? end : static_cast<const std::uint8_t*>(found);
}

std::size_t BufferSize(const FrameRules& rules) {
    const std::size_t frame = (rules.channel ? 1 : 0) + rules.maxPayloadLength;
    // "$", the characters, CR and LF.
    const std::size_t sentence = rules.sentences ? FrameReceiver::kMaxSentenceCharacters + 2 : 0;
    return std::max(frame, sentence);
}

}  // namespace

FrameReceiver::FrameReceiver(FrameListener& listener, std::size_t maxPayloadLength)
    : FrameReceiver(listener, FrameRules{.maxPayloadLength = std::min(maxPayloadLength, kLargestPayloadLimit)}) {}

FrameReceiver::FrameReceiver(FrameListener& listener, const FrameRules& rules)
    : listener_(listener), rules_(rules), payloadStart_(rules.channel ? 1 : 0), buffer_(BufferSize(rules)) {}

void FrameReceiver::feed(std::span<const std::uint8_t> bytes) {
    statistics_.bytes += bytes.size();
    const std::uint8_t* at = bytes.data();
    const std::uint8_t* const end = at + bytes.size();
    nextFrameStart_ = nullptr;
    nextDollar_ = nullptr;
    while (at != end) {
        switch (state_) {
        case State::Hunt:
            at = hunt(at, end);
            break;
        case State::Payload:
            at = takePayload(at, end);
            break;
        case State::Sentence:
            at = takeSentence(at, end);
            break;
        default:
            if (step(*at)) ++at;
            break;
        }
    }
}

// Only a frame or sentence start leads anywhere; each is searched for once per fed piece.
const std::uint8_t* FrameReceiver::hunt(const std::uint8_t* at, const std::uint8_t* end) {
    if (nextFrameStart_ == nullptr || nextFrameStart_ < at) nextFrameStart_ = Find(at, end, kFrameStart1);
    const std::uint8_t* start = nextFrameStart_;
    if (rules_.sentences) {
        if (nextDollar_ == nullptr || nextDollar_ < at) nextDollar_ = Find(at, end, kDollar);
        start = std::min(start, nextDollar_);
    }
    if (start == end) return end;
    if (*start == kFrameStart1) {
        state_ = State::AwaitA2;
    } else {
        buffer_[0] = kDollar;
        index_ = 0;
        state_ = State::Sentence;
    }
    return start + 1;
}

const std::uint8_t* FrameReceiver::takePayload(const std::uint8_t* at, const std::uint8_t* end) {
    const std::size_t count = std::min(static_cast<std::size_t>(end - at), length_ - index_);
    std::memcpy(buffer_.data() + payloadStart_ + index_, at, count);
    if (rules_.checksum) sum_ += PayloadSum(std::span(at, count));
    index_ += count;
    if (index_ == length_) state_ = rules_.checksum ? State::ChecksumHigh : State::AwaitB0;
    return at + count;
}

// index_ is where the last character stored lies ("$" at 0).
const std::uint8_t* FrameReceiver::takeSentence(const std::uint8_t* at, const std::uint8_t* end) {
    const std::size_t room = kMaxSentenceCharacters - index_;
    const std::uint8_t* const limit = at + std::min(static_cast<std::size_t>(end - at), room);
    const std::uint8_t* const stop = std::find_if_not(at, limit, ContinuesSentence);
    const auto count = static_cast<std::size_t>(stop - at);
    std::memcpy(buffer_.data() + index_ + 1, at, count);
    index_ += count;
    if (index_ >= kMaxSentenceCharacters) {
        dropSentence(SentenceFault::TooLong);
        return stop;
    }
    if (stop == end) return end;
    if (*stop == kCarriageReturn) {
        buffer_[++index_] = kCarriageReturn;
        state_ = State::AwaitLF;
        return stop + 1;
    }
    // A "$" abandons the sentence for the next one.
    if (*stop == kDollar) {
        state_ = State::Hunt;
    } else {
        dropSentence(SentenceFault::Unprintable);
    }
    return stop;
}

void FrameReceiver::dropSentence(SentenceFault fault) {
    state_ = State::Hunt;
    const bool begun = fault == SentenceFault::Empty || (index_ >= 2 && IsCapital(buffer_[1]) && IsCapital(buffer_[2]));
    if (!begun) return;
    ++statistics_.badSentences;
    listener_.onBadSentence(fault);
}

void FrameReceiver::refuse(FrameFault fault) {
    switch (fault) {
    case FrameFault::TooLong:
    case FrameFault::Empty:
        ++statistics_.badLength;
        break;
    case FrameFault::BadChecksum:
        ++statistics_.badChecksum;
        break;
    case FrameFault::BadEnd1:
    case FrameFault::BadEnd2:
        ++statistics_.badEndSequence;
        break;
    }
    state_ = State::Hunt;
    listener_.onRefused(fault);
}

bool FrameReceiver::step(std::uint8_t byte) {
    switch (state_) {
    case State::AwaitA2:
        if (byte == kFrameStart2) {
            state_ = State::LengthHigh;
            return true;
        }
        state_ = State::Hunt;
        return false;
    case State::LengthHigh:
        length_ = std::size_t{byte} << 8;
        state_ = State::LengthLow;
        return true;
    case State::LengthLow:
        length_ |= byte;
        index_ = 0;
        sum_ = 0;
        if (length_ == 0) {
            refuse(FrameFault::Empty);
            return false;
        }
        if (length_ > rules_.maxPayloadLength) {
            refuse(FrameFault::TooLong);
            return false;
        }
        if (rules_.channel) buffer_[0] = *rules_.channel;  // a sentence may have used the buffer since
        state_ = State::Payload;
        return true;
    case State::ChecksumHigh:
        checksumHigh_ = byte;
        state_ = State::ChecksumLow;
        return true;
    case State::ChecksumLow: {
        const unsigned received = (unsigned{checksumHigh_} << 8 | byte) & rules_.receivedChecksumMask;
        if (received == (sum_ & kChecksumMask)) {
            state_ = State::AwaitB0;
            return true;
        }
        refuse(FrameFault::BadChecksum);
        return false;
    }
    case State::AwaitB0:
        if (byte == kFrameEnd1) {
            state_ = State::AwaitB3;
            return true;
        }
        refuse(FrameFault::BadEnd1);
        return false;
    case State::AwaitB3:
        if (byte == kFrameEnd2) {
            state_ = State::Hunt;
            ++statistics_.frames;
            listener_.onFrame(std::span(buffer_.data(), payloadStart_ + length_));
            return true;
        }
        refuse(FrameFault::BadEnd2);
        return false;
    case State::AwaitLF:
        // index_ is where the CR lies.
        if (byte != kLineFeed) {
            --index_;
            dropSentence(SentenceFault::Unprintable);
            return false;
        }
        if (index_ == 1) {
            dropSentence(SentenceFault::Empty);
            return true;
        }
        state_ = State::Hunt;
        buffer_[++index_] = byte;
        ++statistics_.sentences;
        listener_.onSentence(std::span<const std::uint8_t>(buffer_.data(), index_ + 1));
        return true;
    default:  // Hunt, Payload and Sentence are taken in bulk by feed()
        return true;
    }
}

}  // namespace vexa
