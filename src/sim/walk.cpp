#include "sim/walk.h"

#include <cmath>

namespace vexa::sim {
namespace {

constexpr double kRadius = 120.0;       // metres
constexpr double kWaver = 8.0;          // metres of radius change along a lap
constexpr double kWaverLobes = 5.0;     // wavers per lap
constexpr double kSpeed = 1.5;          // metres per second along the circle
constexpr double kAngularRate = kSpeed / kRadius;

}  // namespace

Walk::Walk(double phase) : phase_(phase) {}

Walk::State Walk::at(double seconds) const {
    const double angle = phase_ + kAngularRate * seconds;
    const double radius = kRadius + kWaver * std::sin(kWaverLobes * angle);
    const double radiusRate = kWaver * kWaverLobes * std::cos(kWaverLobes * angle) * kAngularRate;
    const double sinAngle = std::sin(angle), cosAngle = std::cos(angle);
    State state;
    state.offset = {radius * cosAngle, radius * sinAngle, 1.5 * std::sin(angle)};
    state.velocity = {radiusRate * cosAngle - radius * kAngularRate * sinAngle,
                      radiusRate * sinAngle + radius * kAngularRate * cosAngle,
                      1.5 * kAngularRate * std::cos(angle)};
    return state;
}

}  // namespace vexa::sim
