#include "sim/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "sim/baud_rate.h"

namespace vexa::sim {
namespace {

[[noreturn]] void ThrowSystemError(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

PseudoTerminal::PseudoTerminal(int initialBaud) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0) ThrowSystemError("posix_openpt");
    char name[128];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name) != 0) {
        const int error = errno;
        ::close(master_);
        throw std::system_error(error, std::generic_category(), "pseudo-terminal slave");
    }
    slavePath_ = name;

    // A raw line: no echo of the receiver's output back to itself, no translation of CR or LF.
    termios settings{};
    tcgetattr(master_, &settings);
    cfmakeraw(&settings);
    if (const auto speed = SpeedOfBaud(initialBaud)) cfsetspeed(&settings, *speed);
    tcsetattr(master_, TCSANOW, &settings);

    // Opening and closing the slave once puts the master in the hung-up state that tells the
    // receiver nobody listens until a program opens the slave.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave >= 0) ::close(slave);
}

PseudoTerminal::~PseudoTerminal() {
    LetThePeerReadWhatWasSent();
    ::close(master_);
}

// Bytes the program has not read yet are lost when the master closes: the program is given up to a
// second to read what was sent, so that what the simulator counts as sent was there to be read.
void PseudoTerminal::LetThePeerReadWhatWasSent() const {
    if (!peerPresent()) return;
    constexpr int kStepMicroseconds = 10'000;
    const int slave = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    // A program holding its port for itself (TIOCEXCL) leaves no way to see what it has not read:
    // it gets a moment, far longer than a reader that keeps up needs.
    if (slave < 0) {
        ::usleep(20 * kStepMicroseconds);
        return;
    }
    for (int waited = 0; waited < 1'000'000; waited += kStepMicroseconds) {
        int unread = 0;
        if (::ioctl(slave, FIONREAD, &unread) != 0 || unread == 0) break;
        ::usleep(kStepMicroseconds);
    }
    ::close(slave);
}

int PseudoTerminal::peerBaud() const {
    termios settings{};
    if (tcgetattr(master_, &settings) != 0) return 0;
    const speed_t input = cfgetispeed(&settings);
    return BaudOfSpeed(input != B0 ? input : cfgetospeed(&settings));
}

bool PseudoTerminal::peerPresent() const {
    pollfd descriptor{master_, POLLIN, 0};
    return ::poll(&descriptor, 1, 0) <= 0 || (descriptor.revents & POLLHUP) == 0;
}

bool PseudoTerminal::waitReadable(int timeoutMs) const {
    pollfd descriptor{master_, POLLIN, 0};
    return ::poll(&descriptor, 1, timeoutMs) > 0 && (descriptor.revents & POLLIN) != 0;
}

std::size_t PseudoTerminal::read(std::span<std::uint8_t> buffer) {
    const ssize_t count = ::read(master_, buffer.data(), buffer.size());
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

std::size_t PseudoTerminal::write(std::span<const std::uint8_t> bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(master_, bytes.data() + written, bytes.size() - written);
        if (count > 0) {
            written += static_cast<std::size_t>(count);
        } else if (count < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    return written;
}

}  // namespace vexa::sim
