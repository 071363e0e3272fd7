#include "sim/sample_capture.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <span>
#include <string>

#include "receiver/binary/coordinate_conversion.h"
#include "receiver/frames/frame_format.h"
#include "receiver/frames/frame_writer.h"
#include "receiver/binary/message_ids.h"
#include "receiver/binary/message_writer.h"
#include "receiver/nmea/nmea_checksum.h"
#include "receiver/binary/records.h"
#include "sim/gps_time.h"
#include "sim/simulated_receiver.h"

namespace vexa {
namespace {

constexpr double kOriginLatitude = 37.3875;
constexpr double kOriginLongitude = -121.9720;
constexpr double kOriginAltitude = 25.0;
constexpr double kNorthSpeed = 3.0;  // m/s
constexpr double kEastSpeed = 4.0;
constexpr std::uint16_t kWeek = 2400;
constexpr std::uint32_t kStartTowSeconds = 4 * 86400 + 10 * 3600 + 18;  // Thursday 10:00:00 UTC
constexpr double kDegree = 0.017453292519943295;
constexpr double kSemiMajorAxis = 6378137.0;
constexpr double kE2 = 0.0066943799901413165;

struct Satellite {
    std::uint8_t prn;
    double azimuth;    // degrees at the start
    double elevation;  // degrees at the start
    std::uint8_t cn0;
    bool used;
};

constexpr std::array<Satellite, 10> kSky = {{
    {2, 45.0, 62.0, 47, true},
    {5, 130.5, 35.0, 44, true},
    {7, 201.0, 18.5, 38, true},
    {12, 310.5, 55.0, 46, true},
    {15, 88.5, 12.0, 33, false},
    {18, 256.5, 41.0, 43, true},
    {21, 15.0, 27.5, 40, true},
    {24, 168.0, 73.0, 48, true},
    {26, 283.5, 8.0, 30, false},
    {29, 112.5, 22.0, 39, true},
}};

struct Fix {
    double latitude;   // degrees
    double longitude;  // degrees
    double altitude;   // metres
    std::array<double, 3> ecef;
    std::array<double, 3> velocity;  // m/s, ECEF
};

Fix FixAt(int second) {
    const double north = kNorthSpeed * second;
    const double east = kEastSpeed * second;
    const double metresPerDegreeLatitude = 111132.954;
    Fix fix;
    fix.latitude = kOriginLatitude + north / metresPerDegreeLatitude;
    fix.longitude = kOriginLongitude + east / MetresPerDegreeLongitude(kOriginLatitude);
    fix.altitude = kOriginAltitude;
    const double lat = fix.latitude * kDegree;
    const double lon = fix.longitude * kDegree;
    const double n = kSemiMajorAxis / std::sqrt(1.0 - kE2 * std::sin(lat) * std::sin(lat));
    fix.ecef = {(n + fix.altitude) * std::cos(lat) * std::cos(lon), (n + fix.altitude) * std::cos(lat) * std::sin(lon),
                (n * (1.0 - kE2) + fix.altitude) * std::sin(lat)};
    const Rotation ned = LocalNorthEastDown(lat, lon);
    for (int axis = 0; axis < 3; ++axis) fix.velocity[axis] = kNorthSpeed * ned[0][axis] + kEastSpeed * ned[1][axis];
    return fix;
}

double Azimuth(const Satellite& satellite, int second) { return std::fmod(satellite.azimuth + 0.05 * second, 360.0); }
// Rises for 800 seconds, then starts again, so that long captures stay below the zenith.
double Elevation(const Satellite& satellite, int second) { return satellite.elevation + 0.02 * (second % 800); }
std::uint8_t Cn0(const Satellite& satellite, int second, int sample) {
    return static_cast<std::uint8_t>(satellite.cn0 + (second + sample) % 3);
}

class CaptureWriter {
public:
    explicit CaptureWriter(SampleCaptureContents& contents) : contents_(contents) {}

    void frame(std::span<const std::uint8_t> payload) {
        append(payload);
        ++contents_.frames;
    }
    void sentence(const std::string& body) {
        const std::string text = WithNmeaChecksum(body);
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        ++contents_.sentences;
    }
    // A frame whose checksum is off by one.
    void badChecksum(std::span<const std::uint8_t> payload) {
        const std::size_t start = append(payload);
        bytes_[start + 4 + payload.size() + 1] ^= 0x01;
        ++contents_.refusedFrames;
    }
    // A frame ending in B0 B2.
    void badEndSequence(std::span<const std::uint8_t> payload) {
        append(payload);
        bytes_.back() = 0xB2;
        ++contents_.refusedFrames;
    }
    // A frame announcing no payload at all.
    void badLength() {
        const std::uint8_t empty[] = {kFrameStart1, kFrameStart2, 0x00, 0x00, 0x00, 0x00, kFrameEnd1, kFrameEnd2};
        bytes_.insert(bytes_.end(), std::begin(empty), std::end(empty));
        ++contents_.refusedFrames;
    }

    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    std::size_t append(std::span<const std::uint8_t> payload) {
        const std::size_t start = bytes_.size();
        bytes_.resize(start + payload.size() + kFrameOverhead);
        WriteFrame(payload, std::span(bytes_).subspan(start));
        return start;
    }

    SampleCaptureContents& contents_;
    std::vector<std::uint8_t> bytes_;
};

std::uint32_t TowCentiseconds(int second) { return (kStartTowSeconds + second) * 100u; }

NavData Navigation(const Fix& fix, int second) {
    NavData nav{};
    nav.X = static_cast<std::int32_t>(std::lround(fix.ecef[0]));
    nav.Y = static_cast<std::int32_t>(std::lround(fix.ecef[1]));
    nav.Z = static_cast<std::int32_t>(std::lround(fix.ecef[2]));
    nav.VX = static_cast<std::int16_t>(std::lround(fix.velocity[0] * 8));
    nav.VY = static_cast<std::int16_t>(std::lround(fix.velocity[1] * 8));
    nav.VZ = static_cast<std::int16_t>(std::lround(fix.velocity[2] * 8));
    nav.Mode1 = 4;
    nav.Hdop = 5;
    nav.Week = kWeek;
    nav.Tow = TowCentiseconds(second);
    std::size_t channel = 0;
    for (const Satellite& satellite : kSky) {
        if (satellite.used) nav.SvPrn[channel] = satellite.prn;
        ++channel;
    }
    nav.SvCount = 8;
    return nav;
}

TrackData Tracking(int second) {
    TrackData track{};
    track.Week = kWeek;
    track.Tow = TowCentiseconds(second);
    track.ChannelCount = kTrackChannels;
    for (std::size_t channel = 0; channel < kSky.size(); ++channel) {
        const Satellite& satellite = kSky[channel];
        TrackChannel& entry = track.Channels[channel];
        entry.Prn = satellite.prn;
        entry.Azimuth = static_cast<std::uint8_t>(Azimuth(satellite, second) / 1.5);
        entry.Elevation = static_cast<std::uint8_t>(Elevation(satellite, second) / 0.5);
        entry.State = satellite.used ? 0xBF : 0x3F;
        for (std::size_t sample = 0; sample < kCn0Samples; ++sample) {
            entry.Cn0[sample] = Cn0(satellite, second, static_cast<int>(sample));
        }
    }
    return track;
}

ClockStatus ClockStatusAt(int second) {
    ClockStatus clock{};
    clock.Week = kWeek;
    clock.TOW = TowCentiseconds(second);
    clock.SVCnt = 8;
    clock.ClockDrift = 94315 + static_cast<std::uint32_t>(second % 7);
    clock.ClockBias = 96211 + 11 * static_cast<std::uint32_t>(second);
    clock.EstGPSTime = (kStartTowSeconds + static_cast<std::uint32_t>(second)) * 1000u + 82;
    return clock;
}

VisibleList Visible(int second) {
    VisibleList visible{};
    visible.Count = static_cast<std::uint8_t>(kSky.size());
    for (std::size_t i = 0; i < kSky.size(); ++i) {
        visible.Satellites[i] = {kSky[i].prn, static_cast<std::int16_t>(Azimuth(kSky[i], second)),
                                 static_cast<std::int16_t>(Elevation(kSky[i], second))};
    }
    return visible;
}

GeoNavData Geodetic(const Fix& fix, int second) {
    GeoNavData geo{};
    const std::uint32_t utcSecond = static_cast<std::uint32_t>(second);
    geo.NavType = 4;
    geo.Week = kWeek;
    geo.Tow = (kStartTowSeconds + utcSecond) * 1000u;
    geo.UtcYear = 2026;
    geo.UtcMonth = 1;
    geo.UtcDay = 8;
    geo.UtcHour = 10;
    geo.UtcMinute = 0;
    geo.UtcSecond = static_cast<std::uint16_t>(utcSecond * 1000);
    geo.Latitude = static_cast<std::int32_t>(std::lround(fix.latitude * 1e7));
    geo.Longitude = static_cast<std::int32_t>(std::lround(fix.longitude * 1e7));
    geo.AltitudeEllipsoid = static_cast<std::int32_t>(std::lround(fix.altitude * 100));
    geo.AltitudeMsl = static_cast<std::int32_t>(std::lround((fix.altitude + 32.0) * 100));
    geo.MapDatum = 21;
    geo.SpeedOverGround = 500;
    geo.CourseOverGround = 5313;
    geo.SvCount = 8;
    geo.Hdop = 5;
    return geo;
}

// The capture starts at 10:00:00 UTC; the day is not counted.
int UtcHour(int second) { return (10 + second / 3600) % 24; }

std::string NmeaTime(int second) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%02d.000", UtcHour(second), second / 60 % 60, second % 60);
    return text;
}

// Degrees as NMEA's ddmm.mmmm with its hemisphere letter.
std::string NmeaAngle(double degrees, int degreeDigits, char positive, char negative) {
    const double magnitude = std::fabs(degrees);
    const int whole = static_cast<int>(magnitude);
    char text[32];
    std::snprintf(text, sizeof text, "%0*d%07.4f,%c", degreeDigits, whole, (magnitude - whole) * 60.0,
                  degrees < 0 ? negative : positive);
    return text;
}

std::string Gga(const Fix& fix, int second) {
    char body[128];
    std::snprintf(body, sizeof body, "$GPGGA,%s,%s,%s,1,08,1.0,%.1f,M,-32.0,M,,0000", NmeaTime(second).c_str(),
                  NmeaAngle(fix.latitude, 2, 'N', 'S').c_str(), NmeaAngle(fix.longitude, 3, 'E', 'W').c_str(),
                  fix.altitude + 32.0);
    return body;
}

std::string Rmc(const Fix& fix, int second) {
    char body[128];
    std::snprintf(body, sizeof body, "$GPRMC,%s,A,%s,%s,9.72,53.13,080126,,,A", NmeaTime(second).c_str(),
                  NmeaAngle(fix.latitude, 2, 'N', 'S').c_str(), NmeaAngle(fix.longitude, 3, 'E', 'W').c_str());
    return body;
}

}  // namespace

std::vector<std::uint8_t> MakeSampleCapture(SampleCaptureContents* contents, int seconds) {
    SampleCaptureContents counted;
    CaptureWriter writer(counted);
    for (int second = 0; second < seconds; ++second) {
        const Fix fix = FixAt(second);
        writer.frame(MessagePayload(Navigation(fix, second)));
        writer.frame(MessagePayload(Tracking(second)));
        writer.sentence(Gga(fix, second));
        writer.frame(MessagePayload(ClockStatusAt(second)));
        writer.frame(MessagePayload(Throughput{12, static_cast<std::uint16_t>(38 + second % 5), 21, 95}));
        writer.sentence(Rmc(fix, second));
        writer.frame(MessagePayload(Geodetic(fix, second)));
        if (second % 10 == 0) writer.frame(MessagePayload(Visible(second)));
        if (second % 5 == 2) {
            char text[64];
            std::snprintf(text, sizeof text, "Nav: %d SVs, clock drift %u Hz", 8, ClockStatusAt(second).ClockDrift);
            writer.frame(TextPayload(ToWire(MessageId::DevelopmentText), text));
        }
        if (second % 3600 == 3) {
            TtffReport report{};
            report.SubId = kTtffSubId;
            report.TimeToFirstFix = 325;
            writer.frame(MessagePayload(report));
        }
        if (second % 60 == 17) writer.badChecksum(MessagePayload(ClockStatusAt(second)));
        if (second % 60 == 29) writer.badLength();
        if (second % 60 == 41) writer.badEndSequence(MessagePayload(Throughput{1, 2, 3, 4}));
    }
    counted.seconds = seconds;
    if (contents != nullptr) *contents = counted;
    return writer.take();
}

namespace {

// Collects the simulated receiver's output, frames and sentences alike, in the order it sends them.
class CaptureCollector : public sim::ReceiverOutput {
public:
    void send(std::vector<std::uint8_t> message) override { bytes.insert(bytes.end(), message.begin(), message.end()); }
    void changeLine(sim::Protocol, int) override {}
    std::vector<std::uint8_t> bytes;
};

}  // namespace

std::vector<std::uint8_t> MakeNmeaCapture(int seconds) {
    sim::ReceiverConfig config;
    config.protocol = sim::Protocol::Nmea;
    // From the binary sample's first second on: both samples tell of one day, in a year that the
    // two digits of an NMEA date name without doubt.
    config.startUnixSeconds = sim::UnixFromGpsTime({kWeek, kStartTowSeconds});
    config.constellations = {sim::Constellation::Gps, sim::Constellation::Glonass, sim::Constellation::Galileo,
                             sim::Constellation::BeiDou};
    CaptureCollector collector;
    sim::SimulatedReceiver receiver(config, collector);
    for (int second = 0; second < seconds; ++second) receiver.outputEpoch(second);
    return std::move(collector.bytes);
}

}  // namespace vexa
