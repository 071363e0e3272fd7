#pragma once

#include <atomic>
#include <chrono>

#include "platform/clock.h"

namespace vexa::test {

// A clock whose time moves only when a test says so; readable from any thread.
class ManualClock final : public Clock {
public:
    SteadyTime SteadyNow() const override { return SteadyTime(SteadyTime::duration(steady_.load())); }
    std::chrono::system_clock::time_point UtcNow() const override {
        return std::chrono::system_clock::time_point(std::chrono::system_clock::duration(utc_.load()));
    }
    // Both times move on by `step`.
    void Advance(std::chrono::nanoseconds step) {
        steady_ += std::chrono::duration_cast<std::chrono::steady_clock::duration>(step).count();
        utc_ += std::chrono::duration_cast<std::chrono::system_clock::duration>(step).count();
    }
    void SetSteady(SteadyTime at) { steady_ = at.time_since_epoch().count(); }
    void SetUtc(std::chrono::system_clock::time_point at) { utc_ = at.time_since_epoch().count(); }

private:
    std::atomic<std::chrono::steady_clock::rep> steady_{0};
    std::atomic<std::chrono::system_clock::rep> utc_{0};
};

}  // namespace vexa::test
