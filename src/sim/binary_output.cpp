#include "sim/binary_output.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "receiver/frame_format.h"
#include "receiver/frame_writer.h"

namespace vexa::sim {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
constexpr double kSpeedOfLight = 299792458.0;
constexpr double kL1Hz = 1575.42e6;
constexpr double kWgs84Datum = 21;
constexpr std::uint32_t kClockDriftHz = 94315;
constexpr std::uint32_t kClockBiasNs = 103240;
constexpr int kModeTimedPower = 0x08;  // in the mode bytes of messages 2 and 41

std::int32_t Rounded32(double value) {
    return static_cast<std::int32_t>(std::lround(value));
}

std::int16_t Rounded16(double value) {
    return static_cast<std::int16_t>(std::clamp<long>(std::lround(value), INT16_MIN, INT16_MAX));
}

std::uint32_t TowCentiseconds(const ReceiverSnapshot& snapshot) {
    return static_cast<std::uint32_t>(std::llround(snapshot.gps.towSeconds * 100.0));
}

// A rough range to the satellite from its elevation: about 20,200 km overhead, 25,800 km at the horizon.
double RangeTo(const ChannelReport& channel) {
    return 20'200'000.0 + 5'600'000.0 * std::cos(channel.elevationDeg * kRadiansPerDegree);
}

}  // namespace

NavData NavigationRecord(const ReceiverSnapshot& snapshot) {
    NavData record{};
    if (snapshot.hasFix()) {
        record.X = Rounded32(snapshot.ecef.x);
        record.Y = Rounded32(snapshot.ecef.y);
        record.Z = Rounded32(snapshot.ecef.z);
        record.VX = Rounded16(snapshot.velocityEcef.x * 8.0);
        record.VY = Rounded16(snapshot.velocityEcef.y * 8.0);
        record.VZ = Rounded16(snapshot.velocityEcef.z * 8.0);
    }
    record.Mode1 = static_cast<std::uint8_t>(snapshot.fixMode | (snapshot.timedPower ? kModeTimedPower : 0));
    record.Hdop = static_cast<std::uint8_t>(std::clamp<long>(std::lround(snapshot.hdop * 5.0), 0, 255));
    record.Week = static_cast<std::uint16_t>(snapshot.gps.week);
    record.Tow = TowCentiseconds(snapshot);
    int used = 0;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (!snapshot.channels[channel].usedInFix) continue;
        record.SvPrn[channel] = static_cast<std::uint8_t>(snapshot.channels[channel].prn);
        ++used;
    }
    record.SvCount = static_cast<std::uint8_t>(used);
    return record;
}

TrackData TrackerRecord(const ReceiverSnapshot& snapshot) {
    TrackData record{};
    record.Week = static_cast<std::int16_t>(snapshot.gps.week);
    record.Tow = TowCentiseconds(snapshot);
    record.ChannelCount = kChannelCount;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const ChannelReport& report = snapshot.channels[channel];
        TrackChannel& out = record.Channels[channel];
        out.Prn = static_cast<std::uint8_t>(report.prn);
        out.Azimuth = static_cast<std::uint8_t>(std::lround(report.azimuthDeg / 1.5) % 240);
        out.Elevation = static_cast<std::uint8_t>(std::clamp<long>(std::lround(report.elevationDeg * 2.0), 0, 180));
        out.State = report.state;
        std::copy(report.cn0.begin(), report.cn0.end(), out.Cn0);
    }
    return record;
}

GeoNavData GeodeticRecord(const ReceiverSnapshot& snapshot) {
    GeoNavData record{};
    const UtcTime utc = UtcFromUnix(snapshot.unixSeconds);
    record.At1 = snapshot.hasFix() ? 0 : 1;  // navigation valid: 0 when valid
    record.At3 = static_cast<std::uint16_t>(snapshot.fixMode | (snapshot.timedPower ? kModeTimedPower : 0));
    record.At5 = static_cast<std::uint16_t>(snapshot.gps.week);
    record.At7 = static_cast<std::uint32_t>(std::llround(snapshot.gps.towSeconds * 1000.0));
    record.At11 = static_cast<std::uint16_t>(utc.year);
    record.At13 = static_cast<std::uint8_t>(utc.month);
    record.At14 = static_cast<std::uint8_t>(utc.day);
    record.At15 = static_cast<std::uint8_t>(utc.hour);
    record.At16 = static_cast<std::uint8_t>(utc.minute);
    record.At17 = static_cast<std::uint16_t>(std::lround(utc.second * 1000.0));
    for (const ChannelReport& channel : snapshot.channels) {
        if (channel.usedInFix && channel.prn >= 1 && channel.prn <= 32) record.At19 |= 1u << (channel.prn - 1);
    }
    record.At39 = kWgs84Datum;
    record.At88 = static_cast<std::uint8_t>(snapshot.satellitesUsed);
    record.At89 = static_cast<std::uint8_t>(std::clamp<long>(std::lround(snapshot.hdop * 5.0), 0, 255));
    if (!snapshot.hasFix()) return record;
    record.At23 = Rounded32(snapshot.position.latitudeDeg * 1e7);
    record.At27 = Rounded32(snapshot.position.longitudeDeg * 1e7);
    record.At31 = Rounded32(snapshot.position.altitudeM * 100.0);
    record.At35 = record.At31;  // the simulated geoid lies on the ellipsoid
    record.At40 = static_cast<std::uint16_t>(std::lround(snapshot.speed() * 100.0));
    record.At42 = static_cast<std::uint16_t>(std::lround(snapshot.courseDeg() * 100.0) % 36000);
    record.At46 = Rounded16(snapshot.velocity.up * 100.0);
    record.At50 = static_cast<std::uint32_t>(std::lround(snapshot.hdop * 300.0));  // horizontal error, cm
    record.At54 = static_cast<std::uint32_t>(std::lround(snapshot.vdop * 450.0));  // vertical error, cm
    record.At58 = static_cast<std::uint32_t>(std::lround(snapshot.pdop * 540.0));
    record.At62 = static_cast<std::uint16_t>(std::lround(snapshot.hdop * 10.0));    // velocity error, cm/s
    record.At64 = static_cast<std::int32_t>(kClockBiasNs * kSpeedOfLight * 1e-9 * 100.0);
    record.At72 = static_cast<std::int32_t>(kClockDriftHz * kSpeedOfLight / kL1Hz * 100.0);
    return record;
}

Throughput ThroughputRecord(const ReceiverSnapshot& snapshot) {
    const auto tracking = std::count_if(snapshot.channels.begin(), snapshot.channels.end(),
                                        [](const ChannelReport& c) { return c.state == kStateTracking; });
    return Throughput{static_cast<std::uint16_t>(40 + 2 * tracking), 110, static_cast<std::uint16_t>(10 + tracking),
                      static_cast<std::uint16_t>(snapshot.hasFix() ? 220 : 0)};
}

VisibleList VisibleListRecord(const ReceiverSnapshot& snapshot) {
    VisibleList record{};
    for (const ChannelReport& channel : snapshot.channels) {
        if (channel.prn == 0) continue;
        record.Satellites[record.Count++] = {static_cast<std::uint8_t>(channel.prn),
                                             Rounded16(channel.azimuthDeg), Rounded16(channel.elevationDeg)};
    }
    return record;
}

ClockStatus ClockStatusRecord(const ReceiverSnapshot& snapshot) {
    return ClockStatus{static_cast<std::uint16_t>(snapshot.gps.week), TowCentiseconds(snapshot),
                       static_cast<std::uint8_t>(snapshot.satellitesUsed), kClockDriftHz, kClockBiasNs,
                       static_cast<std::uint32_t>(std::llround(snapshot.gps.towSeconds * 1000.0))};
}

TtffReport TtffRecord(double timeToFirstFixSeconds) {
    TtffReport record{};
    record.SubId = kTtffSubId;
    record.TimeToFirstFix = static_cast<std::uint16_t>(std::clamp<long>(std::lround(timeToFirstFixSeconds * 10.0),
                                                                        0, UINT16_MAX));
    return record;
}

NavLibMeasurement MeasurementRecord(const ReceiverSnapshot& snapshot, int channel) {
    const ChannelReport& report = snapshot.channels[channel];
    NavLibMeasurement record{};
    record.Channel = static_cast<std::uint8_t>(channel);
    record.TimeTag = static_cast<std::uint32_t>(std::llround(snapshot.gps.towSeconds * 1000.0));
    record.SvId = static_cast<std::uint8_t>(report.prn);
    record.GpsSoftwareTime = snapshot.gps.towSeconds;
    record.Pseudorange = RangeTo(report);
    record.CarrierFrequency = static_cast<float>(kL1Hz * 1e-3 * std::sin(report.azimuthDeg * kRadiansPerDegree));
    record.CarrierPhase = record.Pseudorange / (kSpeedOfLight / kL1Hz);
    record.TimeInTrack = static_cast<std::uint16_t>(std::min(snapshot.gps.towSeconds, 65535.0));
    record.SyncFlags = 0x01;
    std::copy(report.cn0.begin(), report.cn0.end(), record.Cn0);
    record.DeltaRangeInterval = 1000;
    record.MeanDeltaRangeTime = 500;
    return record;
}

NavLibMessage29 NavLibSolutionRecord(const ReceiverSnapshot& snapshot) {
    NavLibMessage29 record{};
    record.At1 = static_cast<std::int16_t>(snapshot.fixMode);
    record.At3 = static_cast<std::int16_t>(snapshot.satellitesUsed);
    record.At5 = static_cast<std::uint8_t>(snapshot.hasFix());
    const float values[] = {static_cast<float>(snapshot.hdop), static_cast<float>(snapshot.vdop),
                            static_cast<float>(snapshot.pdop), static_cast<float>(snapshot.speed()),
                            static_cast<float>(snapshot.courseDeg())};
    std::copy(std::begin(values), std::end(values), record.At6);
    return record;
}

NavLibMessage30 NavLibSatelliteRecord(const ReceiverSnapshot& snapshot, int channel) {
    const ChannelReport& report = snapshot.channels[channel];
    NavLibMessage30 record{};
    record.At1 = static_cast<std::uint8_t>(report.prn);
    record.At2 = snapshot.gps.towSeconds;
    const double range = RangeTo(report);
    const double azimuth = report.azimuthDeg * kRadiansPerDegree;
    const double elevation = report.elevationDeg * kRadiansPerDegree;
    const double position[] = {snapshot.ecef.x + range * std::cos(elevation) * std::sin(azimuth),
                               snapshot.ecef.y + range * std::cos(elevation) * std::cos(azimuth),
                               snapshot.ecef.z + range * std::sin(elevation)};
    std::copy(std::begin(position), std::end(position), record.At10);
    record.At10[3] = -3000.0 * std::sin(azimuth);  // velocity, m/s
    record.At10[4] = 3000.0 * std::cos(azimuth);
    record.At10[5] = 500.0 * std::cos(elevation);
    record.At58 = kClockBiasNs * 1e-9;
    record.At66 = static_cast<float>(kClockDriftHz);
    record.At70 = 1;
    record.At71[0] = static_cast<float>(4.0 / std::max(0.1, std::sin(elevation)));  // ionospheric delay, m
    return record;
}

NavLibMessage31 NavLibClockRecord(const ReceiverSnapshot& snapshot) {
    NavLibMessage31 record{};
    record.At1 = static_cast<std::uint8_t>(snapshot.satellitesUsed);
    record.At4 = static_cast<float>(kClockDriftHz);
    record.At39 = snapshot.gps.towSeconds;
    record.At47 = kClockBiasNs * 1e-9;
    record.At55 = kClockDriftHz / kL1Hz;
    return record;
}

std::vector<std::uint8_t> Frame(std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> frame(payload.size() + kFrameOverhead);
    frame.resize(WriteFrame(payload, frame));
    return frame;
}

}  // namespace vexa::sim
