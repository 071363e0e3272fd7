#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>

namespace vexa {

// An elapsed-time counter of a session that advances in whole seconds while running. It reads a
// clock instead of keeping a thread; tests give it their own clock.
class SessionTimer {
public:
    using Clock = std::function<std::chrono::milliseconds()>;
    static constexpr std::uint32_t kStepMs = 1000;

    static std::chrono::milliseconds steadyNow();

    explicit SessionTimer(Clock clock = steadyNow) : clock_(std::move(clock)) {}

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
    Clock clock_;
    std::uint32_t limitMs_ = 255 * kStepMs;
    bool running_ = false;
    std::uint32_t countedMs_ = 0;         // elapsed before the current counting began
    std::chrono::milliseconds since_{0};  // when the current counting began
};

}  // namespace vexa
