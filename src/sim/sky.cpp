#include "sim/sky.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <random>

namespace vexa::sim {
namespace {

constexpr int kHighestPrn = 32;
constexpr double kLowestElevationDeg = 2.0;
constexpr double kHighestElevationDeg = 88.0;
constexpr double kSwingRate = 2.0 * std::numbers::pi / (6.0 * 3600.0);  // radians per second

}  // namespace

Sky::Sky(std::uint32_t seed) {
    std::mt19937 random(seed);
    std::array<int, kHighestPrn> prns;
    std::iota(prns.begin(), prns.end(), 1);
    std::shuffle(prns.begin(), prns.end(), random);
    std::array<double, kChannelCount> elevations;
    for (int i = 0; i < kChannelCount; ++i) {
        elevations[i] = kLowestElevationDeg + (kHighestElevationDeg - kLowestElevationDeg) * (i + 0.5) / kChannelCount;
    }
    std::shuffle(elevations.begin(), elevations.end(), random);
    std::uniform_real_distribution<double> azimuth(0.0, 360.0);
    std::uniform_real_distribution<double> azimuthRate(-0.01, 0.01);
    std::uniform_real_distribution<double> phase(0.0, 2.0 * std::numbers::pi);
    for (int i = 0; i < kChannelCount; ++i) {
        const double room = std::min(elevations[i] - kLowestElevationDeg, kHighestElevationDeg - elevations[i]);
        orbits_[i] = {prns[i], azimuth(random), azimuthRate(random), elevations[i], std::min(room / 2.0, 15.0),
                      phase(random)};
    }
}

std::array<SatelliteInView, kChannelCount> Sky::at(double seconds) const {
    std::array<SatelliteInView, kChannelCount> view;
    for (int i = 0; i < kChannelCount; ++i) {
        const Orbit& orbit = orbits_[i];
        double azimuth = std::fmod(orbit.azimuthDeg + orbit.azimuthRateDegPerS * seconds, 360.0);
        if (azimuth < 0) azimuth += 360.0;
        const double swing = std::sin(orbit.swingPhase + kSwingRate * seconds) - std::sin(orbit.swingPhase);
        view[i] = {orbit.prn, azimuth, orbit.elevationDeg + orbit.elevationSwingDeg * swing};
    }
    return view;
}

double CarrierToNoiseAt(double elevationDeg) {
    const double clamped = std::clamp(elevationDeg, 0.0, 90.0);
    return 30.0 + 20.0 * std::sin(clamped * std::numbers::pi / 180.0);
}

}  // namespace vexa::sim
