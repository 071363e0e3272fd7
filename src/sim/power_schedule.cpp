#include "sim/power_schedule.h"

#include <algorithm>

namespace vexa::sim {

namespace {
constexpr std::int64_t kFullDuty = 1000;  // 100.0 %
}

void PowerSchedule::setPowerMode(int fixOnDemand, int dutyCycle, std::int64_t onTimeMs, std::int64_t nowSecond) {
    startSecond_ = nowSecond;
    if (fixOnDemand != 0) {
        mode_ = Mode::FixOnDemand;
        return;
    }
    if (dutyCycle <= 0 || dutyCycle >= kFullDuty || onTimeMs <= 0) {
        mode_ = Mode::AlwaysOn;
        return;
    }
    // One on-time per period: the period is the on-time divided by the duty cycle, rounded to output seconds.
    const std::int64_t periodMs = onTimeMs * kFullDuty / dutyCycle;
    timedPeriod_ = std::max<std::int64_t>(1, (periodMs + 500) / 1000);
    mode_ = Mode::TimedPower;
}

void PowerSchedule::setFixOnDemandPeriod(std::int64_t periodSeconds, std::int64_t nowSecond) {
    if (periodSeconds <= 0) return;
    fixOnDemandPeriod_ = periodSeconds;
    if (mode_ == Mode::FixOnDemand) startSecond_ = nowSecond;
}

std::int64_t PowerSchedule::period() const {
    switch (mode_) {
        case Mode::AlwaysOn: return 1;
        case Mode::TimedPower: return timedPeriod_;
        case Mode::FixOnDemand: return fixOnDemandPeriod_;
    }
    return 1;
}

bool PowerSchedule::awake(std::int64_t second) const {
    if (second < startSecond_) return true;
    return (second - startSecond_) % period() == 0;
}

}  // namespace vexa::sim
