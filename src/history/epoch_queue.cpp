#include "history/epoch_queue.h"

namespace vexa {

void EpochQueue::Add(const HistoryEpoch& epoch) {
    std::lock_guard guard(mutex_);
    latestDropped_ = waiting_.size() >= capacity_;
    if (latestDropped_) {
        ++dropped_;
        return;
    }
    waiting_.push_back({epoch, false});
}

void EpochQueue::ReplaceLatest(const HistoryEpoch& epoch) {
    std::lock_guard guard(mutex_);
    // The newer version of a dropped epoch would land on the one before it.
    if (latestDropped_) return;
    if (waiting_.empty()) {
        waiting_.push_back({epoch, true});
    } else {
        waiting_.back().epoch = epoch;
    }
}

void EpochQueue::MoveTo(EpochSink& sink) {
    {
        std::lock_guard guard(mutex_);
        taken_.swap(waiting_);
    }
    for (const Waiting& waiting : taken_) {
        if (waiting.replacesLatest) {
            sink.ReplaceLatest(waiting.epoch);
        } else {
            sink.Add(waiting.epoch);
        }
    }
    taken_.clear();
}

std::uint64_t EpochQueue::Dropped() const {
    std::lock_guard guard(mutex_);
    return dropped_;
}

}  // namespace vexa
