#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string_view>
#include <vector>

#include "cli/stream_writer.h"

namespace vexa {

// Lines for a stream that must never hold the program up (the live front end's standard output and
// error): they gather in a buffer of fixed size and go out whenever the stream takes them, without
// waiting. A line that finds the buffer full is dropped and counted, so a reader that does not keep
// up costs lines, never memory, and never keeps the program from a signal or its time limit.
// Every line is written with visible escapes (VisibleText). Write may come from any thread; Pump
// and Drain from one.
class LineOutput {
public:
    static constexpr std::size_t kCapacity = 4 << 20;

    // `waiting` is called when lines arrive in an empty buffer (on the writing thread), so that the
    // owner knows to pump.
    explicit LineOutput(std::FILE* stream, std::function<void()> waiting = {}, std::size_t capacity = kCapacity);

    void Write(std::string_view line);
    // Hands the stream what it takes now.
    void Pump();
    bool Pending() const;
    // Pumps, waiting for the stream, until nothing is left or `deadline` passes; what is left then
    // is dropped and counted. True when everything went out.
    bool Drain(std::chrono::steady_clock::time_point deadline);

    std::uint64_t DroppedLines() const;
    // The errno of the first failed write (EPIPE: nobody reads the stream any more), 0 while none
    // failed. Lines after it are dropped.
    int WriteError() const;

private:
    void PumpLocked();

    StreamWriter writer_;
    std::function<void()> waiting_;
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::vector<char> buffer_;
    std::size_t start_ = 0;  // the first byte not yet written
    std::size_t lines_ = 0;  // the line ends not yet written
    std::uint64_t dropped_ = 0;
    int writeError_ = 0;
};

}  // namespace vexa
