#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

namespace vexa {

// The receiver's transmit queue and the serial line behind it: ten bit times per byte at the current baud.
// Whole messages that do not fit in about two seconds of line time are dropped, as a receiver that
// produces more than its baud rate can carry loses them.
class LinePacer {
public:
    explicit LinePacer(int baud);

    int baud() const { return baud_; }
    void setBaud(int baud);

    bool enqueue(std::span<const std::uint8_t> message);
    void clear();
    std::size_t queued() const { return queue_.size(); }

    // The bytes the line carries while `elapsed` passes.
    std::vector<std::uint8_t> advance(std::chrono::microseconds elapsed);
    // How long until the line can carry the next queued byte; zero when nothing is queued.
    std::chrono::microseconds untilNextByte() const;

private:
    std::size_t capacity() const;

    int baud_;
    std::deque<std::uint8_t> queue_;
    std::int64_t credit_ = 0;  // in bit·microseconds: elapsed microseconds times baud
};

}  // namespace vexa
