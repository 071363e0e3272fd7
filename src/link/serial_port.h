#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <shared_mutex>
#include <string>

#include "platform/read_outcome.h"

namespace vexa {

// The receiver's serial port, named by its device path. Each operation gives kResultOk or
// kResultCommFailure. Reads come from the comm reader thread only; writes from any thread,
// made atomic with respect to each other by the port's write lock.
class SerialPort {
public:
    // Binds the port to its write lock (from the lock pool); the port starts closed.
    void Reset(std::mutex* writeLock);

    int Open(const std::string& devicePath, int baud);
    // The system's error number of the last Open that failed; 0 after one that succeeded.
    int OpenError() const { return openError_; }
    // Changes the speed of the open port and discards what was waiting to be read.
    int Configure(int baud);
    // Reads up to `capacity` of the bytes waiting. kNothing when nothing waits or the port is
    // closed; kEnded when the device hung up or failed (it stays open until closed).
    ReadOutcome Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count);
    // Writes every byte or fails (a partial write is continued up to the write time-out).
    int Write(const std::uint8_t* bytes, std::size_t length);
    int Close();

    bool IsOpen() const { return handle_.load() >= 0; }
    const std::string& DevicePath() const { return devicePath_; }
    int Baud() const { return baud_; }
    std::mutex* WriteLock() const { return writeLock_; }

private:
    std::atomic<int> handle_{-1};
    std::mutex* writeLock_ = nullptr;
    // Held shared while a read or write uses the descriptor and exclusively while it is closed,
    // so that a descriptor number is never used after the device it named was closed.
    std::shared_mutex inUse_;
    std::string devicePath_;
    int baud_ = 0;
    int openError_ = 0;
};

// The link's table of 48 port objects. A port taken is closed and carries a write lock from
// the lock pool; nullptr when no port object or no lock is left.
inline constexpr int kPortTableSize = 48;
SerialPort* TakePort();
void GiveBackPort(SerialPort* port);

}  // namespace vexa
