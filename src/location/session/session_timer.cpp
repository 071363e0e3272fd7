#include "location/session/session_timer.h"

namespace vexa {

std::chrono::milliseconds SessionTimer::steadyNow() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

void SessionTimer::setLimit(std::uint32_t limitMs) {
    std::lock_guard lock(mutex_);
    limitMs_ = limitMs;
}

bool SessionTimer::start() {
    std::lock_guard lock(mutex_);
    if (running_) return false;
    running_ = true;
    since_ = clock_();
    return true;
}

void SessionTimer::stop() {
    std::lock_guard lock(mutex_);
    countedMs_ = elapsedLocked();
    running_ = false;
}

void SessionTimer::reset() {
    std::lock_guard lock(mutex_);
    countedMs_ = 0;
    since_ = clock_();
}

std::uint32_t SessionTimer::elapsedLocked() const {
    if (!running_) return countedMs_;
    const auto passed = clock_() - since_;
    const auto steps = passed.count() > 0 ? static_cast<std::uint64_t>(passed.count()) / kStepMs : 0;
    return static_cast<std::uint32_t>(countedMs_ + steps * kStepMs);
}

std::uint32_t SessionTimer::elapsedMs() const {
    std::lock_guard lock(mutex_);
    return elapsedLocked();
}

bool SessionTimer::running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

bool SessionTimer::expired() const {
    std::lock_guard lock(mutex_);
    return running_ && elapsedLocked() >= limitMs_;
}

}  // namespace vexa
