#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

#include "support/frame_bytes.h"
#include "link/gps_comm.h"
#include "platform/result_codes.h"
#include "platform/notify_queue.h"
#include "receiver/binary/message_sink.h"

namespace vexa::test {

// Message 2 with a recognisable X, and message 18 (OkToSend).
inline Bytes NavPayload(std::uint8_t x) {
    Bytes payload(41, 0);
    payload[0] = 2;
    payload[4] = x;
    return payload;
}
inline Bytes OkToSendPayload(std::uint8_t ok) { return Bytes{18, ok}; }

struct Delivery {
    int id;
    Bytes record;
    bool operator==(const Delivery&) const = default;
};

// Everything the link delivered, in order.
class DeliveryLog : public MessageSink {
public:
    void deliver(int id, const std::uint8_t* record, std::size_t length) override {
        std::lock_guard guard(mutex_);
        deliveries_.push_back({id, Bytes(record, record + length)});
    }
    std::vector<Delivery> deliveries() const {
        std::lock_guard guard(mutex_);
        return deliveries_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<Delivery> deliveries_;
};

// A link with its own context, notifications and delivery record.
struct LinkUnderTest {
    LinkUnderTest() : comm(GpsComm::Create(context)) {
        comm->SetNotifyWindow(&notifications);
        comm->SetDeliveryListener(&delivered);
    }
    ~LinkUnderTest() { comm.reset(); }

    // Waits for the notification of message `id`; false after `timeout`.
    bool AwaitDelivery(int id, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            auto notification = notifications.take(left);
            if (notification && notification->message == kNotifyMessageDelivered && notification->wParam == id) return true;
        }
        return false;
    }

    ReceiverContext context;
    NotifyQueue notifications;
    DeliveryLog delivered;
    std::unique_ptr<GpsComm> comm;
};

}  // namespace vexa::test
