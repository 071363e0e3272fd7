#include "platform/serial_device.h"

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vexa {

std::optional<speed_t> TermiosSpeed(int baud) {
    switch (baud) {
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: return std::nullopt;
    }
}

int OpenSerialDevice(const std::string& devicePath) {
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) {  // not a terminal
        const int notTerminal = errno;
        ::close(fd);
        errno = notTerminal;
        return -1;
    }
    // The port is not shared with other programs while the link has it.
    ::ioctl(fd, TIOCEXCL);
    return fd;
}

bool ConfigureSerialDevice(int fd, int baud) {
    const std::optional<speed_t> speed = TermiosSpeed(baud);
    if (!speed) {
        errno = EINVAL;
        return false;
    }
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) return false;
    settings.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    settings.c_oflag &= ~OPOST;
    settings.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    settings.c_cflag |= CS8 | CREAD | CLOCAL;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (::cfsetispeed(&settings, *speed) != 0 || ::cfsetospeed(&settings, *speed) != 0) return false;
    if (::tcsetattr(fd, TCSANOW, &settings) != 0) return false;
    // DTR and RTS stay low; devices without modem lines (pseudo-terminals) refuse this harmlessly.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &lines);
    return ::tcflush(fd, TCIFLUSH) == 0;
}

ReadOutcome ReadSerialDevice(int fd, std::uint8_t* buffer, std::size_t capacity, std::size_t& count) {
    count = 0;
    // One poll tells both whether bytes wait and whether the line hung up: a read alone cannot, as
    // a raw terminal with nothing waiting and one that hung up both read zero bytes. Every system
    // call counts here: this runs for every burst the receiver sends.
    pollfd device{fd, POLLIN, 0};
    if (::poll(&device, 1, 0) < 0) return errno == EINTR ? ReadOutcome::kNothing : ReadOutcome::kEnded;
    if ((device.revents & POLLNVAL) != 0) return ReadOutcome::kEnded;
    const bool hungUp = (device.revents & (POLLHUP | POLLERR)) != 0;
    if ((device.revents & POLLIN) == 0) return hungUp ? ReadOutcome::kEnded : ReadOutcome::kNothing;
    const ssize_t got = ::read(fd, buffer, capacity);
    if (got > 0) {
        count = static_cast<std::size_t>(got);
        return ReadOutcome::kBytes;
    }
    // Zero bytes from a terminal that said bytes were waiting is end of file; a terminal that hung
    // up may refuse the read (EIO).
    if (got == 0) return ReadOutcome::kEnded;
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? ReadOutcome::kNothing : ReadOutcome::kEnded;
}

std::chrono::milliseconds SerialWriteTimeout(std::size_t length) {
    return std::chrono::milliseconds(10 * static_cast<long long>(length) + 1000);
}

bool WriteSerialDevice(int fd, const std::uint8_t* bytes, std::size_t length, std::chrono::milliseconds timeout,
                       const Clock& clock) {
    const SteadyTime deadline = clock.SteadyNow() + timeout;
    std::size_t written = 0;
    while (written < length) {
        const ssize_t count = ::write(fd, bytes + written, length - written);
        if (count > 0) {
            written += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock.SteadyNow());
        if (left.count() <= 0) return false;
        pollfd writable{fd, POLLOUT, 0};
        if (::poll(&writable, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) return false;
    }
    return true;
}

bool CloseSerialDevice(int fd) {
    ::ioctl(fd, TIOCNXCL);
    ::tcflush(fd, TCIOFLUSH);
    return ::close(fd) == 0;
}

}  // namespace vexa
