#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vexa {

// Separates gpsd's own reply lines from the receiver's bytes in a raw-mode watch stream.
//
// In raw mode gpsd sends the receiver's packets unchanged and, between whole packets, its own JSON
// objects, one per line: VERSION, DEVICES and WATCH at the start, DEVICE when a receiver comes, goes
// or is identified, ERROR for a request it refuses. Every one begins with {"class":" and ends with a
// line feed. Neither NMEA nor the framed binary protocol puts that exact prefix in a packet by
// chance, so the filter takes each such line out wherever it starts and passes every other byte on
// in order. A line longer than any reply gpsd writes was not a reply: its bytes are passed on.
class GpsdReplyFilter {
public:
    static constexpr std::size_t kMaxReplyBytes = 65536;

    // Appends the receiver's bytes of `chunk` to `receiverBytes`. Bytes that may begin a reply are
    // held until the next chunk tells.
    void Feed(std::span<const std::uint8_t> chunk, std::vector<std::uint8_t>& receiverBytes);
    // The complete reply lines since the last call, without their line ends.
    std::vector<std::string> TakeReplies();

private:
    void Scan(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& receiverBytes);
    // Continues a reply line; the bytes after its end.
    std::span<const std::uint8_t> ContinueReply(std::span<const std::uint8_t> bytes,
                                                 std::vector<std::uint8_t>& receiverBytes);

    bool inReply_ = false;
    std::string reply_;
    std::vector<std::uint8_t> held_;     // a possible beginning of a reply at the end of the last chunk
    std::vector<std::uint8_t> joined_;   // held bytes followed by the new chunk
    std::vector<std::string> replies_;
};

}  // namespace vexa
