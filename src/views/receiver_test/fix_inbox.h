#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

#include "receiver/fix/gnss_fix.h"
#include "receiver/fix/gnss_listener.h"

namespace vexa {

// A fix as it arrived from the link, with the moment it arrived (times to first fix count from it).
struct ArrivedFix {
    std::chrono::steady_clock::time_point arrived;
    GnssFix fix;
};

// Hands the link's fixes from the comm reader thread to the window's thread: the reader copies each
// fix in (under the model lock, so quickly), the window takes what has gathered on its timer. The
// queue holds at most `capacity` fixes; beyond that the newest are dropped and counted, so a window
// that stops taking (a long modal dialog) costs a bounded memory.
class FixInbox : public GnssListener {
public:
    explicit FixInbox(std::size_t capacity) : capacity_(capacity) {}

    void onFix(const GnssFix& fix) override;
    void onSky(const GnssSky&) override {}

    // The fixes gathered since the last call, oldest first.
    std::vector<ArrivedFix> Take();
    // The fixes dropped for want of room since the start.
    std::size_t Dropped() const;

private:
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::deque<ArrivedFix> fixes_;
    std::size_t dropped_ = 0;
};

}  // namespace vexa
