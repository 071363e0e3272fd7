#include "platform/clock.h"

namespace vexa {
namespace {

class MachineClock final : public Clock {
public:
    SteadyTime SteadyNow() const override { return std::chrono::steady_clock::now(); }
    std::chrono::system_clock::time_point UtcNow() const override { return std::chrono::system_clock::now(); }
};

}  // namespace

const Clock& SystemClock() {
    static const MachineClock clock;
    return clock;
}

}  // namespace vexa
