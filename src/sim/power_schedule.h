#pragma once

#include <cstdint>

namespace vexa::sim {

// When the receiver is awake. Always on by default; in TimedPower and fix-on-demand modes it wakes
// for one output second at the start of each period and sleeps for the rest.
class PowerSchedule {
public:
    enum class Mode { AlwaysOn, TimedPower, FixOnDemand };

    // From the power mode command: fix-on-demand flag, duty cycle in 0.1 %, on-time in ms.
    void setPowerMode(int fixOnDemand, int dutyCycle, std::int64_t onTimeMs, std::int64_t nowSecond);
    // From the power parameters command: the fix-on-demand period in seconds.
    void setFixOnDemandPeriod(std::int64_t periodSeconds, std::int64_t nowSecond);

    Mode mode() const { return mode_; }
    bool awake(std::int64_t second) const;

private:
    std::int64_t period() const;

    Mode mode_ = Mode::AlwaysOn;
    std::int64_t timedPeriod_ = 1;
    std::int64_t fixOnDemandPeriod_ = 1800;
    std::int64_t startSecond_ = 0;
};

}  // namespace vexa::sim
