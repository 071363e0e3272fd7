#include "receiver/fix/gpx_track.h"

#include <charconv>
#include <cmath>

#include "receiver/fix/utc_text.h"

namespace vexa {
namespace {

constexpr const char* kHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<gpx version=\"1.1\" creator=\"VexaDemoPPC\" xmlns=\"http://www.topografix.com/GPX/1/1\"\n"
    "     xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
    "     xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd\">\n"
    "  <trk>\n"
    "    <name>VexaDemoPPC track</name>\n"
    "    <trkseg>\n";
constexpr const char* kSegmentBreak =
    "    </trkseg>\n"
    "    <trkseg>\n";
constexpr const char* kFooter =
    "    </trkseg>\n"
    "  </trk>\n"
    "</gpx>\n";

// Values no receiver reports (beyond a billion, not a number) are left out rather than written.
constexpr double kLargestValue = 1e9;

std::optional<double> Plausible(std::optional<double> value) {
    if (value && std::isfinite(*value) && std::fabs(*value) < kLargestValue) return value;
    return std::nullopt;
}

// Fixed decimals, whatever the locale.
void AppendNumber(std::string& out, double value, int decimals) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    out.append(text, result.ptr);
}

void AppendElement(std::string& out, const char* name, std::string_view value) {
    out += "        <";
    out += name;
    out += '>';
    out += value;
    out += "</";
    out += name;
    out += ">\n";
}

// The GPX fix kinds: none, 2d, 3d, dgps (pps is never reported).
const char* FixKind(const TrackPoint& point) {
    if (point.quality == FixQuality::Differential) return "dgps";
    switch (point.mode) {
    case FixMode::TwoD: return "2d";
    case FixMode::ThreeD: return "3d";
    case FixMode::NoFix: break;
    }
    return "none";
}

void AppendPoint(std::string& out, const TrackPoint& point) {
    // The schema takes longitudes from -180 up to, not including, 180.
    const double longitude = point.longitude >= 180.0 ? point.longitude - 360.0 : point.longitude;
    out += "      <trkpt lat=\"";
    AppendNumber(out, point.latitude, 9);
    out += "\" lon=\"";
    AppendNumber(out, longitude, 9);
    out += "\">\n";
    std::string value;
    if (point.elevation) {
        AppendNumber(value, *point.elevation, 2);
        AppendElement(out, "ele", value);
    }
    if (point.time) AppendElement(out, "time", IsoUtcText(*point.time));
    AppendElement(out, "fix", FixKind(point));
    if (point.satellites && *point.satellites >= 0) AppendElement(out, "sat", std::to_string(*point.satellites));
    if (point.hdop && *point.hdop >= 0) {
        value.clear();
        AppendNumber(value, *point.hdop, 1);
        AppendElement(out, "hdop", value);
    }
    out += "      </trkpt>\n";
}

}  // namespace

std::optional<TrackPoint> TrackPointOf(const GnssFix& fix) {
    if (!fix.hasPosition()) return std::nullopt;
    const double latitude = *fix.latitude;
    const double longitude = *fix.longitude;
    if (!(std::fabs(latitude) <= 90.0) || !(std::fabs(longitude) <= 180.0)) return std::nullopt;
    return TrackPoint{fix.time,
                      latitude,
                      longitude,
                      Plausible(fix.altitudeMsl ? fix.altitudeMsl : fix.altitudeHae),
                      fix.mode,
                      fix.quality,
                      fix.satellitesUsed,
                      Plausible(fix.hdop)};
}

std::string GpxDocument(std::span<const TrackPoint> points) {
    std::string document = kHeader;
    document.reserve(document.size() + points.size() * 200);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0 && points[i].startsSegment) document += kSegmentBreak;
        AppendPoint(document, points[i]);
    }
    document += kFooter;
    return document;
}

}  // namespace vexa
