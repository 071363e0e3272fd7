#pragma once

#include <cstdint>
#include <vector>

#include "sim/constellation.h"

namespace vexa::sim {

inline constexpr int kChannelCount = 12;

struct SatelliteInView {
    Constellation system = Constellation::Gps;
    int number = 0;           // within its system: GPS PRN, GLONASS slot, SBAS PRN 120 and up, ...
    double azimuthDeg = 0;    // 0 to 360, clockwise from north
    double elevationDeg = 0;  // 0 to 90
};

// One system's satellites above the horizon, drifting slowly across the sky. GPS has one satellite for each
// of the receiver's twelve channels. Their elevations are spread from the horizon to the zenith so that an
// elevation mask has something to take away.
class Sky {
public:
    Sky(std::uint32_t seed, Constellation system);

    std::vector<SatelliteInView> at(double seconds) const;

private:
    struct Orbit {
        int number;
        double azimuthDeg;
        double azimuthRateDegPerS;
        double elevationDeg;
        double elevationSwingDeg;
        double swingPhase;
    };
    Constellation system_;
    std::vector<Orbit> orbits_;
};

// Signal strength of a satellite by its elevation: 30 dB-Hz at the horizon, 50 at the zenith.
double CarrierToNoiseAt(double elevationDeg);

}  // namespace vexa::sim
