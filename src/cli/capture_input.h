#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>

#include "platform/wake_event.h"

namespace vexa {

// Reads a capture in chunks from a file, a pipe or a terminal. A wait for more input ends as soon as
// `stop` (when given) is signalled, so that a signal ends a decode of an input that is still open.
class CaptureInput {
public:
    CaptureInput(std::FILE* input, const WakeEvent* stop) : input_(input), stop_(stop) {}

    // Fills `buffer` with what comes next; 0 at the end of the input, after a failure and once stopped.
    std::size_t Read(std::span<std::uint8_t> buffer);
    bool Stopped() const { return stopped_; }
    // The errno of a failed read, 0 while none failed.
    int Error() const { return error_; }

private:
    bool WaitForInput(int fd);

    std::FILE* input_;
    const WakeEvent* stop_;
    bool stopped_ = false;
    int error_ = 0;
};

}  // namespace vexa
