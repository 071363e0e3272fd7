#include "link/sources/serial_port.h"

#include <cerrno>
#include <cstring>

#include "platform/serial_device.h"

namespace vexa {

SerialPort::~SerialPort() {
    if (IsOpen()) (void)Close();  // nothing is left to tell of a failed close
}

LinkResult SerialPort::Open(int baud) {
    baud_ = baud;
    if (IsOpen()) (void)Close();  // a second open replaces the first; a failed close has nothing to keep
    const int fd = OpenSerialDevice(devicePath_);
    if (fd < 0) {
        openError_ = errno;
        return kResultCommFailure;
    }
    if (!ConfigureSerialDevice(fd, baud)) {
        openError_ = errno;
        CloseSerialDevice(fd);
        return kResultCommFailure;
    }
    openError_ = 0;
    std::unique_lock exclusive(inUse_);
    handle_ = fd;
    return kResultOk;
}

std::string SerialPort::OpenProblem() const {
    if (openError_ == 0) return {};
    return devicePath_ + ": " + std::strerror(openError_);
}

LinkResult SerialPort::Configure(int baud) {
    std::shared_lock shared(inUse_);
    const int fd = handle_.load();
    if (fd < 0 || !ConfigureSerialDevice(fd, baud)) return kResultCommFailure;
    baud_ = baud;
    return kResultOk;
}

ReadOutcome SerialPort::Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) {
    count = 0;
    if (!IsOpen()) return ReadOutcome::kNothing;
    std::shared_lock shared(inUse_);
    const int fd = handle_.load();
    if (fd < 0) return ReadOutcome::kNothing;
    return ReadSerialDevice(fd, buffer, capacity, count);
}

WakeEvent::Wait SerialPort::WaitReadable(const WakeEvent& wake, std::chrono::milliseconds timeout) {
    std::shared_lock shared(inUse_);
    return wake.waitReadable(handle_.load(), timeout);
}

LinkResult SerialPort::Write(const std::uint8_t* bytes, std::size_t length) {
    if (!IsOpen()) return kResultCommFailure;
    std::lock_guard serialised(writeLock_);
    std::shared_lock shared(inUse_);
    const int fd = handle_.load();
    if (fd < 0) return kResultCommFailure;
    return WriteSerialDevice(fd, bytes, length, SerialWriteTimeout(length)) ? kResultOk : kResultCommFailure;
}

LinkResult SerialPort::Close() {
    // Marked closed first, so that reads and writes starting now fail without touching the device.
    const int fd = handle_.exchange(-1);
    if (fd < 0) return kResultCommFailure;
    std::unique_lock exclusive(inUse_);
    return CloseSerialDevice(fd) ? kResultOk : kResultCommFailure;
}

}  // namespace vexa
