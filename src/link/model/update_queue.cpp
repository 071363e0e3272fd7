#include "link/model/update_queue.h"

#include <algorithm>
#include <utility>

namespace vexa {
namespace {

std::size_t KindOf(const LinkUpdate& update) {
    if (const auto* delivered = std::get_if<MessageDelivered>(&update)) return ToWire(delivered->id);
    return 256 + update.index();
}

}  // namespace

void UpdateQueue::post(LinkUpdate update) {
    bool wasEmpty = false;
    {
        std::lock_guard guard(mutex_);
        wasEmpty = pending_.empty();
        if (std::holds_alternative<MessageToShow>(update)) {
            // The same failure told again while it waits is shown once.
            if (std::ranges::find(pending_, update) != pending_.end()) return;
            if (pendingMessages_ == kMostMessages) return;
            ++pendingMessages_;
        } else {
            const std::size_t kind = KindOf(update);
            if (pendingKinds_.test(kind)) return;
            pendingKinds_.set(kind);
        }
        pending_.push_back(std::move(update));
    }
    changed_.notify_one();
    if (wasEmpty && arrived_) arrived_();
}

void UpdateQueue::Wake() {
    {
        std::lock_guard guard(mutex_);
        woken_ = true;
    }
    changed_.notify_one();
}

std::vector<LinkUpdate> UpdateQueue::TakeAll(std::chrono::milliseconds timeout) {
    std::unique_lock guard(mutex_);
    changed_.wait_for(guard, timeout, [this] { return woken_ || !pending_.empty(); });
    woken_ = false;
    pendingKinds_.reset();
    pendingMessages_ = 0;
    return std::exchange(pending_, {});
}

}  // namespace vexa
