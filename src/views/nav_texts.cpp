#include "views/nav_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "receiver/coordinate_conversion.h"
#include "views/nav_mode_bits.h"

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
        texts.latLon = QStringLiteral("Lat: %1\nLon: %2")
                           .arg(FormatCoordinate(latitude, units.m_nLatLonFormat),
                                FormatCoordinate(longitude, units.m_nLatLonFormat));
        texts.altitude = units.m_nAltitudeUnits == 1 ? Printf("%5.0f ft", altitude * kFeetPerMetre)
                                                     : Printf("%5.0f m", altitude);
        switch (units.m_nVelocityUnits) {
        case 1:
            texts.speed = Printf("%4.1f mph", speed * kMphPerMetrePerSecond);
            break;
        case 2:
            texts.speed = Printf("%4.1f kph", speed * kKphPerMetrePerSecond);
            break;
        default:
            texts.speed = Printf("%4.1f m/s", speed);
            break;
        }
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

}  // namespace vexa
