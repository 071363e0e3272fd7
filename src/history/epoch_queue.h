#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "history/epoch_assembler.h"
#include "history/history_epoch.h"

namespace vexa {

// Hands epochs from the thread that forms them to the thread that writes them, so that the former
// only copies and never waits on a file: up to `capacity` epochs wait, and an epoch beyond that is
// dropped and counted, with the later versions of it that ReplaceLatest brings.
class EpochQueue : public EpochSink {
public:
    explicit EpochQueue(std::size_t capacity) : capacity_(capacity) {}

    void Add(const HistoryEpoch& epoch) override;
    void ReplaceLatest(const HistoryEpoch& epoch) override;
    // Hands the waiting epochs to `sink` in the order they came, outside the lock. From one thread.
    void MoveTo(EpochSink& sink);
    std::uint64_t Dropped() const;

private:
    struct Waiting {
        HistoryEpoch epoch;
        bool replacesLatest = false;
    };

    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::vector<Waiting> waiting_;
    std::vector<Waiting> taken_;  // MoveTo's, kept to reuse its room
    bool latestDropped_ = false;
    std::uint64_t dropped_ = 0;
};

}  // namespace vexa
