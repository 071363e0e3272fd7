#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace vexa::test {

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
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (bytes.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            pollfd readable{master_, POLLIN, 0};
            if (::poll(&readable, 1, static_cast<int>(left.count())) <= 0) continue;
            std::uint8_t chunk[4096];
            const ssize_t got = ::read(master_, chunk, std::min(sizeof chunk, count - bytes.size()));
            if (got > 0) bytes.insert(bytes.end(), chunk, chunk + got);
        }
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

}  // namespace vexa::test
