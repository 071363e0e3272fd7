#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <array>

#include "receiver/records.h"
#include "views/receiver_snapshot.h"

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

// The texts of one channel's satellite, azimuth and elevation boxes.
struct SkyChannelTexts {
    QString satellite;
    QString azimuth;
    QString elevation;
};
using SkyBoxTexts = std::array<SkyChannelTexts, kTrackChannels>;

// Every channel's box texts, from the tracker data; false, with `boxes` untouched, without it.
bool SkyBoxTextsFor(const ReceiverSnapshot& snapshot, SkyBoxTexts& boxes);

// Draws the plot into `image` (made side x side when it is not). Without tracker data only the
// circles are drawn and false is returned: the plot is then not to be shown and the boxes keep
// their texts. With it, `boxes` receives every channel's texts.
bool DrawSkyPlot(QImage& image, const SkyGeometry& geometry, const ReceiverSnapshot& snapshot, SkyBoxTexts& boxes);

}  // namespace vexa
