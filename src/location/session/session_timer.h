#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

#include "platform/clock.h"

namespace vexa {

// An elapsed-time counter of a session that advances in whole seconds while running. It reads the
// steady time of a clock instead of keeping a thread; tests give it their own clock.
class SessionTimer {
public:
    static constexpr std::uint32_t kStepMs = 1000;

    explicit SessionTimer(const Clock& clock = SystemClock()) : clock_(clock) {}

    void setLimit(std::uint32_t limitMs);
    // False, and nothing changed, when already running.
    bool start();
    // Keeps the elapsed time counted so far.
    void stop();
    void reset();
    std::uint32_t elapsedMs() const;
    bool running() const;
    // Running and at or beyond the limit.
    bool expired() const;

private:
    std::uint32_t elapsedLocked() const;

    mutable std::mutex mutex_;
    const Clock& clock_;
    std::uint32_t limitMs_ = 255 * kStepMs;
    bool running_ = false;
    std::uint32_t countedMs_ = 0;         // elapsed before the current counting began
    std::chrono::steady_clock::time_point since_;  // when the current counting began
};

}  // namespace vexa
