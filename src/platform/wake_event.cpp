#include "platform/wake_event.h"

#include <cerrno>
#include <cstdint>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace vexa {

WakeEvent::WakeEvent() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

WakeEvent::~WakeEvent() {
    if (fd_ >= 0) ::close(fd_);
}

void WakeEvent::signal() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(fd_, &one, sizeof one);
}

void WakeEvent::clear() {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(fd_, &count, sizeof count);
}

WakeEvent::Wait WakeEvent::waitReadable(int fd, std::chrono::milliseconds timeout) const {
    pollfd watched[2] = {{fd_, POLLIN, 0}, {fd, POLLIN, 0}};
    const nfds_t count = fd >= 0 ? 2 : 1;
    const int ready = ::poll(watched, count, static_cast<int>(timeout.count()));
    if (ready < 0) return errno == EINTR ? Wait::TimedOut : Wait::Failed;
    if (watched[0].revents != 0) return Wait::Woken;
    if (ready == 0) return Wait::TimedOut;
    return Wait::Readable;
}

bool WakeEvent::sleep(std::chrono::milliseconds timeout) const {
    return waitReadable(-1, timeout) != Wait::Woken;
}

}  // namespace vexa
