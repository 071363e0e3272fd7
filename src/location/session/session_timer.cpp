#include "location/session/session_timer.h"

namespace vexa {

void SessionTimer::setLimit(std::uint32_t limitMs) {
    std::lock_guard lock(mutex_);
    limitMs_ = limitMs;
}

bool SessionTimer::start() {
    std::lock_guard lock(mutex_);
    if (running_) return false;
    running_ = true;
    since_ = clock_.SteadyNow();
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
    since_ = clock_.SteadyNow();
}

std::uint32_t SessionTimer::elapsedLocked() const {
    if (!running_) return countedMs_;
    const auto passed = std::chrono::duration_cast<std::chrono::milliseconds>(clock_.SteadyNow() - since_);
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
