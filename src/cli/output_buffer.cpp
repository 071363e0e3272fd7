#include "cli/output_buffer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace vexa {

namespace {

constexpr std::chrono::milliseconds kLongestWait{1000};

}  // namespace

OutputBuffer::OutputBuffer(std::FILE* output, std::size_t capacity, const WakeEvent* stop, const Clock& clock)
    : writer_(output), stop_(stop), clock_(clock), buffer_(capacity) {}

char* OutputBuffer::reserve(std::size_t size) {
    if (buffer_.size() - used_ < size) write();
    return buffer_.data() + used_;
}

void OutputBuffer::append(std::string_view text) {
    while (!text.empty()) {
        const std::size_t part = std::min(text.size(), buffer_.size());
        std::memcpy(reserve(part), text.data(), part);
        commit(part);
        text.remove_prefix(part);
    }
}

bool OutputBuffer::flush() {
    write();
    return writeError_ == 0;
}

void OutputBuffer::write() {
    // After a failed write the rest is dropped rather than retried: the stream is not coming back.
    std::size_t written = 0;
    while (writeError_ == 0 && written < used_) {
        errno = 0;
        const long count = writer_.WriteSome(buffer_.data() + written, used_ - written);
        if (count < 0) {
            fail();
        } else if (count > 0) {
            written += static_cast<std::size_t>(count);
        } else if (!waitForStream()) {
            droppedAfterStop_ += used_ - written;
            break;
        }
    }
    used_ = 0;
}

bool OutputBuffer::waitForStream() {
    if (stop_ == nullptr || !stop_->signalled()) {
        writer_.WaitWritable(stop_, kLongestWait);
        return true;
    }
    const SteadyTime now = clock_.SteadyNow();
    if (!giveUpAt_) giveUpAt_ = now + kStopGrace;
    if (now >= *giveUpAt_) return false;
    writer_.WaitWritable(nullptr, std::chrono::ceil<std::chrono::milliseconds>(*giveUpAt_ - now));
    return true;
}

void OutputBuffer::fail() {
    if (writeError_ == 0) writeError_ = errno != 0 ? errno : EIO;
}

}  // namespace vexa
