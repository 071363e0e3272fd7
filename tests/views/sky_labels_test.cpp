// The sky drawn larger than its page: forty satellites' labels never on top of one another, a
// hovered satellite told in a tooltip, and the boxes' constellation letters at larger scales.
#include <gtest/gtest.h>

#include <QApplication>
#include <QToolTip>
#include <QtTest/QTest>
#include <cmath>

#include "receiver/binary/records.h"
#include "views/graphic/radar_view.h"
#include "views/graphic/sky_plot.h"
#include "views/graphic/view_sky.h"
#include "views/page_palette.h"
#include "views/satellite_label.h"

namespace vexa {
namespace {

// Four systems of ten satellites each, crowded into a quarter of the sky so that markers touch.
GnssSky FortySatellites() {
    GnssSky sky;
    const GnssId systems[] = {GnssId::Gps, GnssId::Glonass, GnssId::Galileo, GnssId::BeiDou};
    for (int i = 0; i < 40; ++i) {
        SkySatellite satellite;
        satellite.id = {systems[i % 4], static_cast<std::uint16_t>(1 + i)};
        satellite.elevation = 10.0 + (i % 8) * 10.0;
        satellite.azimuth = 20.0 + (i / 8) * 15.0 + (i % 3) * 4.0;
        satellite.cn0 = 30.0 + i % 20;
        satellite.used = i % 3 == 0;
        sky.satellites.push_back(satellite);
    }
    return sky;
}

TEST(SkyLabels, FortySatellitesDrawnLargerHaveNoLabelOnAnother) {
    ModelSnapshot snapshot;
    snapshot.sky = FortySatellites();
    const SkyGeometry geometry = SkyGeometryFor({172, 172});
    for (const double zoom : {1.5, 2.37, 4.0}) {
        QImage image;
        SkyBoxTexts boxes;
        std::vector<SkyMarker> markers;
        ASSERT_TRUE(DrawSkyPlot(image, geometry, snapshot, boxes, zoom, &markers));
        EXPECT_EQ(image.width(), static_cast<int>(std::ceil(172 * zoom)));
        ASSERT_EQ(markers.size(), 40u);
        std::vector<QRectF> labels;
        for (const SkyMarker& marker : markers) {
            if (!marker.label) continue;
            EXPECT_TRUE(QRectF(0, 0, 172, 172).contains(*marker.label)) << zoom;
            for (const QRectF& other : labels) EXPECT_FALSE(other.intersects(*marker.label)) << zoom << " S" << marker.id.svid;
            labels.push_back(*marker.label);
        }
        // Crowded as they are, most satellites keep a label.
        EXPECT_GE(labels.size(), 20u) << zoom;
    }
}

// The satellite under the pointer, told by system, number, azimuth, elevation, C/N0 and use.
TEST(SkyTooltip, HoveringASatelliteTellsWhatItIs) {
    ModelSnapshot many;
    many.sky = GnssSky{};
    SkySatellite galileo;
    galileo.id = {GnssId::Galileo, 11};
    galileo.elevation = 45.0;
    galileo.azimuth = 90.0;
    galileo.cn0 = 44.0;
    galileo.used = true;
    many.sky->satellites = {galileo};

    ModelSnapshot binary;
    binary.track = TrackData{};
    TrackChannel& channel = binary.track->Channels[0];
    channel.Prn = 7;
    channel.Azimuth = 120;   // 180 degrees
    channel.Elevation = 60;  // 30 degrees
    std::fill(std::begin(channel.Cn0), std::end(channel.Cn0), std::uint8_t{38});

    const struct {
        const ModelSnapshot& snapshot;
        QString tip;
    } cases[] = {
        {many, QStringLiteral("Galileo 11\nAzimuth 90\u00b0\nElevation 45\u00b0\nC/N0 44 dB-Hz\nUsed in the fix")},
        {binary, QStringLiteral("GPS 7\nAzimuth 180\u00b0\nElevation 30\u00b0\nC/N0 38 dB-Hz\nNot used in the fix")},
    };
    for (const auto& c : cases) {
        CViewSky page{[&c] { return c.snapshot; }};
        page.resize(238, 250);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
        page.OnUpdate(SkyUpdated{});
        page.repaint();
        CRadarView* plot = page.Plot();
        ASSERT_EQ(plot->Markers().size(), 1u);
        const QPoint marker = plot->contentsRect().topLeft() + plot->Markers()[0].at;
        QTest::mouseMove(plot, marker + QPoint(3, 2));
        EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 2000)) << c.tip.toStdString();
        EXPECT_EQ(QToolTip::text(), c.tip);
        QTest::mouseMove(plot, QPoint(2, 2));
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
    }
}

// A box 18 units wide in the Sky page's font: the letter joins the number once the screen draws
// 1.5 pixels per unit or more, in a font that fits the box and reads no smaller than at page size.
TEST(BoxLabels, TheConstellationLetterFromOneAndAHalfUp) {
    const QFont font = ArialCell(11);
    const SatelliteId ids[] = {{GnssId::Gps, 13}, {GnssId::BeiDou, 63}, {GnssId::Sbas, 158}, {GnssId::Glonass, 24}};
    for (const double scale : {1.0, 1.5, 2.37, 4.0}) {
        for (const SatelliteId id : ids) {
            const BoxLabel label = SatelliteBoxLabel(id, font, 18, scale);
            if (scale == 1.0) {
                EXPECT_EQ(label.text, SatelliteLabel(id, QFontMetrics(font), 18));
                EXPECT_EQ(label.font, font);
                continue;
            }
            EXPECT_EQ(label.text, QChar::fromLatin1(ConstellationLetter(id.gnss)) + QString::number(id.svid)) << scale;
            EXPECT_LE(QFontMetrics(label.font).horizontalAdvance(label.text), 18) << scale;
            EXPECT_GE(label.font.pixelSize() * scale, 10.0) << scale;
        }
    }
}

}  // namespace
}  // namespace vexa
