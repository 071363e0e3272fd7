#pragma once

namespace vexa {

// The stored settings, loaded into and saved from the program's settings block one section at a time.
class SettingsSections {
public:
    virtual ~SettingsSections() = default;

    // "Dezori Zuri": units, serial port and baud rate.
    virtual void LoadDisplaySettings() = 0;
    virtual void SaveDisplaySettings() = 0;
    // "Map View": plot origin and ring radii.
    virtual void LoadPlotSettings() = 0;
    virtual void SavePlotSettings() = 0;
};

}  // namespace vexa
