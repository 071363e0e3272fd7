#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QSize>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "receiver/fix/gnss_fix.h"
#include "receiver/binary/records.h"
#include "views/model_readers.h"

namespace vexa {

// The square polar plot's measures for a client area: the square's side, the side D of the square
// inset by 15, the centre, the horizon radius R = D/2 and the inset D/4 of the 45-degree circle.
struct SkyGeometry {
    int side = 0;
    int d = 0;
    QPoint centre;
    int radius = 0;
    int ringStep = 0;
};

SkyGeometry SkyGeometryFor(QSize client);

// Where a channel's satellite is drawn: elevation in 0.5 degrees, azimuth in 1.5 degrees.
QPoint SkyPosition(const SkyGeometry& geometry, int elevation, int azimuth);

// Where a satellite is drawn, by its elevation and azimuth in degrees.
QPoint SkyPositionDegrees(const SkyGeometry& geometry, double elevation, double azimuth);

// The texts of one channel's satellite, azimuth and elevation boxes. A satellite of a receiver of many
// systems also carries its id, so that the box can lead its number with the constellation's letter.
struct SkyChannelTexts {
    QString satellite;
    QString azimuth;
    QString elevation;
    std::optional<SatelliteId> id;
    bool operator==(const SkyChannelTexts&) const = default;
};
using SkyBoxTexts = std::array<SkyChannelTexts, kTrackChannels>;

// Every channel's box texts, from the tracker data, or without it from the sky of a receiver of many
// systems (its twelve satellites of the Signal page); false, with `boxes` untouched, without either.
bool SkyBoxTextsFor(const ModelSnapshot& snapshot, SkyBoxTexts& boxes);

// A satellite as the plot drew it, in the plot's page units: its marker's centre and half width,
// what its tooltip tells, and its label's box when the label was drawn beside or on it.
struct SkyMarker {
    QPoint at;
    int halfWidth = 8;
    SatelliteId id;
    double azimuth = 0;
    double elevation = 0;
    std::optional<double> cn0;
    bool used = false;
    std::optional<QRectF> label;
};

// The tooltip of a satellite: system, number, azimuth, elevation, C/N0 and whether it is used.
QString SkyMarkerTip(const SkyMarker& marker);

// A satellite's label as drawn: its text, top-left corner and colour, in page units at page size and
// in device pixels when the plot is drawn larger.
struct SkyLabelMark {
    QString text;
    QPoint topLeft;
    QColor colour;
    bool operator==(const SkyLabelMark&) const = default;
};

// A satellite's marker as drawn, in page units, with its label when one is drawn.
struct SkyMark {
    QPoint at;
    int halfWidth = 8;
    QColor colour;
    std::optional<SkyLabelMark> label;
    bool operator==(const SkyMark&) const = default;
};

// Everything a drawing of the plot depends on: two equal pictures are drawn in the same pixels, so a
// plot whose picture did not change need not be drawn again.
struct SkyPicture {
    int side = 0;
    double zoom = 1;
    bool shown = false;          // there is tracker data or a sky: the compass and the markers are drawn
    std::vector<SkyMark> marks;  // in the order they are drawn
    bool operator==(const SkyPicture&) const = default;
};

// What the plot draws of `snapshot` at `zoom` device pixels per page unit; `markers` (when given)
// receives every satellite drawn. Drawn larger than its page size, the markers keep their size in
// page units and the labels are placed where they overlap no other label, or left out.
SkyPicture ComposeSkyPlot(const SkyGeometry& geometry, const ModelSnapshot& snapshot, double zoom,
                          std::vector<SkyMarker>* markers = nullptr);

// Draws what depends on the plot's size and zoom alone into `image` (made side x side times the zoom
// when it is not): the black square, the circles and, when `compass`, the compass letters.
void DrawSkyBackground(QImage& image, const SkyGeometry& geometry, double zoom, bool compass);

// Draws the picture's markers and labels over the background in `image`.
void DrawSkyMarks(QImage& image, const SkyPicture& picture);

// Draws the plot into `image` at `zoom`, background and picture. Without tracker data or a sky only
// the circles are drawn and false is returned: the plot is then not to be shown and the boxes keep
// their texts. With them, `boxes` receives every channel's texts and `markers` (when given) every
// satellite drawn; a sky shows every satellite in view.
bool DrawSkyPlot(QImage& image, const SkyGeometry& geometry, const ModelSnapshot& snapshot, SkyBoxTexts& boxes,
                 double zoom = 1.0, std::vector<SkyMarker>* markers = nullptr);

}  // namespace vexa
