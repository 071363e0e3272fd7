#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "sim/constellation.h"
#include "sim/fix_acquisition.h"
#include "sim/receiver_snapshot.h"
#include "sim/sky.h"
#include "sim/walk.h"

namespace vexa::sim {

// Elevation masks in tenths of a degree: below the tracking mask a satellite is not tracked,
// below the navigation mask it is tracked but left out of the fix.
struct ElevationMasks {
    int trackingTenths = 0;
    int navigationTenths = 0;
};

// The true world around the receiver (where it walks, where the satellites are) and what the receiver
// makes of it, given how far it has come since its last reset.
class WorldModel {
public:
    // With `noise` the receiver stands still at the origin and each fix is off it by that noise.
    WorldModel(const Geodetic& origin, std::uint32_t seed, const Constellations& constellations = {Constellation::Gps},
               std::optional<PositionNoise> noise = std::nullopt);

    ReceiverSnapshot snapshot(double simSeconds, double unixSeconds, const FixAcquisition& acquisition,
                              const ElevationMasks& masks);

private:
    ChannelReport channelReport(const SatelliteInView& satellite, FixAcquisition::ChannelProgress progress,
                                const ElevationMasks& masks);

    Geodetic origin_;
    Walk walk_;
    Sky gpsSky_;
    std::vector<Sky> otherSkies_;
    std::mt19937 noise_;
    std::optional<PositionNoise> positionNoise_;
    std::mt19937 positionDraws_;
};

}  // namespace vexa::sim
