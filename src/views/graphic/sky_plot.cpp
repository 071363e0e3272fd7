#include "views/graphic/sky_plot.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "views/box_ellipse.h"
#include "views/page_palette.h"
#include "views/page_text.h"
#include "views/satellite_colour.h"
#include "views/satellite_label.h"
#include "views/signal_places.h"

namespace vexa {

namespace {

constexpr int kInset = 15;
// 1.5 degrees in radians, with pi taken to 10 digits as the receiver's tools do.
constexpr double kAzimuthUnitRadians = 0.026179938783333336;

QPoint Polar(const SkyGeometry& geometry, double r, double angle) {
    return {static_cast<int>(r * std::sin(angle) + geometry.centre.x()),
            static_cast<int>(geometry.centre.y() - r * std::cos(angle))};
}

const QFont& MarkerFont() {
    static const QFont font = ArialPixels(11, true);
    return font;
}

const QFont& CompassFont() {
    static const QFont font = ArialPixels(13);
    return font;
}

void DrawCompass(QPainter& painter, const SkyGeometry& geometry) {
    static const struct {
        const char* letter;
        double angle;
    } kLetters[] = {{"N", 0.0}, {"E", 1.5707963267948966}, {"S", 3.141592653589793}, {"W", 4.71238898038469}};
    // An opaque background mode also changes how Qt rasterises shapes: keep it to the letters.
    painter.save();
    painter.setFont(CompassFont());
    painter.setPen(kPaletteGreen);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(kPaletteBlack);
    const QFontMetrics metrics = painter.fontMetrics();
    for (const auto& [letter, angle] : kLetters) {
        const QString text = QString::fromLatin1(letter);
        const QPoint p = Polar(geometry, geometry.radius, angle);
        DrawTextAt(painter, p - QPoint(metrics.horizontalAdvance(text) / 2, metrics.height() / 2), text);
    }
    painter.restore();
}

void DrawMarker(QPainter& painter, QPoint p, const QString& label, const QColor& colour) {
    painter.setPen(colour);
    painter.setBrush(colour);
    const bool wide = label.size() >= 3;
    if (wide)
        DrawBoxEllipse(painter, p.x() - 11, p.y() - 7, p.x() + 11, p.y() + 7);
    else
        DrawBoxEllipse(painter, p.x() - 8, p.y() - 8, p.x() + 8, p.y() + 8);
    if (label.isEmpty()) return;
    painter.setPen(kPaletteBlack);
    painter.setBackgroundMode(Qt::TransparentMode);
    DrawTextAt(painter, p + QPoint(wide ? -10 : -6, -7), label);
}

// A satellite of a receiver of many systems: the wide marker when its label is three characters or more,
// the label centred and led by the constellation's letter when that fits inside.
void DrawSkySatellite(QPainter& painter, QPoint p, const SkySatellite& satellite, const QColor& colour) {
    constexpr int kWideLabelWidth = 21;
    const QString label = SatelliteLabel(satellite.id, painter.fontMetrics(), kWideLabelWidth);
    painter.setPen(colour);
    painter.setBrush(colour);
    if (label.size() >= 3)
        DrawBoxEllipse(painter, p.x() - 11, p.y() - 7, p.x() + 11, p.y() + 7);
    else
        DrawBoxEllipse(painter, p.x() - 8, p.y() - 8, p.x() + 8, p.y() + 8);
    painter.setPen(kPaletteBlack);
    painter.setBackgroundMode(Qt::TransparentMode);
    DrawTextAt(painter, p + QPoint(-painter.fontMetrics().horizontalAdvance(label) / 2, -7), label);
}

void SkyBoxTextsFromSky(const GnssSky& sky, SkyBoxTexts& boxes) {
    const std::vector<SkySatellite> satellites = SatellitesForTwelvePlaces(sky);
    for (std::size_t i = 0; i < kTrackChannels; ++i) {
        boxes[i] = {};
        if (i >= satellites.size()) continue;
        const SkySatellite& satellite = satellites[i];
        boxes[i].id = satellite.id;
        boxes[i].satellite = QString::number(satellite.id.svid);
        if (satellite.elevation) boxes[i].elevation = QString::number(static_cast<int>(std::lround(*satellite.elevation)));
        if (satellite.azimuth) boxes[i].azimuth = QString::number(static_cast<int>(std::lround(*satellite.azimuth)));
    }
}

void DrawSky(QPainter& painter, const SkyGeometry& geometry, const GnssSky& sky, const GnssFix* fix) {
    // Used satellites last, so that they are drawn over the others.
    for (const bool usedPass : {false, true}) {
        for (const SkySatellite& satellite : sky.satellites) {
            if (satellite.used != usedPass || !satellite.elevation || !satellite.azimuth || *satellite.elevation < 0) {
                continue;
            }
            DrawSkySatellite(painter, SkyPositionDegrees(geometry, *satellite.elevation, *satellite.azimuth), satellite,
                             SatelliteColour(satellite, fix));
        }
    }
}

}  // namespace

SkyGeometry SkyGeometryFor(QSize client) {
    SkyGeometry geometry;
    geometry.side = std::max(0, std::min(client.width(), client.height()));
    geometry.d = geometry.side - 2 * kInset;
    geometry.centre = QPoint(kInset + geometry.d / 2, kInset + geometry.d / 2);
    geometry.radius = geometry.d / 2;
    geometry.ringStep = geometry.d / 4;
    return geometry;
}

QPoint SkyPosition(const SkyGeometry& geometry, int elevation, int azimuth) {
    const double r = static_cast<int>((1.0 - (elevation * 0.5) * (1.0 / 90.0)) * geometry.radius);
    return Polar(geometry, r, azimuth * kAzimuthUnitRadians);
}

QPoint SkyPositionDegrees(const SkyGeometry& geometry, double elevation, double azimuth) {
    const double r = (1.0 - std::clamp(elevation, 0.0, 90.0) / 90.0) * geometry.radius;
    return Polar(geometry, r, azimuth * std::numbers::pi / 180.0);
}

bool SkyBoxTextsFor(const ModelSnapshot& snapshot, SkyBoxTexts& boxes) {
    if (!snapshot.track) {
        if (!snapshot.sky) return false;
        SkyBoxTextsFromSky(*snapshot.sky, boxes);
        return true;
    }
    for (std::size_t i = 0; i < kTrackChannels; ++i) {
        const TrackChannel& channel = snapshot.track->Channels[i];
        if (channel.Prn == 0) {
            boxes[i] = {};
            continue;
        }
        boxes[i].satellite = QString::number(channel.Prn);
        boxes[i].elevation = QString::number(static_cast<int>(channel.Elevation * 0.5));
        boxes[i].azimuth = QString::number(static_cast<int>(channel.Azimuth * 1.5));
    }
    return true;
}

bool DrawSkyPlot(QImage& image, const SkyGeometry& geometry, const ModelSnapshot& snapshot, SkyBoxTexts& boxes) {
    const int side = geometry.side;
    if (image.size() != QSize(side, side)) image = QImage(side, side, QImage::Format_RGB32);
    if (side <= 0) return false;
    image.fill(kPaletteBlack);

    QPainter painter(&image);
    painter.setPen(kPaletteGreen);
    painter.setBrush(kPaletteBlack);
    DrawBoxEllipse(painter, kInset, kInset, side - kInset, side - kInset);
    const int inner = kInset + geometry.ringStep;
    DrawBoxEllipse(painter, inner, inner, side - inner, side - inner);

    if (!snapshot.track && !snapshot.sky) return false;
    DrawCompass(painter, geometry);

    painter.setFont(MarkerFont());
    if (!snapshot.track) {
        SkyBoxTextsFromSky(*snapshot.sky, boxes);
        DrawSky(painter, geometry, *snapshot.sky, snapshot.fix ? &*snapshot.fix : nullptr);
        return true;
    }
    const NavData* nav = snapshot.nav ? &*snapshot.nav : nullptr;
    SkyBoxTextsFor(snapshot, boxes);
    for (std::size_t i = 0; i < kTrackChannels; ++i) {
        const TrackChannel& channel = snapshot.track->Channels[i];
        if (channel.Prn == 0) continue;
        DrawMarker(painter, SkyPosition(geometry, channel.Elevation, channel.Azimuth),
                   QString::asprintf("%2d", channel.Prn), SatelliteColour(channel, nav));
    }
    return true;
}

}  // namespace vexa
