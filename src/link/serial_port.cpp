#include "link/serial_port.h"

#include <cerrno>

#include "platform/lock_pool.h"
#include "platform/result_codes.h"
#include "platform/serial_device.h"
#include "platform/slot_table.h"

namespace vexa {

void SerialPort::Reset(std::mutex* writeLock) {
    handle_ = -1;
    writeLock_ = writeLock;
    devicePath_.clear();
    baud_ = 0;
    openError_ = 0;
}

int SerialPort::Open(const std::string& devicePath, int baud) {
    devicePath_ = devicePath;
    baud_ = baud;
    if (IsOpen()) Close();  // a second open replaces the first instead of leaking it
    const int fd = OpenSerialDevice(devicePath);
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

int SerialPort::Configure(int baud) {
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

int SerialPort::Write(const std::uint8_t* bytes, std::size_t length) {
    if (!IsOpen()) return kResultCommFailure;
    std::lock_guard serialised(*writeLock_);
    std::shared_lock shared(inUse_);
    const int fd = handle_.load();
    if (fd < 0) return kResultCommFailure;
    return WriteSerialDevice(fd, bytes, length, SerialWriteTimeout(length)) ? kResultOk : kResultCommFailure;
}

int SerialPort::Close() {
    // Marked closed first, so that reads and writes starting now fail without touching the device.
    const int fd = handle_.exchange(-1);
    if (fd < 0) return kResultCommFailure;
    std::unique_lock exclusive(inUse_);
    return CloseSerialDevice(fd) ? kResultOk : kResultCommFailure;
}

namespace {

SlotTable<SerialPort, kPortTableSize>& Ports() {
    static SlotTable<SerialPort, kPortTableSize> ports;
    return ports;
}

}  // namespace

SerialPort* TakePort() {
    SerialPort* port = Ports().take();
    if (port == nullptr) return nullptr;
    std::mutex* lock = TakeLock();
    if (lock == nullptr) {
        Ports().giveBack(port);
        return nullptr;
    }
    port->Reset(lock);
    return port;
}

void GiveBackPort(SerialPort* port) {
    if (port == nullptr) return;
    if (port->IsOpen()) port->Close();
    GiveBackLock(port->WriteLock());
    port->Reset(nullptr);
    Ports().giveBack(port);
}

}  // namespace vexa
