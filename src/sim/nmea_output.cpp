#include "sim/nmea_output.h"

#include <cmath>

#include "receiver/nmea/nmea_checksum.h"
#include "sim/nmea_fields.h"
#include "sim/text_format.h"

namespace vexa::sim {
namespace {

constexpr int kSatellitesPerGsv = 4;
constexpr int kTimeDecimals = 3;

std::string Gga(const ReceiverSnapshot& snapshot, const UtcTime& utc) {
    std::string body = "$GPGGA," + TimeField(utc, kTimeDecimals) + "," + PositionFields(snapshot) + ",";
    if (!snapshot.hasFix()) return body + "0,00,,,M,,M,,";
    return body + FormatText("1,%02d,%.1f,%.1f,M,0.0,M,,", snapshot.satellitesUsed, snapshot.hdop,
                             snapshot.position.altitudeM);
}

std::string Gsa(const ReceiverSnapshot& snapshot) {
    const int mode = snapshot.fixMode == kFix3D ? 3 : snapshot.fixMode == kFix2D ? 2 : 1;
    std::string body = FormatText("$GPGSA,A,%d", mode);
    for (const ChannelReport& channel : snapshot.channels) {
        body += channel.usedInFix ? FormatText(",%02d", channel.prn) : ",";
    }
    if (!snapshot.hasFix()) return body + ",,,";
    return body + FormatText(",%.1f,%.1f,%.1f", snapshot.pdop, snapshot.hdop, snapshot.vdop);
}

std::vector<std::string> Gsv(const ReceiverSnapshot& snapshot) {
    std::vector<const ChannelReport*> inView;
    for (const ChannelReport& channel : snapshot.channels) {
        if (channel.prn != 0) inView.push_back(&channel);
    }
    const int count = static_cast<int>(inView.size());
    const int sentences = std::max(1, (count + kSatellitesPerGsv - 1) / kSatellitesPerGsv);
    std::vector<std::string> bodies;
    for (int index = 0; index < sentences; ++index) {
        std::string body = FormatText("$GPGSV,%d,%d,%02d", sentences, index + 1, count);
        for (int i = index * kSatellitesPerGsv; i < std::min(count, (index + 1) * kSatellitesPerGsv); ++i) {
            const ChannelReport& channel = *inView[i];
            body += FormatText(",%02d,%02d,%03d,", channel.prn, static_cast<int>(std::lround(channel.elevationDeg)),
                               static_cast<int>(std::lround(channel.azimuthDeg)) % 360);
            if (channel.state == kStateTracking) body += FormatText("%02d", AverageCn0(channel));
        }
        bodies.push_back(std::move(body));
    }
    return bodies;
}

std::string Rmc(const ReceiverSnapshot& snapshot, const UtcTime& utc) {
    std::string body = "$GPRMC," + TimeField(utc, kTimeDecimals) + (snapshot.hasFix() ? ",A," : ",V,") + PositionFields(snapshot);
    if (!snapshot.hasFix()) return body + ",,," + DateField(utc) + ",,,N";
    return body + FormatText(",%.1f,%.1f,", snapshot.speed() * kKnotsPerMetrePerSecond, snapshot.courseDeg()) +
           DateField(utc) + ",,,A";
}

}  // namespace

std::vector<std::string> NmeaSentences(const ReceiverSnapshot& snapshot, const NmeaRates& rates, std::int64_t second) {
    const UtcTime utc = UtcFromUnix(snapshot.unixSeconds);
    std::vector<std::string> sentences;
    if (Due(rates.gga, second)) {
        sentences.push_back(WithNmeaChecksum(Gga(snapshot, utc)));
        // Inside the cycle, never its last sentence: with or without a fix the cycle ends the same.
        if (const auto gst = Gst(snapshot, utc, "GP", kTimeDecimals)) sentences.push_back(WithNmeaChecksum(*gst));
    }
    if (Due(rates.gsa, second)) sentences.push_back(WithNmeaChecksum(Gsa(snapshot)));
    if (Due(rates.gsv, second)) {
        for (const std::string& body : Gsv(snapshot)) sentences.push_back(WithNmeaChecksum(body));
    }
    if (Due(rates.rmc, second)) sentences.push_back(WithNmeaChecksum(Rmc(snapshot, utc)));
    return sentences;
}

}  // namespace vexa::sim
