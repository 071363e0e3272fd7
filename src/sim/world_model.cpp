#include "sim/world_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vexa::sim {
namespace {

constexpr int kSatellitesFor3D = 4;
constexpr int kSatellitesFor2D = 3;

double WalkPhase(std::uint32_t seed) {
    return static_cast<double>(seed % 360) * std::numbers::pi / 180.0;
}

}  // namespace

double ReceiverSnapshot::speed() const {
    return std::hypot(velocity.east, velocity.north);
}

double ReceiverSnapshot::courseDeg() const {
    const double course = std::atan2(velocity.east, velocity.north) * 180.0 / std::numbers::pi;
    return course < 0 ? course + 360.0 : course;
}

WorldModel::WorldModel(const Geodetic& origin, std::uint32_t seed, const Constellations& constellations,
                       std::optional<PositionNoise> noise)
    : origin_(origin),
      walk_(WalkPhase(seed)),
      gpsSky_(seed, Constellation::Gps),
      noise_(seed ^ 0x5eedu),
      positionNoise_(noise),
      positionDraws_(seed ^ 0x9a55u) {
    for (const Constellation system : constellations) {
        if (system != Constellation::Gps) otherSkies_.emplace_back(seed, system);
    }
}

ChannelReport WorldModel::channelReport(const SatelliteInView& satellite, FixAcquisition::ChannelProgress progress,
                                        const ElevationMasks& masks) {
    ChannelReport report;
    report.system = satellite.system;
    if (progress == FixAcquisition::ChannelProgress::Idle) return report;
    report.prn = satellite.number;
    report.azimuthDeg = satellite.azimuthDeg;
    report.elevationDeg = satellite.elevationDeg;
    const bool aboveTrackingMask = satellite.elevationDeg * 10.0 >= masks.trackingTenths;
    if (progress != FixAcquisition::ChannelProgress::Tracking || !aboveTrackingMask) return report;
    report.state = kStateTracking;
    std::uniform_int_distribution<int> jitter(-1, 1);
    const int level = static_cast<int>(std::lround(CarrierToNoiseAt(satellite.elevationDeg)));
    for (auto& sample : report.cn0) sample = static_cast<std::uint8_t>(std::clamp(level + jitter(noise_), 30, 50));
    // SBAS satellites bring corrections, not ranges of their own.
    report.usedInFix = satellite.system != Constellation::Sbas && satellite.elevationDeg * 10.0 >= masks.navigationTenths;
    return report;
}

ReceiverSnapshot WorldModel::snapshot(double simSeconds, double unixSeconds, const FixAcquisition& acquisition,
                                      const ElevationMasks& masks) {
    ReceiverSnapshot snapshot;
    snapshot.unixSeconds = unixSeconds;
    snapshot.gps = GpsTimeFromUnix(unixSeconds);
    const auto satellites = gpsSky_.at(simSeconds);
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const auto progress = acquisition.channel(channel, simSeconds);
        snapshot.channels[channel] = channelReport(satellites[channel], progress, masks);
    }
    // The other systems' satellites lock on alongside the channels, in the same order.
    for (const Sky& sky : otherSkies_) {
        for (const SatelliteInView& satellite : sky.at(simSeconds)) {
            const int index = static_cast<int>(snapshot.otherSatellites.size()) % kChannelCount;
            snapshot.otherSatellites.push_back(
                channelReport(satellite, acquisition.channel(index, simSeconds), masks));
        }
    }
    const auto used = [](const ChannelReport& c) { return c.usedInFix; };
    const int usable =
        static_cast<int>(std::count_if(snapshot.channels.begin(), snapshot.channels.end(), used) +
                         std::count_if(snapshot.otherSatellites.begin(), snapshot.otherSatellites.end(), used));
    if (!acquisition.fixAllowed(simSeconds) || usable < kSatellitesFor2D) {
        for (auto& channel : snapshot.channels) channel.usedInFix = false;
        for (auto& satellite : snapshot.otherSatellites) satellite.usedInFix = false;
        return snapshot;
    }
    snapshot.fixMode = usable >= kSatellitesFor3D ? kFix3D : kFix2D;
    snapshot.satellitesUsed = usable;
    snapshot.hdop = 0.6 + 4.0 / usable;
    snapshot.vdop = snapshot.hdop * 1.3;
    snapshot.pdop = std::hypot(snapshot.hdop, snapshot.vdop);
    Walk::State walk = walk_.at(simSeconds);
    if (positionNoise_) {
        std::normal_distribution<double> horizontal(0.0, positionNoise_->horizontalSigma);
        std::normal_distribution<double> vertical(0.0, positionNoise_->verticalSigma);
        const double east = horizontal(positionDraws_);
        const double north = horizontal(positionDraws_);
        walk = {{east, north, vertical(positionDraws_)}, {}};
        snapshot.errorSigma = positionNoise_;
    }
    snapshot.position = OffsetGeodetic(origin_, walk.offset);
    snapshot.ecef = GeodeticToEcef(snapshot.position);
    snapshot.velocity = walk.velocity;
    snapshot.velocityEcef = EnuToEcef(snapshot.position, walk.velocity);
    return snapshot;
}

}  // namespace vexa::sim
