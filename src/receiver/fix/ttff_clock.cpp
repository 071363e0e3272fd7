#include "receiver/fix/ttff_clock.h"

#include <algorithm>
#include <chrono>

namespace vexa {

void TtffClock::start(SteadyTime now) {
    std::lock_guard lock(mutex_);
    start_ = now;
}

void TtffClock::stop() {
    std::lock_guard lock(mutex_);
    start_.reset();
}

std::optional<double> TtffClock::fixed(SteadyTime now) {
    std::lock_guard lock(mutex_);
    if (!start_) return std::nullopt;
    const std::chrono::duration<double> elapsed = std::max(now - *start_, SteadyTime::duration::zero());
    start_.reset();
    return elapsed.count();
}

std::optional<std::string> TtffClock::counting(SteadyTime now) const {
    std::lock_guard lock(mutex_);
    if (!start_) return std::nullopt;
    const auto seconds = std::chrono::floor<std::chrono::seconds>(std::max(now - *start_, SteadyTime::duration::zero()));
    return std::to_string(seconds.count()) + " sec";
}

}  // namespace vexa
