#include "location/transport/serial_module.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include <termios.h>

#include "location/transport/communication_manager.h"
#include "platform/serial_device.h"

namespace vexa {

namespace {

// The device's time-outs: a read waits at most 10 ms per byte asked for; a write 100 ms per byte.
constexpr std::chrono::milliseconds kReadWait{10 * SerialModule::kReadBytes};
constexpr std::chrono::milliseconds kWritePerByte{100};
constexpr std::chrono::milliseconds kFailedReadPause{50};

std::string handleText(const char* format, int fd, int error = 0) {
    char text[80];
    std::snprintf(text, sizeof text, format, static_cast<unsigned>(fd), error);
    return text;
}

}  // namespace

SerialModule::SerialModule(CommunicationManager& manager, const ClientProfile& profile)
    : ReceivingTransport(manager, serialModuleFraming(), "Serial Module-> Error posting message - msg ignored"),
      devicePath_(profile.serialPort), baudRate_(profile.baudRate) {
    if (!wake_.valid()) manager_.reportError("SerialModule->Cannot create critical section");
}

SerialModule::~SerialModule() { close(); }

bool SerialModule::open() {
    if (fd_ >= 0) close();
    const int fd = OpenSerialDevice(devicePath_);
    if (fd < 0) {
        manager_.reportError(handleText("Serial connect:  Failed for port %x", fd));
        return false;
    }
    // Both failures are reported and the port is used as it is.
    termios state{};
    if (::tcgetattr(fd, &state) != 0) {
        manager_.reportError(handleText("Serial GetCommState:  Failed for port %x err:%d", fd, errno));
    }
    if (!ConfigureSerialDevice(fd, static_cast<int>(baudRate_))) {
        manager_.reportError(handleText("SetCommState:  Failed for port %x err:%d", fd, errno));
    }
    {
        std::lock_guard lock(mutex_);
        fd_ = fd;
        receiveRing_.clear();
        sendRing_.clear();
    }
    if (!startWorker("SerialModule:  Cannot create worker thread.")) {
        close();
        return false;
    }
    return true;
}

bool SerialModule::close() {
    stopWorker();
    std::lock_guard lock(mutex_);
    if (fd_ < 0) return false;
    CloseSerialDevice(fd_);
    fd_ = -1;
    return true;
}

void SerialModule::receiveLoop() {
    std::array<std::uint8_t, kReadBytes> buffer{};
    std::array<std::uint8_t, kReadBytes> taken{};
    while (running_) {
        const WakeEvent::Wait wait = wake_.waitReadable(fd_, kReadWait);
        if (wait == WakeEvent::Wait::Woken || wait == WakeEvent::Wait::TimedOut) continue;
        std::size_t count = 0;
        if (wait != WakeEvent::Wait::Readable ||
            ReadSerialDevice(fd_, buffer.data(), buffer.size(), count) != ReadOutcome::kBytes) {
            // A vanished device keeps reporting itself readable; pause as a failed read does.
            wake_.sleep(kFailedReadPause);
            continue;
        }
        std::lock_guard lock(mutex_);
        receiveRing_.append(std::span(buffer.data(), count));
        while (const std::size_t piece = receiveRing_.take(taken)) cut(std::span(taken.data(), piece));
    }
}

bool SerialModule::writePort(const std::uint8_t* bytes, std::size_t length) {
    return fd_ >= 0 && WriteSerialDevice(fd_, bytes, length, kWritePerByte * static_cast<long>(length));
}

bool SerialModule::write(const std::uint8_t* bytes, std::size_t length) {
    std::lock_guard lock(mutex_);
    std::array<std::uint8_t, kWritePiece> piece{};
    std::span<const std::uint8_t> rest(bytes, length);
    while (true) {
        rest = rest.subspan(sendRing_.append(rest));
        const std::size_t count = sendRing_.take(piece);
        if (count == 0) return true;
        if (!writePort(piece.data(), count)) {
            manager_.reportError("Failed to send serial message - cleared buffers ");
            sendRing_.clear();
            return false;
        }
    }
}

}  // namespace vexa
