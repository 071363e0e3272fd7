#include "cli/stream_writer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexa {

StreamWriter::StreamWriter(std::FILE* stream) : stream_(stream) {
    std::fflush(stream);
    const int fd = ::fileno(stream);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0) return;
    fd_ = fd;
    kind_ = Kind::Descriptor;
    if (S_ISSOCK(status.st_mode)) {
        kind_ = Kind::Socket;
    } else if (S_ISFIFO(status.st_mode) || ::isatty(fd)) {
        // An open file of our own, so that its non-blocking mode is ours alone.
        const std::string path = "/proc/self/fd/" + std::to_string(fd);
        const int own = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (own >= 0) {
            fd_ = own;
            ownDescriptor_ = true;
        } else {
            kind_ = Kind::Polled;
        }
    }
}

StreamWriter::~StreamWriter() {
    if (ownDescriptor_) ::close(fd_);
}

long StreamWriter::WriteSome(const char* bytes, std::size_t size) {
    if (size == 0) return 0;
    if (kind_ == Kind::Stdio) {
        errno = 0;
        if (std::fwrite(bytes, 1, size, stream_) != size || std::fflush(stream_) != 0) {
            if (errno == 0) errno = EIO;
            return -1;
        }
        return static_cast<long>(size);
    }
    if (kind_ == Kind::Polled) {
        // Without a descriptor of our own, only what a pipe takes at once is written.
        pollfd writable{fd_, POLLOUT, 0};
        if (::poll(&writable, 1, 0) != 1 || (writable.revents & POLLOUT) == 0) return 0;
        size = std::min<std::size_t>(size, PIPE_BUF);
    }
    for (;;) {
        const ssize_t written = kind_ == Kind::Socket ? ::send(fd_, bytes, size, MSG_DONTWAIT | MSG_NOSIGNAL)
                                                       : ::write(fd_, bytes, size);
        if (written >= 0) return static_cast<long>(written);
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

bool StreamWriter::WaitWritable(const WakeEvent* wake, std::chrono::milliseconds timeout) const {
    if (kind_ == Kind::Stdio) return true;
    pollfd watched[2] = {{fd_, POLLOUT, 0}, {wake != nullptr ? wake->descriptor() : -1, POLLIN, 0}};
    if (::poll(watched, 2, static_cast<int>(timeout.count())) <= 0) return false;
    return watched[0].revents != 0;
}

}  // namespace vexa
