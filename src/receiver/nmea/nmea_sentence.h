#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>

namespace vexa {

// The constellation a sentence speaks for, from its talker or its system id.
enum class NmeaSystem : std::uint8_t { Mixed, Gps, Glonass, Galileo, BeiDou, Qzss, Navic };

struct NmeaDate {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const NmeaDate&, const NmeaDate&) = default;
};

struct NmeaPosition {
    double latitude = 0.0;   // degrees, north positive
    double longitude = 0.0;  // degrees, east positive
};

// Milliseconds since UTC midnight.
using NmeaTimeOfDay = std::int32_t;

struct GgaSentence {
    std::optional<NmeaTimeOfDay> time;
    std::optional<NmeaPosition> position;
    std::optional<int> quality;  // 0 invalid, 1 GPS, 2 DGPS, 3 PPS, 4 RTK fixed, 5 RTK float, 6 estimated, 7 manual, 8 simulated
    std::optional<int> satellitesUsed;
    std::optional<double> hdop;
    std::optional<double> altitudeMsl;       // metres
    std::optional<double> geoidSeparation;  // metres, ellipsoid below mean sea level is negative
};

struct RmcSentence {
    std::optional<NmeaTimeOfDay> time;
    std::optional<bool> valid;  // status A or V
    std::optional<NmeaPosition> position;
    std::optional<double> speedKnots;
    std::optional<double> course;  // degrees true
    std::optional<NmeaDate> date;
    std::optional<char> mode;  // A D E F M N P R S (NMEA 2.3 on)
};

struct GllSentence {
    std::optional<NmeaPosition> position;
    std::optional<NmeaTimeOfDay> time;
    std::optional<bool> valid;
    std::optional<char> mode;
};

struct GnsSentence {
    std::optional<NmeaTimeOfDay> time;
    std::optional<NmeaPosition> position;
    // One letter per constellation (GPS, GLONASS, Galileo, BeiDou, QZSS, NavIC), zero-terminated.
    std::array<char, 8> modes{};
    std::optional<int> satellitesUsed;
    std::optional<double> hdop;
    std::optional<double> altitudeMsl;
    std::optional<double> geoidSeparation;

    std::string_view modeLetters() const { return std::string_view(modes.data()); }
};

struct GsaSentence {
    static constexpr std::size_t kSlots = 12;
    std::optional<int> fixType;  // 1 none, 2 2D, 3 3D
    std::array<int, kSlots> used{};  // satellite numbers, 0 for an empty slot
    std::optional<double> pdop;
    std::optional<double> hdop;
    std::optional<double> vdop;
    std::optional<NmeaSystem> system;  // from the system id (NMEA 4.10 on)
};

struct GsvSatellite {
    int number = 0;
    std::optional<double> elevation;
    std::optional<double> azimuth;
    std::optional<double> cn0;
};

struct GsvSentence {
    static constexpr std::size_t kSlots = 4;
    int total = 0;  // sentences in the cycle
    int index = 0;  // this one, from 1
    std::optional<int> inView;
    std::array<GsvSatellite, kSlots> satellites{};
    std::size_t count = 0;
    std::uint8_t signal = 0;  // signal id (NMEA 4.10 on), 0 when absent
};

struct VtgSentence {
    std::optional<double> courseTrue;
    std::optional<double> speedKnots;
    std::optional<double> speedKmh;
    std::optional<char> mode;
};

struct ZdaSentence {
    std::optional<NmeaTimeOfDay> time;
    std::optional<NmeaDate> date;
};

// The receiver's own estimate of its position error, 1 sigma in metres.
struct GstSentence {
    std::optional<NmeaTimeOfDay> time;
    std::optional<double> rangeRms;
    std::optional<double> sigmaLatitude;
    std::optional<double> sigmaLongitude;
    std::optional<double> sigmaAltitude;
};

using NmeaData = std::variant<GgaSentence, RmcSentence, GllSentence, GnsSentence, GsaSentence, GsvSentence, VtgSentence,
                              ZdaSentence, GstSentence>;

// The three letters after the talker.
enum class NmeaType : std::uint8_t { Gga, Rmc, Gll, Gns, Gsa, Gsv, Vtg, Zda, Gst };

struct NmeaSentence {
    char talker[2] = {};
    NmeaSystem system = NmeaSystem::Mixed;  // from the talker
    NmeaType type = NmeaType::Gga;
    NmeaData data;
};

enum class NmeaParseStatus : std::uint8_t {
    Parsed,
    Ignored,      // a sentence this program does not read: proprietary, other instruments, unknown types
    BadChecksum,  // refused
    Malformed,    // not a sentence at all, or a required field unreadable
};

struct NmeaParseResult {
    NmeaParseStatus status = NmeaParseStatus::Malformed;
    NmeaSentence sentence;
};

// Reads one sentence, from "$" to the end of its line (CR LF optional). Works in place, allocates
// nothing. A sentence without a checksum is taken; one with a wrong checksum is refused.
NmeaParseResult ParseNmeaSentence(std::string_view line);

}  // namespace vexa
