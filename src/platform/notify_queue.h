#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

#include "platform/notify_sink.h"

namespace vexa {

// A thread-safe queue of notifications for front ends without an event loop (and for tests).
class NotifyQueue : public NotifySink {
public:
    void post(Notification notification) override;

    // The oldest notification, waiting at most `timeout` for one to arrive.
    std::optional<Notification> take(std::chrono::milliseconds timeout = std::chrono::milliseconds(0));

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Notification> queue_;
};

}  // namespace vexa
