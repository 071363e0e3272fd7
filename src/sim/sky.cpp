#include "sim/sky.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <random>

namespace vexa::sim {
namespace {

constexpr double kLowestElevationDeg = 2.0;
constexpr double kHighestElevationDeg = 88.0;
constexpr double kSwingRate = 2.0 * std::numbers::pi / (6.0 * 3600.0);  // radians per second

// The numbers a system's satellites carry and how many of them a receiver typically sees at once.
struct Population {
    int firstNumber;
    int lastNumber;
    int inView;
};

Population PopulationOf(Constellation system) {
    switch (system) {
        case Constellation::Gps: return {1, 32, kChannelCount};
        case Constellation::Glonass: return {1, 24, 8};
        case Constellation::Galileo: return {1, 36, 8};
        case Constellation::BeiDou: return {1, 46, 10};
        case Constellation::Qzss: return {1, 7, 3};
        case Constellation::NavIC: return {1, 14, 5};
        case Constellation::Sbas: return {120, 151, 3};
    }
    return {1, 32, kChannelCount};
}

// GPS keeps the seed as given, so its sky is the one the receiver always had; the other systems differ.
std::uint32_t SystemSeed(std::uint32_t seed, Constellation system) {
    return seed ^ (0x9E3779B9u * static_cast<std::uint32_t>(system));
}

}  // namespace

Sky::Sky(std::uint32_t seed, Constellation system) : system_(system) {
    const Population population = PopulationOf(system);
    std::mt19937 random(SystemSeed(seed, system));
    std::vector<int> numbers(static_cast<std::size_t>(population.lastNumber - population.firstNumber + 1));
    std::iota(numbers.begin(), numbers.end(), population.firstNumber);
    std::shuffle(numbers.begin(), numbers.end(), random);
    const int count = population.inView;
    std::vector<double> elevations(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        elevations[i] = kLowestElevationDeg + (kHighestElevationDeg - kLowestElevationDeg) * (i + 0.5) / count;
    }
    std::shuffle(elevations.begin(), elevations.end(), random);
    std::uniform_real_distribution<double> azimuth(0.0, 360.0);
    std::uniform_real_distribution<double> azimuthRate(-0.01, 0.01);
    std::uniform_real_distribution<double> phase(0.0, 2.0 * std::numbers::pi);
    for (int i = 0; i < count; ++i) {
        const double room = std::min(elevations[i] - kLowestElevationDeg, kHighestElevationDeg - elevations[i]);
        orbits_.push_back({numbers[i], azimuth(random), azimuthRate(random), elevations[i],
                           std::min(room / 2.0, 15.0), phase(random)});
    }
}

std::vector<SatelliteInView> Sky::at(double seconds) const {
    std::vector<SatelliteInView> view;
    view.reserve(orbits_.size());
    for (const Orbit& orbit : orbits_) {
        double azimuth = std::fmod(orbit.azimuthDeg + orbit.azimuthRateDegPerS * seconds, 360.0);
        if (azimuth < 0) azimuth += 360.0;
        const double swing = std::sin(orbit.swingPhase + kSwingRate * seconds) - std::sin(orbit.swingPhase);
        view.push_back({system_, orbit.number, azimuth, orbit.elevationDeg + orbit.elevationSwingDeg * swing});
    }
    return view;
}

double CarrierToNoiseAt(double elevationDeg) {
    const double clamped = std::clamp(elevationDeg, 0.0, 90.0);
    return 30.0 + 20.0 * std::sin(clamped * std::numbers::pi / 180.0);
}

}  // namespace vexa::sim
