#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "platform/serial_device.h"

namespace vexa::test {

// Appends what `fd` gives until `bytes` holds `wanted` bytes or `deadline` passes.
inline void ReadUntil(int fd, std::vector<std::uint8_t>& bytes, std::size_t wanted,
                      std::chrono::steady_clock::time_point deadline) {
    while (bytes.size() < wanted) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd readable{fd, POLLIN, 0};
        if (::poll(&readable, 1, static_cast<int>(left.count())) <= 0) continue;
        std::uint8_t chunk[4096];
        const ssize_t got = ::read(fd, chunk, std::min(sizeof chunk, wanted - bytes.size()));
        if (got > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    }
}

// A real pseudo-terminal: the link opens the slave by its path, the test plays the receiver
// on the master.
class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) throw std::runtime_error("no pty");
        slavePath_ = ::ptsname(master_);
        // Keep the slave side alive between the link's opens, and raw, so no byte is translated.
        keeper_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios raw{};
        ::tcgetattr(keeper_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(keeper_, TCSANOW, &raw);
    }
    ~PseudoTerminal() {
        CloseMaster();
        if (keeper_ >= 0) ::close(keeper_);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    int Master() const { return master_; }

    void Send(const std::vector<std::uint8_t>& bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t count = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (count > 0) done += static_cast<std::size_t>(count);
            else std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    void Send(const std::string& text) const { Send(std::vector<std::uint8_t>(text.begin(), text.end())); }

    // What the link wrote, collecting until `count` bytes came or `timeout` passed.
    std::vector<std::uint8_t> Receive(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const {
        std::vector<std::uint8_t> bytes;
        ReadUntil(master_, bytes, count, std::chrono::steady_clock::now() + timeout);
        return bytes;
    }

    // The speed the link set on the slave, as seen from the master.
    speed_t SlaveSpeed() const {
        termios settings{};
        ::tcgetattr(master_, &settings);
        return ::cfgetospeed(&settings);
    }

    // The receiver goes away: the slave side then reports an error on every read.
    void CloseMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }
    void CloseKeeper() {
        if (keeper_ >= 0) ::close(keeper_);
        keeper_ = -1;
    }

private:
    int master_ = -1;
    int keeper_ = -1;
    std::string slavePath_;
};

// A program on the slave side of a pseudo-terminal that someone else drives (the simulator), as a
// serial port user would be.
class PtyPeer {
public:
    PtyPeer(const std::string& path, int baud) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        if (fd_ < 0) throw std::runtime_error("cannot open " + path);
        setBaud(baud);
    }
    ~PtyPeer() { ::close(fd_); }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    void setBaud(int baud) {
        termios settings{};
        tcgetattr(fd_, &settings);
        cfmakeraw(&settings);
        cfsetspeed(&settings, TermiosSpeed(baud).value());
        tcsetattr(fd_, TCSANOW, &settings);
    }

    void send(std::span<const std::uint8_t> bytes) {
        if (::write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
            throw std::runtime_error("short write to the pseudo-terminal");
        }
    }

    // Reads until `total` bytes have arrived since the peer opened, or two seconds pass.
    std::vector<std::uint8_t> readUntilTotal(std::uint64_t total) {
        std::vector<std::uint8_t> bytes;
        if (received_ < total) {
            ReadUntil(fd_, bytes, static_cast<std::size_t>(total - received_),
                      std::chrono::steady_clock::now() + std::chrono::seconds(2));
        }
        received_ += bytes.size();
        return bytes;
    }

private:
    int fd_;
    std::uint64_t received_ = 0;
};

}  // namespace vexa::test
