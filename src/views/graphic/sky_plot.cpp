#include "views/graphic/sky_plot.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <numbers>
#include <utility>
#include <vector>

#include "views/box_ellipse.h"
#include "views/graphic/sky_labels.h"
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

// The advance of a label in the plot's marker font of `pixelSize` (measured by `metrics`); the fonts
// differ only in their size, and the same few dozen labels are measured at every drawing of the plot.
int LabelAdvance(const QFontMetrics& metrics, int pixelSize, const QString& text) {
    static std::map<std::pair<int, QString>, int> advances;
    const auto key = std::make_pair(pixelSize, text);
    if (const auto found = advances.find(key); found != advances.end()) return found->second;
    if (advances.size() > 4096) advances.clear();  // the screen's scale changed many times
    return advances.emplace(key, metrics.horizontalAdvance(text)).first->second;
}

// A marker to draw, with its label and where that label sits on it when the plot has its page size.
struct PlotMarker {
    SkyMarker marker;
    QColor colour;
    QString label;
    QPoint labelOnMarker;
    bool lettered = false;  // a receiver of many systems: the label leads with the system's letter
};

// A wide marker for a label of three characters or more.
constexpr int kWideHalfWidth = 11;
constexpr int kRoundHalfWidth = 8;

PlotMarker ChannelMarker(QPoint p, const TrackChannel& channel, const NavData* nav) {
    PlotMarker drawn;
    drawn.label = QString::asprintf("%2d", channel.Prn);
    const bool wide = drawn.label.size() >= 3;
    drawn.labelOnMarker = p + QPoint(wide ? -10 : -6, -7);
    drawn.colour = SatelliteColour(channel, nav);
    drawn.marker.at = p;
    drawn.marker.halfWidth = wide ? kWideHalfWidth : kRoundHalfWidth;
    drawn.marker.id = SatelliteId{GnssId::Gps, channel.Prn};
    drawn.marker.azimuth = channel.Azimuth * 1.5;
    drawn.marker.elevation = channel.Elevation * 0.5;
    int sum = 0;
    for (std::uint8_t sample : channel.Cn0) sum += sample;
    drawn.marker.cn0 = sum / static_cast<double>(std::size(channel.Cn0));
    drawn.marker.used = drawn.colour == kPaletteGreen;
    return drawn;
}

// A satellite of a receiver of many systems: the wide marker when its label is three characters or more,
// the label centred and led by the constellation's letter when that fits inside.
PlotMarker SkySatelliteMarker(QPoint p, const SkySatellite& satellite, const GnssFix* fix, const QFontMetrics& metrics) {
    constexpr int kWideLabelWidth = 21;
    // Kept per satellite, as the marker font at page size never changes.
    static std::map<std::pair<GnssId, std::uint16_t>, QString> labels;
    const auto key = std::make_pair(satellite.id.gnss, satellite.id.svid);
    auto label = labels.find(key);
    if (label == labels.end()) {
        if (labels.size() > 4096) labels.clear();  // numbers no receiver has: keep the memory bounded
        label = labels.emplace(key, SatelliteLabel(satellite.id, metrics, kWideLabelWidth)).first;
    }
    PlotMarker drawn;
    drawn.label = label->second;
    drawn.lettered = true;
    drawn.labelOnMarker = p + QPoint(-LabelAdvance(metrics, MarkerFont().pixelSize(), drawn.label) / 2, -7);
    drawn.colour = SatelliteColour(satellite, fix);
    drawn.marker.at = p;
    drawn.marker.halfWidth = drawn.label.size() >= 3 ? kWideHalfWidth : kRoundHalfWidth;
    drawn.marker.id = satellite.id;
    drawn.marker.azimuth = satellite.azimuth.value_or(0);
    drawn.marker.elevation = satellite.elevation.value_or(0);
    drawn.marker.cn0 = satellite.cn0;
    drawn.marker.used = satellite.used;
    return drawn;
}

// The box ellipse of the plot, at page size exactly as the page draws it, larger filled in device pixels.
void DrawPlotEllipse(QPainter& painter, double zoom, QRect box, const QColor& outline, const QColor& inside) {
    if (zoom == 1.0) {
        painter.setPen(outline);
        painter.setBrush(inside);
        DrawBoxEllipse(painter, box.left(), box.top(), box.right(), box.bottom());
        return;
    }
    DrawZoomedBoxEllipse(painter, zoom, box.left(), box.top(), box.right(), box.bottom(), outline,
                         inside == outline ? std::nullopt : std::optional(inside));
}

void DrawMarkerShape(QPainter& painter, const SkyMark& mark, double zoom) {
    const QPoint p = mark.at;
    const int halfHeight = mark.halfWidth == kWideHalfWidth ? 7 : 8;
    const QRect box(QPoint(p.x() - mark.halfWidth, p.y() - halfHeight), QPoint(p.x() + mark.halfWidth, p.y() + halfHeight));
    DrawPlotEllipse(painter, zoom, box, mark.colour, mark.colour);
}

// The labels' pixel size when the plot is drawn larger: it grows slower than the plot.
int ZoomedLabelPixels(double zoom) { return static_cast<int>(std::lround(MarkerFont().pixelSize() * std::sqrt(zoom))); }

// The plot's fonts are measured on the kind of device it is drawn on.
QFontMetrics PlotMetrics(const QFont& font) {
    static const QImage device(1, 1, QImage::Format_RGB32);
    return QFontMetrics(font, &device);
}

// At page size each label is drawn on its marker, as the marker is drawn.
void LabelAtPageSize(const std::vector<PlotMarker>& markers, std::vector<SkyMark>& marks) {
    for (std::size_t i = 0; i < markers.size(); ++i) {
        if (markers[i].label.trimmed().isEmpty()) continue;
        marks[i].label = SkyLabelMark{markers[i].label, markers[i].labelOnMarker, kPaletteBlack};
    }
}

// Drawn larger, the labels are drawn in device pixels, each where it overlaps no other; the
// satellites drawn last (those used) are placed first.
void LabelZoomed(std::vector<PlotMarker>& markers, std::vector<SkyMark>& marks, double zoom, int imagePixels) {
    const int pixelSize = ZoomedLabelPixels(zoom);
    const QFontMetrics metrics = PlotMetrics(ArialPixels(pixelSize, true));
    std::vector<LabelToPlace> labels;
    std::vector<QString> texts;
    for (auto drawn = markers.rbegin(); drawn != markers.rend(); ++drawn) {
        const SatelliteId id = drawn->marker.id;
        texts.push_back(drawn->lettered ? QChar::fromLatin1(ConstellationLetter(id.gnss)) + QString::number(id.svid)
                                        : QString::number(id.svid));
        labels.push_back({QPointF(drawn->marker.at) * zoom, drawn->marker.halfWidth * zoom,
                          QSizeF(LabelAdvance(metrics, pixelSize, texts.back()), metrics.height())});
    }
    const std::vector<std::optional<QRectF>> placed = PlaceLabels(labels, QRectF(0, 0, imagePixels, imagePixels));
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (!placed[i]) continue;
        const std::size_t at = markers.size() - 1 - i;
        const bool onMarker = placed[i]->center() == labels[i].marker;
        marks[at].label = SkyLabelMark{texts[i], placed[i]->topLeft().toPoint(), onMarker ? kPaletteBlack : markers[at].colour};
        markers[at].marker.label = QRectF(placed[i]->topLeft() / zoom, placed[i]->size() / zoom);
    }
}

int ImagePixels(int side, double zoom) { return static_cast<int>(std::ceil(side * zoom)); }

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

void CollectSky(std::vector<PlotMarker>& markers, const SkyGeometry& geometry, const GnssSky& sky, const GnssFix* fix,
                const QFontMetrics& metrics) {
    // Used satellites last, so that they are drawn over the others.
    for (const bool usedPass : {false, true}) {
        for (const SkySatellite& satellite : sky.satellites) {
            if (satellite.used != usedPass || !satellite.elevation || !satellite.azimuth || *satellite.elevation < 0) {
                continue;
            }
            markers.push_back(SkySatelliteMarker(SkyPositionDegrees(geometry, *satellite.elevation, *satellite.azimuth),
                                                 satellite, fix, metrics));
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

QString SkyMarkerTip(const SkyMarker& marker) {
    return QStringLiteral("%1 %2\nAzimuth %3\u00b0\nElevation %4\u00b0\nC/N0 %5\n%6")
        .arg(SystemName(marker.id.gnss))
        .arg(marker.id.svid)
        .arg(marker.azimuth, 0, 'f', 0)
        .arg(marker.elevation, 0, 'f', 0)
        .arg(marker.cn0 ? QString::number(*marker.cn0, 'f', 0) + QStringLiteral(" dB-Hz") : QStringLiteral("none"))
        .arg(marker.used ? QStringLiteral("Used in the fix") : QStringLiteral("Not used in the fix"));
}

SkyPicture ComposeSkyPlot(const SkyGeometry& geometry, const ModelSnapshot& snapshot, double zoom,
                          std::vector<SkyMarker>* markers) {
    SkyPicture picture{geometry.side, zoom, false, {}};
    if (markers) markers->clear();
    if (geometry.side <= 0 || (!snapshot.track && !snapshot.sky)) return picture;
    picture.shown = true;
    std::vector<PlotMarker> drawn;
    if (!snapshot.track) {
        CollectSky(drawn, geometry, *snapshot.sky, snapshot.fix ? &*snapshot.fix : nullptr, PlotMetrics(MarkerFont()));
    } else {
        const NavData* nav = snapshot.nav ? &*snapshot.nav : nullptr;
        for (const TrackChannel& channel : snapshot.track->Channels) {
            if (channel.Prn != 0)
                drawn.push_back(ChannelMarker(SkyPosition(geometry, channel.Elevation, channel.Azimuth), channel, nav));
        }
    }
    picture.marks.reserve(drawn.size());
    for (const PlotMarker& each : drawn) picture.marks.push_back({each.marker.at, each.marker.halfWidth, each.colour, std::nullopt});
    if (zoom > 1.0)
        LabelZoomed(drawn, picture.marks, zoom, ImagePixels(geometry.side, zoom));
    else
        LabelAtPageSize(drawn, picture.marks);
    if (markers) {
        for (const PlotMarker& each : drawn) markers->push_back(each.marker);
    }
    return picture;
}

void DrawSkyBackground(QImage& image, const SkyGeometry& geometry, double zoom, bool compass) {
    const int side = geometry.side;
    const int pixels = ImagePixels(side, zoom);
    if (image.size() != QSize(pixels, pixels)) image = QImage(pixels, pixels, QImage::Format_RGB32);
    if (side <= 0) return;
    image.fill(kPaletteBlack);
    QPainter painter(&image);
    if (zoom != 1.0) painter.scale(zoom, zoom);
    DrawPlotEllipse(painter, zoom, QRect(QPoint(kInset, kInset), QPoint(side - kInset, side - kInset)), kPaletteGreen, kPaletteBlack);
    const int inner = kInset + geometry.ringStep;
    DrawPlotEllipse(painter, zoom, QRect(QPoint(inner, inner), QPoint(side - inner, side - inner)), kPaletteGreen, kPaletteBlack);
    if (compass) DrawCompass(painter, geometry);
}

void DrawSkyMarks(QImage& image, const SkyPicture& picture) {
    const double zoom = picture.zoom;
    QPainter painter(&image);
    if (zoom != 1.0) painter.scale(zoom, zoom);
    painter.setFont(MarkerFont());
    painter.setBackgroundMode(Qt::TransparentMode);
    if (zoom <= 1.0) {
        for (const SkyMark& mark : picture.marks) {
            DrawMarkerShape(painter, mark, zoom);
            if (!mark.label) continue;
            painter.setPen(mark.label->colour);
            DrawTextAt(painter, mark.label->topLeft, mark.label->text);
        }
        return;
    }
    for (const SkyMark& mark : picture.marks) DrawMarkerShape(painter, mark, zoom);
    painter.resetTransform();
    painter.setFont(ArialPixels(ZoomedLabelPixels(zoom), true));
    // In the order they were placed: the satellites drawn last first.
    for (auto mark = picture.marks.rbegin(); mark != picture.marks.rend(); ++mark) {
        if (!mark->label) continue;
        painter.setPen(mark->label->colour);
        DrawTextAt(painter, mark->label->topLeft, mark->label->text);
    }
}

bool DrawSkyPlot(QImage& image, const SkyGeometry& geometry, const ModelSnapshot& snapshot, SkyBoxTexts& boxes,
                 double zoom, std::vector<SkyMarker>* markers) {
    const SkyPicture picture = ComposeSkyPlot(geometry, snapshot, zoom, markers);
    DrawSkyBackground(image, geometry, zoom, picture.shown);
    if (!picture.shown) return false;
    SkyBoxTextsFor(snapshot, boxes);
    DrawSkyMarks(image, picture);
    return true;
}

}  // namespace vexa
