#include "views/nav_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "receiver/binary/coordinate_conversion.h"
#include "receiver/binary/nav_mode_bits.h"

namespace vexa {

namespace {

constexpr QChar kDegree(0x00B0);
constexpr std::uint8_t kDrSensor = 0x01;  // of Mode2
constexpr double kFeetPerMetre = 3.280839895013123;
constexpr double kMphPerMetrePerSecond = 2.2369362920544025;
constexpr double kKphPerMetrePerSecond = 3.5999999999999996;

template <class... Args>
QString Printf(const char* format, Args... args) {
    char text[64];
    std::snprintf(text, sizeof text, format, args...);
    return QString::fromLatin1(text);
}

QString FixText(const NavData& nav) {
    const int positionMode = nav.Mode1 & kPositionModeMask;
    switch (positionMode) {
    case 0:
        return QStringLiteral("No Fix");
    case 1:
    case 2:
        return Printf("%d SV Degraded", positionMode);
    case 3:
    case 5:
        return QStringLiteral("2D");
    case 4:
    case 6:
        return QStringLiteral("3D");
    default:
        return (nav.Mode2 & kDrSensor) != 0 ? QStringLiteral("DR Sensor") : QStringLiteral("DR");
    }
}

QString AltitudeText(double metres, const AppSettings& units) {
    return units.m_nAltitudeUnits == 1 ? Printf("%5.0f ft", metres * kFeetPerMetre) : Printf("%5.0f m", metres);
}

QString SpeedText(double metresPerSecond, const AppSettings& units) {
    switch (units.m_nVelocityUnits) {
    case 1: return Printf("%4.1f mph", metresPerSecond * kMphPerMetrePerSecond);
    case 2: return Printf("%4.1f kph", metresPerSecond * kKphPerMetrePerSecond);
    default: return Printf("%4.1f m/s", metresPerSecond);
    }
}

QString LatLonText(double latitude, double longitude, const AppSettings& units) {
    return QStringLiteral("Lat: %1\nLon: %2")
        .arg(FormatCoordinate(latitude, units.m_nLatLonFormat), FormatCoordinate(longitude, units.m_nLatLonFormat));
}

QString SatelliteList(const NavData& nav) {
    QString list;
    const int count = std::min<int>(nav.SvCount, std::size(nav.SvPrn));
    for (int i = 0; i < count; ++i)
        if (nav.SvPrn[i] != 0) list += Printf(" %d", nav.SvPrn[i]);
    return list;
}

}  // namespace

QString FormatCoordinate(double degrees, int format) {
    if (format != 1) return Printf("%10.5f", degrees) + kDegree;
    // The sign belongs to the whole value: -0.5 degrees shows its degrees as "-0". The value is
    // rounded to the thousandth of a minute shown before it is split, so 59.9996' carries into the
    // degrees instead of showing as 60.000'.
    const long long thousandths = std::llround(std::fabs(degrees) * 60000.0);
    const QString wholeText = (degrees < 0.0 ? QStringLiteral("-") : QString()) + QString::number(thousandths / 60000);
    return wholeText.rightJustified(4, QLatin1Char(' ')) + kDegree + Printf(" %2.3f'", (thousandths % 60000) / 1000.0);
}

NavTexts FormatNavTexts(const NavData& nav, const AppSettings& units) {
    NavTexts texts;
    const double hdop = static_cast<double>(static_cast<float>(nav.Hdop) * 0.2f);
    texts.hdop = Printf("%-3.1f", hdop);

    if ((nav.Mode1 & kPositionModeMask) != 0) {
        double latitude = 0.0, longitude = 0.0, altitude = 0.0, speed = 0.0, heading = 0.0;
        NavToGeodetic(nav, &latitude, &longitude, &altitude, &speed, &heading);
        texts.latLon = LatLonText(latitude, longitude, units);
        texts.altitude = AltitudeText(altitude, units);
        texts.speed = SpeedText(speed, units);
        texts.heading = Printf("%3.0f", heading) + kDegree;
        texts.satelliteCount = Printf("%d", nav.SvCount);
        texts.satelliteList = SatelliteList(nav);
    } else {
        texts.latLon = kEmptyLatLon;
    }

    if ((nav.Mode1 & kDopMaskExceeded) != 0) {
        texts.fix = QStringLiteral("No Fix");
        texts.mode = QStringLiteral("Bad DOP");
        return texts;
    }
    texts.fix = FixText(nav);
    texts.mode = (nav.Mode1 & kDgpsUsed) != 0 ? QStringLiteral("DGPS") : QStringLiteral("SPS");
    if ((nav.Mode1 & kTimedPowerMode) != 0) texts.mode += QStringLiteral("; TP");
    return texts;
}

NavTexts FormatFixTexts(const GnssFix& fix, const AppSettings& units) {
    NavTexts texts;
    if (fix.hdop) texts.hdop = Printf("%-3.1f", *fix.hdop);
    if (fix.satellitesUsed) texts.satelliteCount = Printf("%d", *fix.satellitesUsed);
    for (const SatelliteId& id : fix.used) texts.satelliteList += Printf(" %c%d", ConstellationLetter(id.gnss), id.svid);
    const bool differential = fix.quality == FixQuality::Differential || fix.quality == FixQuality::RtkFixed ||
                              fix.quality == FixQuality::RtkFloat;
    texts.mode = differential ? QStringLiteral("DGPS") : QStringLiteral("SPS");
    if (!fix.hasPosition()) {
        texts.latLon = kEmptyLatLon;
        texts.fix = QStringLiteral("No Fix");
        return texts;
    }
    texts.latLon = LatLonText(*fix.latitude, *fix.longitude, units);
    // The receiver's altitude is above mean sea level; the ellipsoid's only when it gives no other.
    if (const auto altitude = fix.altitudeMsl ? fix.altitudeMsl : fix.altitudeHae) texts.altitude = AltitudeText(*altitude, units);
    if (fix.speed) texts.speed = SpeedText(*fix.speed, units);
    if (fix.track) texts.heading = Printf("%3.0f", *fix.track) + kDegree;
    if (fix.quality == FixQuality::DeadReckoning) {
        texts.fix = QStringLiteral("DR");
    } else {
        texts.fix = fix.mode == FixMode::ThreeD ? QStringLiteral("3D") : QStringLiteral("2D");
    }
    return texts;
}

}  // namespace vexa
