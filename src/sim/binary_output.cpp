#include "sim/binary_output.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "receiver/binary/nav_mode_bits.h"
#include "receiver/frames/frame_format.h"
#include "receiver/frames/frame_writer.h"

namespace vexa::sim {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
constexpr double kSpeedOfLight = 299792458.0;
constexpr double kL1Hz = 1575.42e6;
constexpr double kWgs84Datum = 21;
constexpr std::uint32_t kClockDriftHz = 94315;
constexpr std::uint32_t kClockBiasNs = 103240;

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
    record.Mode1 = static_cast<std::uint8_t>(snapshot.fixMode | (snapshot.timedPower ? kTimedPowerMode : 0));
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
    record.NavValid = snapshot.hasFix() ? 0 : 1;  // navigation valid: 0 when valid
    record.NavType = static_cast<std::uint16_t>(snapshot.fixMode | (snapshot.timedPower ? kTimedPowerMode : 0));
    record.Week = static_cast<std::uint16_t>(snapshot.gps.week);
    record.Tow = static_cast<std::uint32_t>(std::llround(snapshot.gps.towSeconds * 1000.0));
    record.UtcYear = static_cast<std::uint16_t>(utc.year);
    record.UtcMonth = static_cast<std::uint8_t>(utc.month);
    record.UtcDay = static_cast<std::uint8_t>(utc.day);
    record.UtcHour = static_cast<std::uint8_t>(utc.hour);
    record.UtcMinute = static_cast<std::uint8_t>(utc.minute);
    record.UtcSecond = static_cast<std::uint16_t>(std::lround(utc.second * 1000.0));
    for (const ChannelReport& channel : snapshot.channels) {
        if (channel.usedInFix && channel.prn >= 1 && channel.prn <= 32) record.SatellitesUsed |= 1u << (channel.prn - 1);
    }
    record.MapDatum = kWgs84Datum;
    record.SvCount = static_cast<std::uint8_t>(snapshot.satellitesUsed);
    record.Hdop = static_cast<std::uint8_t>(std::clamp<long>(std::lround(snapshot.hdop * 5.0), 0, 255));
    if (!snapshot.hasFix()) return record;
    record.Latitude = Rounded32(snapshot.position.latitudeDeg * 1e7);
    record.Longitude = Rounded32(snapshot.position.longitudeDeg * 1e7);
    record.AltitudeEllipsoid = Rounded32(snapshot.position.altitudeM * 100.0);
    record.AltitudeMsl = record.AltitudeEllipsoid;  // the simulated geoid lies on the ellipsoid
    record.SpeedOverGround = static_cast<std::uint16_t>(std::lround(snapshot.speed() * 100.0));
    record.CourseOverGround = static_cast<std::uint16_t>(std::lround(snapshot.courseDeg() * 100.0) % 36000);
    record.ClimbRate = Rounded16(snapshot.velocity.up * 100.0);
    record.HorizontalPositionError = static_cast<std::uint32_t>(std::lround(snapshot.hdop * 300.0));  // horizontal error, cm
    record.VerticalPositionError = static_cast<std::uint32_t>(std::lround(snapshot.vdop * 450.0));  // vertical error, cm
    record.TimeError = static_cast<std::uint32_t>(std::lround(snapshot.pdop * 540.0));
    record.HorizontalVelocityError = static_cast<std::uint16_t>(std::lround(snapshot.hdop * 10.0));    // velocity error, cm/s
    record.ClockBias = static_cast<std::int32_t>(kClockBiasNs * kSpeedOfLight * 1e-9 * 100.0);
    record.ClockDrift = static_cast<std::int32_t>(kClockDriftHz * kSpeedOfLight / kL1Hz * 100.0);
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

NavLibDgpsData NavLibDgpsRecord(const ReceiverSnapshot& snapshot) {
    // The simulated receiver has no differential corrections: the first satellite in use, source none.
    NavLibDgpsData record{};
    for (const ChannelReport& channel : snapshot.channels) {
        if (!channel.usedInFix) continue;
        record.SvId = static_cast<std::int16_t>(channel.prn);
        break;
    }
    return record;
}

NavLibSatelliteState NavLibSatelliteRecord(const ReceiverSnapshot& snapshot, int channel) {
    const ChannelReport& report = snapshot.channels[channel];
    NavLibSatelliteState record{};
    record.SvId = static_cast<std::uint8_t>(report.prn);
    record.GpsTime = snapshot.gps.towSeconds;
    const double range = RangeTo(report);
    const double azimuth = report.azimuthDeg * kRadiansPerDegree;
    const double elevation = report.elevationDeg * kRadiansPerDegree;
    record.Position[0] = snapshot.ecef.x + range * std::cos(elevation) * std::sin(azimuth);
    record.Position[1] = snapshot.ecef.y + range * std::cos(elevation) * std::cos(azimuth);
    record.Position[2] = snapshot.ecef.z + range * std::sin(elevation);
    record.Velocity[0] = -3000.0 * std::sin(azimuth);
    record.Velocity[1] = 3000.0 * std::cos(azimuth);
    record.Velocity[2] = 500.0 * std::cos(elevation);
    record.ClockBias = kClockBiasNs * 1e-9;
    record.ClockDrift = static_cast<float>(kClockDriftHz / kL1Hz);
    record.EphemerisFlag = 1;
    record.IonosphericDelay = static_cast<float>(4.0 / std::max(0.1, std::sin(elevation)));
    return record;
}

NavLibInitialisation NavLibInitialisationRecord(const ReceiverSnapshot& snapshot, int navigationMaskTenths) {
    NavLibInitialisation record{};
    record.Altitude = static_cast<float>(snapshot.position.altitudeM);
    record.ElevationMask = static_cast<std::int16_t>(navigationMaskTenths);
    record.PositionX = snapshot.ecef.x;
    record.PositionY = snapshot.ecef.y;
    record.PositionZ = snapshot.ecef.z;
    record.GpsTime = snapshot.gps.towSeconds;
    record.Week = static_cast<std::int16_t>(snapshot.gps.week);
    record.ClockDrift = kClockDriftHz;
    return record;
}

std::vector<std::uint8_t> Frame(std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> frame(payload.size() + kFrameOverhead);
    frame.resize(WriteFrame(payload, frame));
    return frame;
}

}  // namespace vexa::sim
