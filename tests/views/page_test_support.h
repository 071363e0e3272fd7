#pragma once

#include <QImage>
#include <QStringList>
#include <QWidget>
#include <cmath>

#include "app/app_settings.h"
#include "app/prompts.h"
#include "app/settings_sections.h"
#include "receiver/records.h"

namespace vexa::testing_support {

// The stored sections as plain copies, counting the saves.
class MemorySections : public SettingsSections {
public:
    explicit MemorySections(AppSettings& settings) : settings(settings) {}

    void LoadDisplaySettings() override {
        settings.m_nLatLonFormat = stored.m_nLatLonFormat;
        settings.m_nAltitudeUnits = stored.m_nAltitudeUnits;
        settings.m_nVelocityUnits = stored.m_nVelocityUnits;
        settings.m_strSerialPort = stored.m_strSerialPort;
        settings.m_nBaudRate = stored.m_nBaudRate;
    }
    void SaveDisplaySettings() override {
        ++displaySaves;
        stored.m_nLatLonFormat = settings.m_nLatLonFormat;
        stored.m_nAltitudeUnits = settings.m_nAltitudeUnits;
        stored.m_nVelocityUnits = settings.m_nVelocityUnits;
        stored.m_strSerialPort = settings.m_strSerialPort;
        stored.m_nBaudRate = settings.m_nBaudRate;
    }
    void LoadPlotSettings() override {
        settings.m_dOriginLat = stored.m_dOriginLat;
        settings.m_dOriginLon = stored.m_dOriginLon;
        settings.m_nRing1 = stored.m_nRing1;
        settings.m_nRing2 = stored.m_nRing2;
        settings.m_nRing3 = stored.m_nRing3;
    }
    void SavePlotSettings() override {
        ++plotSaves;
        stored.m_dOriginLat = settings.m_dOriginLat;
        stored.m_dOriginLon = settings.m_dOriginLon;
        stored.m_nRing1 = settings.m_nRing1;
        stored.m_nRing2 = settings.m_nRing2;
        stored.m_nRing3 = settings.m_nRing3;
    }

    AppSettings& settings;
    AppSettings stored;
    int displaySaves = 0;
    int plotSaves = 0;
};

// Keeps the texts shown; file dialogs are cancelled.
class MessagePrompts : public Prompts {
public:
    void ShowMessage(QWidget*, const QString& text) override { messages.append(text); }
    std::optional<QString> GetOpenFileName(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QString> GetSaveFileName(QWidget*, const FileRequest&) override { return std::nullopt; }
    void ShowWaitNotice(QWidget*) override {}
    void CloseWaitNotice() override {}

    QStringList messages;
};

// A navigation record on the equator at longitude 0, `altitude` metres up, moving north at
// `northSpeed` m/s, with the given fix mode bits.
inline NavData NavOnEquator(std::uint8_t mode1, double altitude = 0.0, double northSpeed = 0.0) {
    NavData nav{};
    nav.X = static_cast<std::int32_t>(6378137.0 + altitude);
    nav.VZ = static_cast<std::int16_t>(std::lround(northSpeed * 8.0));
    nav.Mode1 = mode1;
    return nav;
}

inline QImage Render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    widget.render(&image);
    return image;
}

inline QString ColourAt(const QImage& image, int x, int y) { return image.pixelColor(x, y).name(); }

}  // namespace vexa::testing_support
