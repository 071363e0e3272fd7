#include "receiver/fix/ttff_clock.h"

#include <algorithm>

namespace vexa {

void TtffClock::start(Clock::time_point now) {
    std::lock_guard lock(mutex_);
    start_ = now;
}

void TtffClock::stop() {
    std::lock_guard lock(mutex_);
    start_.reset();
}

std::optional<double> TtffClock::fixed(Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (!start_) return std::nullopt;
    const std::chrono::duration<double> elapsed = std::max(now - *start_, Clock::duration::zero());
    start_.reset();
    return elapsed.count();
}

std::optional<std::string> TtffClock::counting(Clock::time_point now) const {
    std::lock_guard lock(mutex_);
    if (!start_) return std::nullopt;
    const auto seconds = std::chrono::floor<std::chrono::seconds>(std::max(now - *start_, Clock::duration::zero()));
    return std::to_string(seconds.count()) + " sec";
}

}  // namespace vexa
