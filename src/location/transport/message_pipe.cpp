#include "location/transport/message_pipe.h"

namespace vexa {

std::size_t MessagePipe::put(std::unique_ptr<Message> message) {
    std::lock_guard lock(mutex_);
    if (count_ < kSlots) {
        slots_[writeIndex_] = std::move(message);
        writeIndex_ = (writeIndex_ + 1) % kSlots;
        ++count_;
        filled_.notify_one();
    }
    return count_;
}

std::unique_ptr<Message> MessagePipe::takeLocked() {
    if (count_ == 0) return nullptr;
    auto message = std::move(slots_[readIndex_]);
    readIndex_ = (readIndex_ + 1) % kSlots;
    --count_;
    return message;
}

std::unique_ptr<Message> MessagePipe::take() {
    std::lock_guard lock(mutex_);
    return takeLocked();
}

std::unique_ptr<Message> MessagePipe::waitTake(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    filled_.wait_for(lock, timeout, [this] { return count_ > 0 || interrupted_; });
    interrupted_ = false;
    return takeLocked();
}

void MessagePipe::interruptWait() {
    std::lock_guard lock(mutex_);
    interrupted_ = true;
    filled_.notify_all();
}

void MessagePipe::flush() {
    std::array<std::unique_ptr<Message>, kSlots> released;
    {
        std::lock_guard lock(mutex_);
        released.swap(slots_);
        count_ = 0;
        readIndex_ = 0;
        writeIndex_ = 0;
    }
}

std::size_t MessagePipe::count() const {
    std::lock_guard lock(mutex_);
    return count_;
}

bool MessagePipe::holds(std::uint8_t channel) const {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < count_; ++i) {
        const std::unique_ptr<Message>& message = slots_[(readIndex_ + i) % kSlots];
        if (message && message->channel() == channel) return true;
    }
    return false;
}

std::size_t MessagePipe::readIndex() const {
    std::lock_guard lock(mutex_);
    return readIndex_;
}

std::size_t MessagePipe::writeIndex() const {
    std::lock_guard lock(mutex_);
    return writeIndex_;
}

}  // namespace vexa
