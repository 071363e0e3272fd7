#pragma once

#include <string>

namespace vexa {

// The user's settings as the program holds them in memory; loaded and saved by section
// at fixed moments (start-up, the preferences, the Serial Comm dialog, logging).
struct AppSettings {
    // "Logging"
    std::string m_strLogFileName = "vexacore.gps";
    // "Map View"
    double m_dOriginLat = 0.0;
    double m_dOriginLon = 0.0;
    int m_nRing1 = 10;
    int m_nRing2 = 20;
    int m_nRing3 = 30;
    // "Dezori Zuri"
    int m_nLatLonFormat = 0;   // 0 decimal degrees, 1 degrees and decimal minutes
    int m_nAltitudeUnits = 0;  // 0 metres, 1 feet
    int m_nVelocityUnits = 0;  // 0 m/s, 1 mph, 2 kph
    std::string m_strSerialPort;  // device path of the "GPS Serial Port"
    int m_nBaudRate = 57600;      // 0 means automatic detection
};

// The plot's rings must grow outwards and the outer one must have a size.
inline bool RingRadiiAcceptable(int ring1, int ring2, int ring3) {
    return ring1 <= ring2 && ring2 <= ring3 && ring3 > 0;
}

}  // namespace vexa
