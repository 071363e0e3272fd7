#include "link/ports/port_watch.h"

#include <cstddef>

#include <sys/inotify.h>
#include <unistd.h>

namespace vexa {

PortWatch::PortWatch(const std::filesystem::path& devRoot) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ < 0) return;
    watch_ = ::inotify_add_watch(fd_, devRoot.c_str(), IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO);
}

PortWatch::~PortWatch() {
    if (fd_ >= 0) ::close(fd_);
}

bool PortWatch::Changed() {
    if (fd_ < 0) return false;
    bool changed = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t length = ::read(fd_, buffer, sizeof buffer);
        if (length <= 0) return changed;
        for (std::size_t at = 0; at < static_cast<std::size_t>(length);) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            // An overflowed queue lost notices: the set may have changed.
            if (event->mask & (IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_Q_OVERFLOW)) changed = true;
            at += sizeof(inotify_event) + event->len;
        }
    }
}

}  // namespace vexa
