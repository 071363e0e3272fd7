#include "cli/gpsd_json.h"

#include <charconv>

#include "platform/json_string.h"

namespace vexa {
namespace {

void AppendNumber(std::string& line, double value, int decimals) {
    char digits[64];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    line.append(digits, result.ec == std::errc{} ? result.ptr : digits);
}

void AppendInteger(std::string& line, long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    line.append(digits, result.ptr);
}

void AppendField(std::string& line, const char* name, const std::optional<double>& value, int decimals) {
    if (!value) return;
    line += ",\"";
    line += name;
    line += "\":";
    AppendNumber(line, *value, decimals);
}

void AppendDigits(std::string& line, unsigned value, int width) {
    char digits[8];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    line.append(digits, static_cast<std::size_t>(width));
}

// ISO 8601 in UTC with milliseconds, as gpsd writes it: "2025-03-14T10:20:30.000Z".
void AppendTime(std::string& line, const std::optional<UtcTime>& time) {
    if (!time) return;
    using namespace std::chrono;
    const sys_days day = floor<days>(*time);
    const year_month_day date{day};
    const hh_mm_ss clock{*time - day};
    line += ",\"time\":\"";
    AppendDigits(line, static_cast<unsigned>(static_cast<int>(date.year())), 4);
    line += '-';
    AppendDigits(line, static_cast<unsigned>(date.month()), 2);
    line += '-';
    AppendDigits(line, static_cast<unsigned>(date.day()), 2);
    line += 'T';
    AppendDigits(line, static_cast<unsigned>(clock.hours().count()), 2);
    line += ':';
    AppendDigits(line, static_cast<unsigned>(clock.minutes().count()), 2);
    line += ':';
    AppendDigits(line, static_cast<unsigned>(clock.seconds().count()), 2);
    line += '.';
    AppendDigits(line, static_cast<unsigned>(clock.subseconds().count()), 3);
    line += "Z\"";
}

void AppendDevice(std::string& line, std::string_view device) {
    if (device.empty()) return;
    line += ",\"device\":";
    AppendJsonString(line, device);
}

}  // namespace

void AppendTpvReport(std::string& line, const GnssFix& fix, std::string_view device) {
    line += "{\"class\":\"TPV\"";
    AppendDevice(line, device);
    line += ",\"mode\":";
    AppendInteger(line, static_cast<int>(fix.mode));
    if (fix.quality >= FixQuality::Differential) {
        line += ",\"status\":";
        AppendInteger(line, static_cast<int>(fix.quality));
    }
    AppendTime(line, fix.time);
    AppendField(line, "lat", fix.latitude, 9);
    AppendField(line, "lon", fix.longitude, 9);
    AppendField(line, "altHAE", fix.altitudeHae, 3);
    AppendField(line, "altMSL", fix.altitudeMsl, 3);
    AppendField(line, "track", fix.track, 4);
    AppendField(line, "speed", fix.speed, 3);
    line += '}';
}

void AppendSkyReport(std::string& line, const GnssSky& sky, std::string_view device) {
    line += "{\"class\":\"SKY\"";
    AppendDevice(line, device);
    AppendTime(line, sky.time);
    AppendField(line, "hdop", sky.hdop, 2);
    AppendField(line, "vdop", sky.vdop, 2);
    AppendField(line, "pdop", sky.pdop, 2);
    line += ",\"nSat\":";
    AppendInteger(line, static_cast<long long>(sky.satellites.size()));
    line += ",\"uSat\":";
    AppendInteger(line, sky.usedCount());
    line += ",\"satellites\":[";
    bool first = true;
    for (const SkySatellite& satellite : sky.satellites) {
        line += first ? "{\"PRN\":" : ",{\"PRN\":";
        first = false;
        AppendInteger(line, GpsdPrn(satellite.id));
        line += ",\"gnssid\":";
        AppendInteger(line, static_cast<int>(satellite.id.gnss));
        line += ",\"svid\":";
        AppendInteger(line, satellite.id.svid);
        AppendField(line, "az", satellite.azimuth, 1);
        AppendField(line, "el", satellite.elevation, 1);
        AppendField(line, "ss", satellite.cn0, 1);
        line += satellite.used ? ",\"used\":true}" : ",\"used\":false}";
    }
    line += "]}";
}

void JsonReportPrinter::onFix(const GnssFix& fix) {
    if (!fix.hasPosition()) return;
    line_.clear();
    AppendTpvReport(line_, fix);
    write();
}

void JsonReportPrinter::onSky(const GnssSky& sky) {
    line_.clear();
    AppendSkyReport(line_, sky);
    write();
}

void JsonReportPrinter::write() {
    line_ += '\n';
    output_.append(line_);
}

}  // namespace vexa
