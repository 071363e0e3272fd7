#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <thread>

#include "link/serial_port.h"

namespace vexa {

// Where the comm reader puts what it reads. Called on the reader thread only.
class ReceivedBytes {
public:
    virtual ~ReceivedBytes() = default;
    virtual void onBytes(std::span<const std::uint8_t> bytes) = 0;
    // Nothing is waiting: the reader is about to sleep.
    virtual void onIdle() = 0;
    // The source hung up or failed and the reader has closed it; told once per opening.
    virtual void onEnded() = 0;
};

// The comm reader thread: polls the serial port, hands every byte read to its consumer,
// sleeps between polls while nothing is waiting and reads again at once while data keeps coming.
// It runs whether or not the port is open; with the port closed every read finds nothing. A port
// whose device goes away is closed here and reported, so that it is not polled in vain.
class CommReader {
public:
    static constexpr std::chrono::milliseconds kIdleSleep{500};
    static constexpr std::size_t kReadSize = 1024;

    explicit CommReader(ReceivedBytes& consumer) : consumer_(consumer) {}
    ~CommReader() { Stop(); }
    CommReader(const CommReader&) = delete;
    CommReader& operator=(const CommReader&) = delete;

    // Takes a port object (closed) and starts the thread; kResultOk, or kResultNoResource.
    int Start();
    // Ends the thread without waiting out its sleep and gives the port object back.
    int Stop();

    bool Running() const { return running_.load(); }
    // Runs `action` between two chunks: every byte read before it has been handed on, and nothing
    // read before it is handed on after it. The action must not wait for the reader thread.
    template <typename Action>
    void BetweenChunks(Action&& action) {
        std::lock_guard chunk(chunkMutex_);
        action();
    }
    // The port object while the reader exists, else nullptr.
    SerialPort* Port() const { return port_; }

private:
    void Run();

    ReceivedBytes& consumer_;
    SerialPort* port_ = nullptr;
    std::atomic<bool> running_{false};
    std::mutex sleepMutex_;
    std::mutex chunkMutex_;  // held from each read until its bytes are handed on
    std::condition_variable wake_;
    std::thread thread_;
};

}  // namespace vexa
