#include "sim/nmea_gnss_output.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "receiver/nmea/nmea_checksum.h"
#include "sim/nmea_fields.h"
#include "sim/text_format.h"

namespace vexa::sim {
namespace {

constexpr int kSatellitesPerGsv = 4;
constexpr int kSatellitesPerGsa = 12;
constexpr int kTimeDecimals = 2;
constexpr int kSbasNumberOffset = 87;     // SBAS PRN 120 is NMEA satellite 33
constexpr int kGlonassNumberOffset = 64;  // GLONASS slot 1 is NMEA satellite 65

// The systems of the GNS mode string, in its order.
constexpr Constellation kGnsModeOrder[] = {Constellation::Gps,    Constellation::Glonass, Constellation::Galileo,
                                           Constellation::BeiDou, Constellation::Qzss,    Constellation::NavIC};

// GPS and SBAS share GPS's talker and system id.
std::string_view Talker(Constellation system) {
    switch (system) {
        case Constellation::Gps:
        case Constellation::Sbas: return "GP";
        case Constellation::Glonass: return "GL";
        case Constellation::Galileo: return "GA";
        case Constellation::BeiDou: return "GB";
        case Constellation::Qzss: return "GQ";
        case Constellation::NavIC: return "GI";
    }
    return "GP";
}

int SystemId(Constellation system) {
    switch (system) {
        case Constellation::Gps:
        case Constellation::Sbas: return 1;
        case Constellation::Glonass: return 2;
        case Constellation::Galileo: return 3;
        case Constellation::BeiDou: return 4;
        case Constellation::Qzss: return 5;
        case Constellation::NavIC: return 6;
    }
    return 1;
}

// The signal each system's satellites are tracked on: L1 C/A, GLONASS L1OF, Galileo E1 B/C, BeiDou B1I,
// NavIC L5 SPS.
int SignalId(Constellation system) {
    return system == Constellation::Galileo ? 7 : 1;
}

int NmeaNumber(const ChannelReport& satellite) {
    switch (satellite.system) {
        case Constellation::Sbas: return satellite.prn - kSbasNumberOffset;
        case Constellation::Glonass: return satellite.prn + kGlonassNumberOffset;
        default: return satellite.prn;
    }
}

std::vector<const ChannelReport*> InView(const ReceiverSnapshot& snapshot) {
    std::vector<const ChannelReport*> satellites;
    for (const ChannelReport& channel : snapshot.channels) {
        if (channel.prn != 0) satellites.push_back(&channel);
    }
    for (const ChannelReport& satellite : snapshot.otherSatellites) {
        if (satellite.prn != 0) satellites.push_back(&satellite);
    }
    return satellites;
}

bool UsesSystem(const std::vector<const ChannelReport*>& satellites, Constellation system) {
    return std::any_of(satellites.begin(), satellites.end(), [system](const ChannelReport* satellite) {
        return satellite->system == system && satellite->usedInFix;
    });
}

// Satellites of the given talker, by their NMEA number.
std::vector<const ChannelReport*> OfTalker(const std::vector<const ChannelReport*>& satellites,
                                           std::string_view talker) {
    std::vector<const ChannelReport*> chosen;
    for (const ChannelReport* satellite : satellites) {
        if (Talker(satellite->system) == talker) chosen.push_back(satellite);
    }
    std::sort(chosen.begin(), chosen.end(),
              [](const ChannelReport* a, const ChannelReport* b) { return NmeaNumber(*a) < NmeaNumber(*b); });
    return chosen;
}

std::string FixTalker(const Constellations& constellations) {
    const bool onlyGps = std::all_of(constellations.begin(), constellations.end(), [](Constellation system) {
        return system == Constellation::Gps || system == Constellation::Sbas;
    });
    return onlyGps ? "GP" : "GN";
}

std::string Gga(const ReceiverSnapshot& snapshot, const UtcTime& utc, const std::string& talker) {
    std::string body = "$" + talker + "GGA," + TimeField(utc, kTimeDecimals) + "," + PositionFields(snapshot) + ",";
    if (!snapshot.hasFix()) return body + "0,00,,,M,,M,,";
    return body + FormatText("1,%02d,%.1f,%.1f,M,0.0,M,,", snapshot.satellitesUsed, snapshot.hdop,
                             snapshot.position.altitudeM);
}

std::string Gns(const ReceiverSnapshot& snapshot, const UtcTime& utc, const std::string& talker,
                const Constellations& constellations, const std::vector<const ChannelReport*>& inView) {
    std::size_t modeLength = 2;  // GPS and GLONASS at least
    for (std::size_t i = 0; i < std::size(kGnsModeOrder); ++i) {
        if (std::find(constellations.begin(), constellations.end(), kGnsModeOrder[i]) != constellations.end()) {
            modeLength = std::max(modeLength, i + 1);
        }
    }
    std::string modes;
    for (std::size_t i = 0; i < modeLength; ++i) {
        modes += snapshot.hasFix() && UsesSystem(inView, kGnsModeOrder[i]) ? 'A' : 'N';
    }
    std::string body = "$" + talker + "GNS," + TimeField(utc, kTimeDecimals) + "," + PositionFields(snapshot) + "," +
                       modes + FormatText(",%02d,", snapshot.satellitesUsed);
    if (!snapshot.hasFix()) return body + ",,,,,V";
    return body + FormatText("%.1f,%.1f,0.0,,,V", snapshot.hdop, snapshot.position.altitudeM);
}

std::vector<std::string> Gsa(const ReceiverSnapshot& snapshot, const std::string& talker,
                             const Constellations& constellations, const std::vector<const ChannelReport*>& inView) {
    const int mode = snapshot.fixMode == kFix3D ? 3 : snapshot.fixMode == kFix2D ? 2 : 1;
    const std::string dops = snapshot.hasFix()
                                 ? FormatText("%.1f,%.1f,%.1f", snapshot.pdop, snapshot.hdop, snapshot.vdop)
                                 : std::string(",,");
    std::vector<std::string> bodies;
    for (const Constellation system : constellations) {
        if (system == Constellation::Sbas) continue;  // its satellites are never used in the fix
        std::vector<int> used;
        for (const ChannelReport* satellite : OfTalker(inView, Talker(system))) {
            if (satellite->usedInFix) used.push_back(NmeaNumber(*satellite));
        }
        // Every system has a sentence; more than twelve satellites in use take more than one.
        for (std::size_t first = 0; first == 0 || first < used.size(); first += kSatellitesPerGsa) {
            std::string body = "$" + talker + FormatText("GSA,A,%d", mode);
            for (std::size_t slot = first; slot < first + kSatellitesPerGsa; ++slot) {
                body += slot < used.size() ? FormatText(",%02d", used[slot]) : std::string(",");
            }
            bodies.push_back(body + "," + dops + FormatText(",%X", SystemId(system)));
        }
    }
    return bodies;
}

std::vector<std::string> Gsv(const Constellations& constellations, const std::vector<const ChannelReport*>& inView) {
    std::vector<std::string> bodies;
    for (const Constellation system : constellations) {
        if (system == Constellation::Sbas) continue;  // in GPS's sentences
        const std::string_view talker = Talker(system);
        const auto satellites = OfTalker(inView, talker);
        const int count = static_cast<int>(satellites.size());
        const int sentences = std::max(1, (count + kSatellitesPerGsv - 1) / kSatellitesPerGsv);
        for (int index = 0; index < sentences; ++index) {
            std::string body = "$" + std::string(talker) + FormatText("GSV,%d,%d,%02d", sentences, index + 1, count);
            for (int i = index * kSatellitesPerGsv; i < std::min(count, (index + 1) * kSatellitesPerGsv); ++i) {
                const ChannelReport& satellite = *satellites[i];
                body += FormatText(",%02d,%02d,%03d,", NmeaNumber(satellite),
                                   static_cast<int>(std::lround(satellite.elevationDeg)),
                                   static_cast<int>(std::lround(satellite.azimuthDeg)) % 360);
                if (satellite.state == kStateTracking) body += FormatText("%02d", AverageCn0(satellite));
            }
            bodies.push_back(body + FormatText(",%X", SignalId(system)));
        }
    }
    return bodies;
}

std::string Rmc(const ReceiverSnapshot& snapshot, const UtcTime& utc, const std::string& talker) {
    std::string body = "$" + talker + "RMC," + TimeField(utc, kTimeDecimals) + (snapshot.hasFix() ? ",A," : ",V,") +
                       PositionFields(snapshot);
    if (!snapshot.hasFix()) return body + ",,," + DateField(utc) + ",,,N,V";
    return body + FormatText(",%.2f,%.1f,", snapshot.speed() * kKnotsPerMetrePerSecond, snapshot.courseDeg()) +
           DateField(utc) + ",,,A,V";
}

std::string Vtg(const ReceiverSnapshot& snapshot, const std::string& talker) {
    if (!snapshot.hasFix()) return "$" + talker + "VTG,,T,,M,,N,,K,N";
    const double speed = snapshot.speed();
    return "$" + talker +
           FormatText("VTG,%.1f,T,,M,%.2f,N,%.2f,K,A", snapshot.courseDeg(), speed * kKnotsPerMetrePerSecond,
                      speed * kKilometresPerHourPerMetrePerSecond);
}

std::string Zda(const UtcTime& utc, const std::string& talker) {
    return "$" + talker + "ZDA," + TimeField(utc, kTimeDecimals) +
           FormatText(",%02d,%02d,%04d,00,00", utc.day, utc.month, utc.year);
}

}  // namespace

std::vector<std::string> GnssNmeaSentences(const ReceiverSnapshot& snapshot, const NmeaRates& rates,
                                           std::int64_t second, const Constellations& constellations) {
    const UtcTime utc = UtcFromUnix(snapshot.unixSeconds);
    const std::string talker = FixTalker(constellations);
    const auto inView = InView(snapshot);
    std::vector<std::string> bodies;
    if (Due(rates.gga, second)) {
        bodies.push_back(Gga(snapshot, utc, talker));
        bodies.push_back(Gns(snapshot, utc, talker, constellations, inView));
        // Inside the cycle, never its last sentence: with or without a fix the cycle ends the same.
        if (auto gst = Gst(snapshot, utc, talker, kTimeDecimals)) bodies.push_back(std::move(*gst));
    }
    if (Due(rates.gsa, second)) {
        for (std::string& body : Gsa(snapshot, talker, constellations, inView)) bodies.push_back(std::move(body));
    }
    if (Due(rates.gsv, second)) {
        for (std::string& body : Gsv(constellations, inView)) bodies.push_back(std::move(body));
    }
    if (Due(rates.rmc, second)) bodies.push_back(Rmc(snapshot, utc, talker));
    if (Due(rates.vtg, second)) bodies.push_back(Vtg(snapshot, talker));
    if (Due(rates.zda, second)) bodies.push_back(Zda(utc, talker));

    std::vector<std::string> sentences;
    sentences.reserve(bodies.size());
    for (const std::string& body : bodies) sentences.push_back(WithNmeaChecksum(body));
    return sentences;
}

}  // namespace vexa::sim
