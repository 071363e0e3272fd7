#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/constellation.h"
#include "sim/geodesy.h"
#include "sim/gps_time.h"
#include "sim/sky.h"

namespace vexa::sim {

inline constexpr int kCn0Samples = 10;
inline constexpr std::uint16_t kStateTracking = 0xBF;  // acquired, locked, bit and frame synchronised
inline constexpr std::uint16_t kStateSearching = 0x00;

struct ChannelReport {
    Constellation system = Constellation::Gps;
    int prn = 0;  // the satellite's number within its system; 0 for an idle channel
    double azimuthDeg = 0;
    double elevationDeg = 0;
    std::uint16_t state = kStateSearching;
    std::array<std::uint8_t, kCn0Samples> cn0{};  // dB-Hz
    bool usedInFix = false;
};

// The 1-sigma error of the reported positions, in metres: Gaussian on each horizontal axis and on the vertical.
struct PositionNoise {
    double horizontalSigma = 0;
    double verticalSigma = 0;
};

enum FixMode : int { kNoFix = 0, kFix2D = 3, kFix3D = 4 };

// Everything the receiver reports for one output second.
struct ReceiverSnapshot {
    double unixSeconds = 0;
    GpsTime gps;
    int fixMode = kNoFix;
    int satellitesUsed = 0;
    double hdop = 0;
    double pdop = 0;
    double vdop = 0;
    Geodetic position;       // all zero without a fix
    Vector3 ecef;            // metres
    EastNorthUp velocity;    // metres per second
    Vector3 velocityEcef;    // metres per second
    bool timedPower = false;
    std::optional<PositionNoise> errorSigma;  // the error the receiver knows its fix to have, with a fix

    std::array<ChannelReport, kChannelCount> channels{};  // GPS, one per channel
    std::vector<ChannelReport> otherSatellites;           // the other systems' satellites, when tracked

    bool hasFix() const { return fixMode != kNoFix; }
    double speed() const;        // horizontal, metres per second
    double courseDeg() const;    // clockwise from north, 0 to 360
};

}  // namespace vexa::sim
