#pragma once

#include <cmath>
#include <string>
#include <vector>

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
    // "GPS Network Sources": the tcp:// and gpsd:// sources added in the Serial Comm dialog.
    std::vector<std::string> m_networkSources;
    int m_nBaudRate = 57600;      // 0 means automatic detection
    // "Window": the main window's size when it last closed; 0 when none is remembered.
    int m_nWindowWidth = 0;
    int m_nWindowHeight = 0;
    // "Metrics": whether the receiver's series are served for Prometheus at start, and where (HOST:PORT).
    bool m_bServeMetrics = false;
    std::string m_strMetricsAddress = "127.0.0.1:9861";
};

// A remembered window size the program can open at: at least the smallest window, at most a
// side no screen has (an edited file must not open a window that cannot be seen or handled).
inline bool WindowSizeAcceptable(int width, int height) {
    constexpr int kLongestSide = 16384;
    return 240 <= width && width <= kLongestSide && 268 <= height && height <= kLongestSide;
}

// The plot's rings must grow outwards, each with a size: a radius of 0 or less is no ring.
inline bool RingRadiiAcceptable(int ring1, int ring2, int ring3) {
    return 0 < ring1 && ring1 <= ring2 && ring2 <= ring3;
}

// Whether the plot has an origin to draw around. (0, 0) means none was chosen; (90, 0) is where a
// receiver's empty position (X = Y = Z = 0, sent before its first fix) converts to, so an origin
// taken from one is no choice either; nor is a place off the earth.
inline bool PlotOriginSet(double latitude, double longitude) {
    if (!(std::fabs(latitude) <= 90.0 && std::fabs(longitude) <= 180.0)) return false;
    if (longitude != 0.0) return true;
    return latitude != 0.0 && latitude != 90.0;
}

}  // namespace vexa
