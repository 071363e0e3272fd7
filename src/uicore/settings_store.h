#pragma once

#include <QSettings>
#include <functional>

#include "uicore/app_settings.h"
#include "uicore/settings_sections.h"

namespace vexa {

// Loads and saves the sections of AppSettings in the user's settings file (organisation "Vexa",
// application "VexaDemoPPC", INI format). Values read from the file are checked: anything the
// program cannot use falls back to its default, so an edited file cannot upset the views.
class SettingsStore : public SettingsSections {
public:
    explicit SettingsStore(AppSettings& settings);

    AppSettings& Settings() { return settings_; }
    // Told, with a text naming the file and the reason, whenever saving leaves the file unwritten.
    void SetWriteFailureReport(std::function<void(const QString& text)> report) { reportWriteFailure_ = std::move(report); }
    QString FileName() const { return store_.fileName(); }

    // "Dezori Zuri": version, units, serial port and baud rate.
    void LoadDisplaySettings() override;
    void SaveDisplaySettings() override;
    // "Map View": plot origin and ring radii.
    void LoadPlotSettings() override;
    void SavePlotSettings() override;
    // "Logging": the last log file chosen.
    void LoadLogFileName();
    void SaveLogFileName();
    // "Window": the main window's size; a size no window can have reads as none remembered.
    void LoadWindowSize();
    void SaveWindowSize();
    // "Metrics": whether to serve the receiver's series, and where; an address that is not
    // HOST:PORT reads as the default, and serving as off.
    void LoadMetricsSettings();
    void SaveMetricsSettings();

private:
    int ReadInt(const QString& key, int fallback) const;
    double ReadDegrees(const QString& key) const;
    void WriteOut();

    AppSettings& settings_;
    QSettings store_;
    std::function<void(const QString& text)> reportWriteFailure_;
};

}  // namespace vexa
