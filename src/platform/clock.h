#pragma once

#include <chrono>

namespace vexa {

// A point of the steady time: what durations and deadlines are measured on.
using SteadyTime = std::chrono::steady_clock::time_point;

// Where the program reads the time: the steady time for durations and the UTC time for stamps. Code
// that reads the time is given a Clock, so that a test can set the time it sees.
class Clock {
public:
    virtual ~Clock() = default;
    virtual SteadyTime SteadyNow() const = 0;
    virtual std::chrono::system_clock::time_point UtcNow() const = 0;
};

// The machine's clocks; one for the whole program.
const Clock& SystemClock();

}  // namespace vexa
