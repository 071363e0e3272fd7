#pragma once

#include <array>
#include <cstdint>

namespace vexa::sim {

inline constexpr int kChannelCount = 12;

struct SatelliteInView {
    int prn = 0;
    double azimuthDeg = 0;    // 0 to 360, clockwise from north
    double elevationDeg = 0;  // 0 to 90
};

// The twelve satellites the receiver's channels follow, drifting slowly across the sky.
// Their elevations are spread from the horizon to the zenith so that an elevation mask has something to take away.
class Sky {
public:
    explicit Sky(std::uint32_t seed);

    std::array<SatelliteInView, kChannelCount> at(double seconds) const;

private:
    struct Orbit {
        int prn;
        double azimuthDeg;
        double azimuthRateDegPerS;
        double elevationDeg;
        double elevationSwingDeg;
        double swingPhase;
    };
    std::array<Orbit, kChannelCount> orbits_;
};

// Signal strength of a satellite by its elevation: 30 dB-Hz at the horizon, 50 at the zenith.
double CarrierToNoiseAt(double elevationDeg);

}  // namespace vexa::sim
