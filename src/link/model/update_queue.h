#pragma once

#include <bitset>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <variant>
#include <vector>

#include "link/model/link_update.h"

namespace vexa {

// The updates a front end has not yet taken, of a size fixed whatever the input rate: at most one
// pending update of each kind (one per message id), in the order the kinds arrived since the last
// take, and at most kMostMessages different messages to show (a failure told more often than the
// user can read it is dropped).
class UpdateQueue : public UpdateSink {
public:
    static constexpr std::size_t kMostMessages = 8;

    // `arrived` runs on the posting thread whenever an update finds the queue empty: one wake for
    // the updates that follow until the next take.
    explicit UpdateQueue(std::function<void()> arrived = {}) : arrived_(std::move(arrived)) {}

    void post(LinkUpdate update) override;
    // Ends a TakeAll waiting now (or the next one) without an update.
    void Wake();
    // Every pending update, waiting at most `timeout` for the first one (or a Wake).
    std::vector<LinkUpdate> TakeAll(std::chrono::milliseconds timeout = std::chrono::milliseconds(0));

private:
    // One bit per message id, then one per other kind that coalesces.
    static constexpr std::size_t kKinds = 256 + std::variant_size_v<LinkUpdate>;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> arrived_;
    std::vector<LinkUpdate> pending_;
    std::bitset<kKinds> pendingKinds_;
    std::size_t pendingMessages_ = 0;
    bool woken_ = false;
};

}  // namespace vexa
