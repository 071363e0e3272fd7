#include "cli/capture_input.h"

#include <cerrno>

#include <poll.h>
#include <unistd.h>

namespace vexa {

std::size_t CaptureInput::Read(std::span<std::uint8_t> buffer) {
    if (stopped_ || error_ != 0) return 0;
    const int fd = ::fileno(input_);
    if (fd < 0 || stop_ == nullptr) {
        const std::size_t count = std::fread(buffer.data(), 1, buffer.size(), input_);
        if (count == 0 && std::ferror(input_) != 0) error_ = errno != 0 ? errno : EIO;
        return count;
    }
    for (;;) {
        if (!WaitForInput(fd)) return 0;
        const ssize_t count = ::read(fd, buffer.data(), buffer.size());
        if (count >= 0) return static_cast<std::size_t>(count);
        if (errno != EINTR && errno != EAGAIN) {
            error_ = errno;
            return 0;
        }
    }
}

bool CaptureInput::WaitForInput(int fd) {
    pollfd watched[2] = {{fd, POLLIN, 0}, {stop_->descriptor(), POLLIN, 0}};
    while (::poll(watched, 2, -1) < 0) {
        if (errno != EINTR) {
            error_ = errno;
            return false;
        }
    }
    stopped_ = watched[1].revents != 0;
    return !stopped_;
}

}  // namespace vexa
