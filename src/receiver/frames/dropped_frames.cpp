#include "receiver/frames/dropped_frames.h"

#include <numeric>
#include <utility>

namespace vexa {

DropReason DropReasonOf(FrameFault fault) {
    switch (fault) {
    case FrameFault::TooLong:
    case FrameFault::Empty: return DropReason::BadLength;
    case FrameFault::BadChecksum: return DropReason::BadChecksum;
    case FrameFault::BadEnd1:
    case FrameFault::BadEnd2: break;
    }
    return DropReason::BadEndSequence;
}

DropReason DropReasonOf(SentenceFault fault) {
    switch (fault) {
    case SentenceFault::Empty: return DropReason::EmptySentence;
    case SentenceFault::TooLong: return DropReason::OverlongSentence;
    case SentenceFault::Unprintable: break;
    }
    return DropReason::UnprintableSentence;
}

void DropTally::add(DropReason reason, int id) {
    ++byReason_[static_cast<std::size_t>(reason)];
    if (reason == DropReason::UnknownId) ++unknownIds_[id];
}

std::uint64_t DropTally::total() const {
    return std::accumulate(std::begin(byReason_), std::end(byReason_), std::uint64_t{0});
}

std::string DropBreakdown(const DropTally& tally) {
    if (tally.total() == 0) return {};
    std::string text = " (bad checksum " + std::to_string(tally.count(DropReason::BadChecksum)) + ", bad length " +
                       std::to_string(tally.count(DropReason::BadLength));
    if (const auto ends = tally.count(DropReason::BadEndSequence); ends > 0) text += ", bad end " + std::to_string(ends);
    if (const auto channels = tally.count(DropReason::UnknownChannel); channels > 0) {
        text += ", unknown channel " + std::to_string(channels);
    }
    for (const auto& [id, count] : tally.unknownIds()) {
        text += ", unknown MID " + std::to_string(id) + ": " + std::to_string(count);
    }
    const std::pair<DropReason, const char*> sentences[] = {{DropReason::UnprintableSentence, ", unprintable sentence "},
                                                            {DropReason::EmptySentence, ", empty sentence "},
                                                            {DropReason::OverlongSentence, ", overlong sentence "}};
    for (const auto& [reason, name] : sentences) {
        if (const auto count = tally.count(reason); count > 0) text += name + std::to_string(count);
    }
    text += ')';
    return text;
}

std::string UnknownFrameLine(std::span<const std::uint8_t> payload) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    if (payload.empty()) return "Unknown MID, 0 bytes";
    const std::span<const std::uint8_t> body = payload.subspan(1);
    std::string line = "Unknown MID " + std::to_string(payload[0]) + ", " + std::to_string(body.size()) +
                       (body.size() == 1 ? " byte" : " bytes");
    if (body.empty()) return line;
    line.reserve(line.size() + 1 + 3 * body.size());
    line += ':';
    for (std::uint8_t byte : body) {
        line += ' ';
        line += kHexDigits[byte >> 4];
        line += kHexDigits[byte & 0x0F];
    }
    return line;
}

}  // namespace vexa
