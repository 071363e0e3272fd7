#include "platform/notify_queue.h"

namespace vexa {

void NotifyQueue::post(Notification notification) {
    {
        std::lock_guard guard(mutex_);
        queue_.push_back(std::move(notification));
    }
    arrived_.notify_one();
}

std::optional<Notification> NotifyQueue::take(std::chrono::milliseconds timeout) {
    std::unique_lock guard(mutex_);
    if (!arrived_.wait_for(guard, timeout, [this] { return !queue_.empty(); })) return std::nullopt;
    Notification notification = std::move(queue_.front());
    queue_.pop_front();
    return notification;
}

}  // namespace vexa
