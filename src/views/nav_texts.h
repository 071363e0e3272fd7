#pragma once

#include <QString>

#include "receiver/fix/gnss_fix.h"
#include "receiver/binary/records.h"
#include "uicore/app_settings.h"

namespace vexa {

// The Position page's field texts for one navigation record, in the user's units.
struct NavTexts {
    QString latLon;
    QString speed;
    QString heading;
    QString altitude;
    QString mode;
    QString hdop;
    QString fix;
    QString satelliteCount;
    QString satelliteList;
};

inline const QString kEmptyLatLon = QStringLiteral("Lat:\nLon:");

NavTexts FormatNavTexts(const NavData& nav, const AppSettings& units);
// The same fields for a fix of an NMEA receiver: a field it did not report stays empty; satellites
// are listed with their constellation's letter.
NavTexts FormatFixTexts(const GnssFix& fix, const AppSettings& units);

// One coordinate: "%10.5f°" (format 0), or whole degrees carrying the sign and decimal minutes (format 1).
QString FormatCoordinate(double degrees, int format);

}  // namespace vexa
