#pragma once

#include <mutex>

#include "history/epoch_assembler.h"
#include "history/history_store.h"

namespace vexa {

// The history of a live link: told of each fix and sky on the comm reader thread (under the
// model's lock, so it only copies and returns), read by the window under its own lock.
class HistoryRecorder : public GnssListener {
public:
    HistoryRecorder() = default;
    explicit HistoryRecorder(const HistoryStore::Limits& limits) : store_(limits) {}

    void onFix(const GnssFix& fix) override;
    void onSky(const GnssSky& sky) override;
    void onRestart() override;
    void SetReference(const std::optional<GeodeticPoint>& reference);
    void Clear();

    // Calls `read` with the store, which stays unchanged during the call.
    template <typename Reader>
    auto Read(Reader&& read) const {
        std::lock_guard guard(lock_);
        return read(store_);
    }

private:
    mutable std::mutex lock_;
    HistoryStore store_;
    EpochAssembler assembler_{store_};
};

}  // namespace vexa
