#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <thread>

#include "link/sources/byte_source.h"
#include "platform/result_codes.h"
#include "platform/wake_event.h"

namespace vexa {

// Where the comm reader puts what it reads. Called on the reader thread only.
class ReceivedBytes {
public:
    virtual ~ReceivedBytes() = default;
    virtual void onBytes(std::span<const std::uint8_t> bytes) = 0;
    // Nothing is waiting on the source: the reader is about to wait for more. Not told while the
    // reader has no source.
    virtual void onIdle() = 0;
    // The source hung up or failed and the reader has closed it; told once per opening.
    virtual void onEnded() = 0;
};

// The comm reader thread: waits until its byte source has something (or is woken), hands every
// byte read to its consumer, and reads again at once while data keeps coming. It runs whether or
// not it has a source and whether or not that is open; a closed source is waited on in vain until
// it is opened or replaced. A source that ends is closed here and reported, so that it is not
// waited on in vain.
class CommReader {
public:
    // How long one wait lasts when neither bytes nor a wake come: the consumer hears onIdle at
    // least this often.
    static constexpr std::chrono::milliseconds kIdleWait{500};
    static constexpr std::size_t kReadSize = 1024;

    explicit CommReader(ReceivedBytes& consumer) : consumer_(consumer) {}
    ~CommReader() { (void)Stop(); }  // nothing is left to tell of a thread that cannot be joined
    CommReader(const CommReader&) = delete;
    CommReader& operator=(const CommReader&) = delete;

    // Starts the thread; kResultOk, or kResultNoResource when no thread can be had.
    LinkResult Start();
    // Ends the thread at once, without waiting out a wait.
    LinkResult Stop();

    bool Running() const { return running_.load(); }

    // Runs `action` between two chunks: every byte read before it has been handed on, and nothing
    // read before it is handed on after it; the reader is not using its source meanwhile, so the
    // action may open, close, configure or replace it. The action must not wait for the reader thread.
    template <typename Action>
    void BetweenChunks(Action&& action) {
        ++chunkRequests_;
        wake_.signal();
        std::lock_guard chunk(chunkMutex_);
        --chunkRequests_;
        action();
    }
    // Between chunks only: the source to read from from now on (nullptr: none). The caller owns it.
    void UseSource(ByteSource* source) { source_ = source; }

private:
    void Run();
    // Hands on chunk after chunk until nothing more is waiting or the source has ended; false
    // when there is no source.
    bool ReadWhileWaiting(std::uint8_t* buffer);
    // Waits on the source (or on the wake alone) until it has bytes, is woken or kIdleWait passes.
    void WaitForMore();
    void LetWaitingActionsIn();

    ReceivedBytes& consumer_;
    ByteSource* source_ = nullptr;  // changed and used only under chunkMutex_
    std::atomic<bool> running_{false};
    std::atomic<int> chunkRequests_{0};
    WakeEvent wake_;
    bool lastWaitFoundBytes_ = false;  // reader thread only
    std::mutex chunkMutex_;  // held by the reader while it reads, hands on and waits
    std::thread thread_;
};

}  // namespace vexa
