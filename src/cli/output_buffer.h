#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "cli/stream_writer.h"
#include "platform/clock.h"
#include "platform/wake_event.h"

namespace vexa {

// Collects output lines in one large block and hands it to the stream in few writes, so a decode of
// millions of lines makes no stdio call per line. A stream that is slow to read is waited for; once
// `stop` (when given) is signalled, only for kStopGrace more: what the stream has not taken by then
// is dropped and counted, so that a signal ends the program even while its output is not read.
class OutputBuffer {
public:
    static constexpr std::chrono::milliseconds kStopGrace{500};
    static constexpr std::size_t kDefaultCapacity = 1 << 20;

    // The grace after the stop is measured on `clock`.
    explicit OutputBuffer(std::FILE* output, std::size_t capacity = kDefaultCapacity, const WakeEvent* stop = nullptr,
                          const Clock& clock = SystemClock());

    // Room for `size` more characters at the end (size at most the capacity); commit() what was used.
    char* reserve(std::size_t size);
    void commit(std::size_t size) { used_ += size; }
    void append(std::string_view text);
    // Writes what is collected and flushes the stream. False once any write has failed.
    bool flush();
    // The errno of the first failed write, 0 while none failed.
    int writeError() const { return writeError_; }
    // The bytes dropped after the stop because the stream did not take them in time.
    std::uint64_t droppedAfterStop() const { return droppedAfterStop_; }

private:
    void write();
    void fail();
    // Waits until the stream takes more; false once the grace after the stop has passed.
    bool waitForStream();

    StreamWriter writer_;
    const WakeEvent* stop_;
    const Clock& clock_;
    std::optional<SteadyTime> giveUpAt_;
    std::uint64_t droppedAfterStop_ = 0;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    int writeError_ = 0;
};

}  // namespace vexa
