#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string_view>
#include <vector>

#include "cli/stream_writer.h"
#include "platform/clock.h"

namespace vexa {

// Lines for a stream that must never hold the program up (the live front end's standard output and
// error): they gather in a buffer of fixed size and go out whenever the stream takes them, without
// waiting. A line that finds the buffer full is dropped and counted, so a reader that does not keep
// up costs lines, never memory, and never keeps the program from a signal or its time limit.
// Every line is written with visible escapes (VisibleText). Several writers (the sources of a run)
// may share the stream: each has a queue of an equal share of the capacity, and the queues take
// turns at the stream a whole line at least at a time, so a writer that floods loses its own lines,
// never holds up another's, and no line is ever cut by another's. Write may come from any thread;
// Pump and Drain from one.
class LineOutput {
public:
    static constexpr std::size_t kCapacity = 4 << 20;

    // `waiting` is called when lines arrive in an empty buffer (on the writing thread), so that the
    // owner knows to pump. Drain's deadlines are on `clock`.
    explicit LineOutput(std::FILE* stream, std::function<void()> waiting = {}, std::size_t capacity = kCapacity,
                        const Clock& clock = SystemClock());

    // A writer of its own, for Write and DroppedLines; take them all before the first line.
    std::size_t AddWriter();
    void Write(std::size_t writer, std::string_view line);
    // Hands the stream what it takes now.
    void Pump();
    bool Pending() const;
    // Pumps, waiting for the stream, until nothing is left or `deadline` passes; what is left then
    // is dropped and counted. True when everything went out.
    bool Drain(SteadyTime deadline);

    std::uint64_t DroppedLines(std::size_t writer) const;
    // The errno of the first failed write (EPIPE: nobody reads the stream any more), 0 while none
    // failed. Lines after it are dropped.
    int WriteError() const;

private:
    struct WriterQueue {
        std::vector<char> bytes;
        std::size_t start = 0;  // the first byte not yet written
        std::uint64_t dropped = 0;
    };

    void PumpLocked();
    // Counts what is left in the queues as dropped, each line to its writer, and empties them.
    void DropPendingLocked();

    StreamWriter writer_;
    const Clock& clock_;
    std::function<void()> waiting_;
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::vector<WriterQueue> writers_;
    std::size_t pending_ = 0;   // bytes in all queues not yet written
    std::size_t turn_ = 0;      // the queue whose bytes go out next
    bool midLine_ = false;      // the stream took part of a line of turn_: its rest goes out first
    int writeError_ = 0;
};

}  // namespace vexa
