#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <utility>

#include "link/sources/byte_source.h"

namespace vexa {

// The receiver's serial port, named by its device path (a USB adapter, an on-board UART, or the
// simulator's pseudo-terminal). Its speed is the program's to choose and it takes commands.
class SerialPort : public ByteSource {
public:
    explicit SerialPort(std::string devicePath) : devicePath_(std::move(devicePath)) {}
    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    LinkResult Open(int baud) override;
    std::string OpenProblem() const override;
    int OpenError() const override { return openError_; }

    ReadOutcome Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) override;
    WakeEvent::Wait WaitReadable(const WakeEvent& wake, std::chrono::milliseconds timeout) override;

    // A partial write is continued up to the write time-out.
    LinkResult Write(const std::uint8_t* bytes, std::size_t length) override;
    LinkResult Configure(int baud) override;
    LinkResult Close() override;

    bool IsOpen() const override { return handle_.load() >= 0; }
    const std::string& Name() const override { return devicePath_; }
    bool TakesCommands() const override { return true; }
    bool BaudChangeable() const override { return true; }

    int Baud() const { return baud_; }

private:
    std::atomic<int> handle_{-1};
    std::mutex writeLock_;
    // Held shared while a read, wait or write uses the descriptor and exclusively while it is
    // closed, so that a descriptor number is never used after the device it named was closed.
    std::shared_mutex inUse_;
    const std::string devicePath_;
    int baud_ = 0;
    int openError_ = 0;
};

}  // namespace vexa
