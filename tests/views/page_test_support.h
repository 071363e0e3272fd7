#pragma once

#include <QImage>
#include <QStringList>
#include <QWidget>
#include <cmath>

#include "receiver/binary/records.h"
#include "uicore/app_settings.h"
#include "uicore/prompts.h"
#include "uicore/settings_sections.h"

namespace vexa::testing_support {

// The stored sections as plain copies, counting the saves.
class MemorySections : public SettingsSections {
public:
    explicit MemorySections(AppSettings& settings) : settings(settings) {}

    void LoadDisplaySettings() override { CopyDisplay(stored, settings); }
    void SaveDisplaySettings() override {
        ++displaySaves;
        CopyDisplay(settings, stored);
    }
    void LoadPlotSettings() override { CopyPlot(stored, settings); }
    void SavePlotSettings() override {
        ++plotSaves;
        CopyPlot(settings, stored);
    }

    AppSettings& settings;
    AppSettings stored;
    int displaySaves = 0;
    int plotSaves = 0;

private:
    static void CopyDisplay(const AppSettings& from, AppSettings& to) {
        to.m_nLatLonFormat = from.m_nLatLonFormat;
        to.m_nAltitudeUnits = from.m_nAltitudeUnits;
        to.m_nVelocityUnits = from.m_nVelocityUnits;
        to.m_strSerialPort = from.m_strSerialPort;
        to.m_networkSources = from.m_networkSources;
        to.m_nBaudRate = from.m_nBaudRate;
    }
    static void CopyPlot(const AppSettings& from, AppSettings& to) {
        to.m_dOriginLat = from.m_dOriginLat;
        to.m_dOriginLon = from.m_dOriginLon;
        to.m_nRing1 = from.m_nRing1;
        to.m_nRing2 = from.m_nRing2;
        to.m_nRing3 = from.m_nRing3;
    }
};

// Keeps the texts shown; file dialogs are cancelled.
class MessagePrompts : public Prompts {
public:
    void ShowMessage(QWidget*, const QString& text) override { messages.append(text); }
    void ShowCaptionedMessage(QWidget*, const QString&, const QString& text) override { messages.append(text); }
    std::optional<QString> GetOpenFileName(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QString> GetSaveFileName(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QString> GetText(QWidget*, const QString&, const QString&) override { return std::nullopt; }
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
