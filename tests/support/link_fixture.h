#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <optional>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

#include "support/frame_bytes.h"
#include "link/gps_comm.h"
#include "link/location_client_host.h"
#include "link/model/link_update.h"
#include "platform/result_codes.h"
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

// Every update the link posted, in order and uncoalesced: what the link says, before a front end's
// UpdateQueue folds it.
class UpdateLog : public UpdateSink {
public:
    void post(LinkUpdate update) override {
        {
            std::lock_guard guard(mutex_);
            updates_.push_back(std::move(update));
        }
        arrived_.notify_one();
    }
    // The oldest update, waiting at most `timeout` for one.
    std::optional<LinkUpdate> take(std::chrono::milliseconds timeout = std::chrono::milliseconds(0)) {
        std::unique_lock guard(mutex_);
        if (!arrived_.wait_for(guard, timeout, [this] { return !updates_.empty(); })) return std::nullopt;
        LinkUpdate update = std::move(updates_.front());
        updates_.pop_front();
        return update;
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<LinkUpdate> updates_;
};

// A link with its own context, updates and delivery record.
struct LinkUnderTest {
    explicit LinkUnderTest(const Clock& clock = SystemClock())
        : comm(GpsComm::Create(context, clock)), location(std::make_unique<LocationClientHost>(*comm)) {
        comm->SetUpdateSink(&notifications);
        comm->SetDeliveryListener(&delivered);
    }
    ~LinkUnderTest() {
        location.reset();
        comm.reset();
    }

    // Waits for `expected` among the updates; false after `timeout`.
    bool AwaitUpdate(const LinkUpdate& expected, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            const std::optional<LinkUpdate> update = notifications.take(left);
            if (update == expected) return true;
        }
        return false;
    }

    ReceiverContext context;
    UpdateLog notifications;
    DeliveryLog delivered;
    std::unique_ptr<GpsComm> comm;
    std::unique_ptr<LocationClientHost> location;
};

}  // namespace vexa::test
