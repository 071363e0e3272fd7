#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>

#include "platform/wake_event.h"

namespace vexa {

// Writes to a file, pipe, terminal or socket without ever blocking: each write takes what the
// stream takes at once. The stream's open file stays as other processes share it (the shell's
// terminal keeps its blocking mode): a pipe or a terminal is opened afresh for this writer, a
// socket is sent to without waiting, and files take everything anyway. A stream without a
// descriptor (a memory stream) is written through stdio, which never waits.
class StreamWriter {
public:
    // Flushes the stream; from then on its bytes go through this writer only.
    explicit StreamWriter(std::FILE* stream);
    ~StreamWriter();
    StreamWriter(const StreamWriter&) = delete;
    StreamWriter& operator=(const StreamWriter&) = delete;

    // The count of bytes the stream took now (0 when it is full), or -1 with errno on a failure
    // (EPIPE: nobody reads it any more).
    long WriteSome(const char* bytes, std::size_t size);
    // Waits until the stream takes more, `wake` (when given) is signalled, or `timeout` passes;
    // true when the stream may take more.
    bool WaitWritable(const WakeEvent* wake, std::chrono::milliseconds timeout) const;

private:
    enum class Kind { Stdio, Descriptor, Socket, Polled };

    std::FILE* stream_;
    Kind kind_ = Kind::Stdio;
    int fd_ = -1;
    bool ownDescriptor_ = false;
};

}  // namespace vexa
