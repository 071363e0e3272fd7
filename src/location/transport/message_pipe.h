#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "location/messages/message.h"

namespace vexa {

// Carries received messages from the transport threads to the call processor thread: 32 slots,
// first in first out. The pipe owns the messages it holds.
class MessagePipe {
public:
    static constexpr std::size_t kSlots = 32;

    // Stores the message unless all slots are taken (then it is released). Returns the count held.
    std::size_t put(std::unique_ptr<Message> message);
    // The oldest message, or null when the pipe is empty.
    std::unique_ptr<Message> take();
    // Waits at most timeout for a message when the pipe is empty, or until interrupted.
    std::unique_ptr<Message> waitTake(std::chrono::milliseconds timeout);
    // Ends the current or next wait at once (the reader is stopping).
    void interruptWait();
    // Releases every held message.
    void flush();

    std::size_t count() const;
    // Whether a message of the channel waits in the pipe.
    bool holds(std::uint8_t channel) const;
    std::size_t readIndex() const;
    std::size_t writeIndex() const;
    // True exactly while the pipe holds a message.
    bool signalled() const { return count() > 0; }

private:
    std::unique_ptr<Message> takeLocked();

    mutable std::mutex mutex_;
    std::condition_variable filled_;
    std::array<std::unique_ptr<Message>, kSlots> slots_;
    std::size_t count_ = 0;
    std::size_t readIndex_ = 0;
    std::size_t writeIndex_ = 0;
    bool interrupted_ = false;
};

}  // namespace vexa
