#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>

#include "receiver/frames/frame_receiver.h"

namespace vexa {

// Why the receive path let a frame go without delivering it.
enum class DropReason : std::uint8_t {
    BadChecksum,
    BadLength,       // a length field out of range, or a payload whose length does not fit its id
    BadEndSequence,
    UnknownChannel,  // Osprey: a channel byte the program does not know
    UnknownId,
    UnprintableSentence,  // a sentence broken by a byte outside the printable class
    EmptySentence,        // "$" CR LF
    OverlongSentence,
};

// A refusal of the frame machine as a drop: a length field out of range (too long or zero) is a bad length.
DropReason DropReasonOf(FrameFault fault);
DropReason DropReasonOf(SentenceFault fault);

// Told of every frame the receive path drops, and why. For an unknown id the payload (id first)
// is valid during the call only; for the other reasons it is empty.
class DropListener {
public:
    virtual ~DropListener() = default;
    virtual void onDropped(DropReason reason, std::span<const std::uint8_t> payload) = 0;
};

// The dropped frames counted by reason, and the unknown ones also by id.
class DropTally {
public:
    void add(DropReason reason, int id = 0);
    std::uint64_t count(DropReason reason) const { return byReason_[static_cast<std::size_t>(reason)]; }
    std::uint64_t total() const;
    const std::map<int, std::uint64_t>& unknownIds() const { return unknownIds_; }

private:
    static constexpr std::size_t kReasons = static_cast<std::size_t>(DropReason::OverlongSentence) + 1;
    std::uint64_t byReason_[kReasons] = {};
    std::map<int, std::uint64_t> unknownIds_;
};

// " (bad checksum C, bad length L[, bad end E][, unknown channel U][, unknown MID 77: N]...
// [, unprintable sentence P][, empty sentence Y][, overlong sentence O])", the reasons that add up to
// the dropped count; empty when nothing was dropped.
std::string DropBreakdown(const DropTally& tally);

// One line for a frame of an unknown id: "Unknown MID 77, 5 bytes: 01 02 03 04 05", the bytes
// after the id in hex.
std::string UnknownFrameLine(std::span<const std::uint8_t> payload);

}  // namespace vexa
