#include "cli/output_buffer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vexa {

OutputBuffer::OutputBuffer(std::FILE* output, std::size_t capacity) : output_(output), buffer_(capacity) {}

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
    errno = 0;
    if (std::fflush(output_) != 0) fail();
    return writeError_ == 0;
}

void OutputBuffer::write() {
    // After a failed write the rest is dropped rather than retried: the stream is not coming back.
    errno = 0;
    if (writeError_ == 0 && used_ > 0 && std::fwrite(buffer_.data(), 1, used_, output_) != used_) fail();
    used_ = 0;
}

void OutputBuffer::fail() {
    if (writeError_ == 0) writeError_ = errno != 0 ? errno : EIO;
}

}  // namespace vexa
