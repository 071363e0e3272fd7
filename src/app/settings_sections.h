#pragma once

#include "app/app_settings.h"

namespace vexa {

// The stored settings, loaded into and saved from the in-memory block one section at a time.
class SettingsSections {
public:
    virtual ~SettingsSections() = default;

    // "Dezori Zuri": units, serial port and baud rate.
    virtual void LoadDisplaySettings(AppSettings& settings) = 0;
    virtual void SaveDisplaySettings(const AppSettings& settings) = 0;
    // "Map View": plot origin and ring radii.
    virtual void LoadPlotSettings(AppSettings& settings) = 0;
    virtual void SavePlotSettings(const AppSettings& settings) = 0;
};

}  // namespace vexa
