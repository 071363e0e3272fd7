#pragma once

#include <QString>

#include "app/app_settings.h"
#include "receiver/records.h"

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

// One coordinate: "%10.5f°" (format 0), or whole degrees carrying the sign and decimal minutes (format 1).
QString FormatCoordinate(double degrees, int format);

}  // namespace vexa
