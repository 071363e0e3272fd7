#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vexa {

// Told of every chunk the comm reader reads, unchanged and before it is decoded, and of each pause
// of the receiver; on the comm reader thread, without the model lock. Each call gives an empty text,
// or a problem the link shows (MessageToShow).
class ReadBytesListener {
public:
    virtual ~ReadBytesListener() = default;
    virtual std::string onBytesRead(std::span<const std::uint8_t> bytes) = 0;
    virtual std::string onReaderIdle() = 0;
};

// Told of the lines a data log keeps: each delivered message rendered as text, the link's own
// remarks, and each pause of the receiver; on the comm reader thread (or the caller of Receive or
// Send) with the model lock held. Each call gives an empty text, or a problem the link shows.
class LogLineListener {
public:
    virtual ~LogLineListener() = default;
    // Messages are rendered only while some listener wants lines.
    virtual bool wantsLines() const = 0;
    // One line, without its line end.
    virtual std::string onLogLine(std::string_view line) = 0;
    virtual std::string onReaderIdle() = 0;
};

}  // namespace vexa
