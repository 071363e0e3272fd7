#include <gtest/gtest.h>

#include <functional>

#include "page_test_support.h"
#include "receiver/binary/message_ids.h"
#include "views/graphic/radar_view.h"
#include "views/graphic/sky_plot.h"
#include "views/graphic/view_sky.h"
#include "views/page_palette.h"

namespace vexa {
namespace {

using testing_support::ColourAt;
using testing_support::Render;

const QString kBlack = QStringLiteral("#000000");

// The smallest rectangle holding every pixel of a colour.
QRect BoundsOf(const QImage& image, const QColor& colour) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// The first column in x0..x1 with a black pixel in rows y0..y1, or -1.
int LeftmostBlack(const QImage& image, int x0, int x1, int y0, int y1) {
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y)
            if (image.pixelColor(x, y) == Qt::black) return x;
    return -1;
}

ModelSnapshot OneSatellite(std::uint8_t prn, std::uint8_t elevation, std::uint8_t azimuth, std::uint16_t state) {
    ModelSnapshot snapshot{NavData{}, TrackData{}};
    TrackChannel& channel = snapshot.track->Channels[0];
    channel.Prn = prn;
    channel.Elevation = elevation;
    channel.Azimuth = azimuth;
    channel.State = state;
    return snapshot;
}

TEST(SkyPlot, GeometryOfTheSquare) {
    struct Case {
        QSize client;
        int side, d, centre, radius, ringStep;
    } cases[] = {
        {{172, 172}, 172, 142, 86, 71, 35},
        {{200, 120}, 120, 90, 60, 45, 22},
        {{90, 130}, 90, 60, 45, 30, 15},
    };
    for (const Case& c : cases) {
        const SkyGeometry g = SkyGeometryFor(c.client);
        EXPECT_EQ(g.side, c.side);
        EXPECT_EQ(g.d, c.d);
        EXPECT_EQ(g.centre, QPoint(c.centre, c.centre));
        EXPECT_EQ(g.radius, c.radius);
        EXPECT_EQ(g.ringStep, c.ringStep);
    }
}

TEST(SkyPlot, SatellitePositionsByElevationAndAzimuth) {
    const SkyGeometry g = SkyGeometryFor({172, 172});
    struct Case {
        int elevation, azimuth;
        QPoint at;
    } cases[] = {
        {180, 0, {86, 86}},   // overhead
        {180, 60, {86, 86}},
        {0, 0, {86, 15}},     // north on the horizon
        {0, 60, {157, 86}},   // east
        {90, 60, {121, 86}},  // 45 degrees up in the east: r = 35
        // Pi taken to ten digits puts south and west a hair past their axes, and truncation
        // toward zero moves them one pixel.
        {0, 120, {85, 157}},
        {90, 180, {51, 85}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SkyPosition(g, c.elevation, c.azimuth), c.at) << c.elevation << "/" << c.azimuth;
}

TEST(SkyPlot, CirclesOfTheHorizonAndOf45Degrees) {
    QImage image;
    SkyBoxTexts boxes;
    const SkyGeometry g = SkyGeometryFor({172, 172});
    ASSERT_FALSE(DrawSkyPlot(image, g, ModelSnapshot{}, boxes));
    ASSERT_EQ(image.size(), QSize(172, 172));
    const QString green = kPaletteGreen.name();
    // The horizon touches rows and columns 15 and 156, the 45-degree circle 50 and 121 (radius 36).
    for (int edge : {15, 156, 50, 121}) {
        EXPECT_EQ(ColourAt(image, 86, edge), green) << edge;
        EXPECT_EQ(ColourAt(image, edge, 86), green) << edge;
    }
    for (int outside : {14, 157, 49, 122}) EXPECT_EQ(ColourAt(image, 86, outside), kBlack) << outside;
    EXPECT_EQ(ColourAt(image, 86, 86), kBlack);
}

TEST(SkyPlot, MarkerSizesAndLabels) {
    QImage image;
    SkyBoxTexts boxes;
    const SkyGeometry g = SkyGeometryFor({172, 172});
    // Satellite 7 overhead: a 16 x 16 blue marker at the centre.
    ASSERT_TRUE(DrawSkyPlot(image, g, OneSatellite(7, 180, 0, 0x01), boxes));
    EXPECT_EQ(BoundsOf(image, kPaletteBlue), QRect(78, 78, 16, 16));
    EXPECT_EQ(boxes[0].satellite, "7");
    EXPECT_EQ(boxes[0].elevation, "90");
    EXPECT_EQ(boxes[0].azimuth, "0");
    // Its label " 7" is drawn from (80, 79); the leading blank keeps the digit off the first columns.
    const int digit = LeftmostBlack(image, 79, 92, 82, 90);
    EXPECT_GE(digit, 82);

    // Satellite 122 (red, no state bits): a 22 x 14 marker and a three-character label from (76, 79).
    ASSERT_TRUE(DrawSkyPlot(image, g, OneSatellite(122, 180, 0, 0x00), boxes));
    EXPECT_EQ(BoundsOf(image, kPaletteRed), QRect(75, 79, 22, 14));
    const int wideLabel = LeftmostBlack(image, 76, 95, 82, 90);
    EXPECT_GE(wideLabel, 76);
    EXPECT_LE(wideLabel, 80);
    EXPECT_EQ(boxes[0].satellite, "122");
}

TEST(SkyPlot, BoxTextsTruncateAndIdleChannelsAreEmpty) {
    QImage image;
    SkyBoxTexts boxes;
    boxes[5].satellite = "old";
    ModelSnapshot snapshot = OneSatellite(12, 1, 1, 0);
    ASSERT_TRUE(DrawSkyPlot(image, SkyGeometryFor({172, 172}), snapshot, boxes));
    EXPECT_EQ(boxes[0].azimuth, "1");
    EXPECT_EQ(boxes[0].elevation, "0");
    EXPECT_TRUE(boxes[5].satellite.isEmpty() && boxes[5].azimuth.isEmpty() && boxes[5].elevation.isEmpty());
}

TEST(SkyPlot, GarbageAnglesAndTinyAreasDrawWithoutHarm) {
    QImage image;
    SkyBoxTexts boxes;
    ModelSnapshot snapshot = OneSatellite(255, 255, 255, 0xFFFF);
    for (QSize client : {QSize(172, 172), QSize(20, 20), QSize(1, 1), QSize(0, 0)})
        DrawSkyPlot(image, SkyGeometryFor(client), snapshot, boxes);
    EXPECT_EQ(boxes[0].elevation, "127");
    EXPECT_EQ(boxes[0].azimuth, "382");
}

class SkyPage : public testing::Test {
protected:
    SkyPage() {
        page.resize(238, 250);
        page.OnInitialUpdate();
    }
    ModelSnapshot snapshot;
    CViewSky page{[this] { return snapshot; }};
};

TEST_F(SkyPage, WithoutTrackerDataTheSquareIsBlackAndBoxesKeepTheirTexts) {
    snapshot = OneSatellite(7, 90, 60, 0x01);
    Render(page);
    EXPECT_EQ(page.BoxTexts(0).satellite, "7");
    snapshot = {};
    page.OnUpdate(MessageDelivered{MessageId::NavData});  // the link tells of every change
    const QImage image = Render(page);
    EXPECT_EQ(page.BoxTexts(0).satellite, "7");
    EXPECT_EQ(page.BoxTexts(0).azimuth, "90");
    EXPECT_EQ(page.BoxTexts(0).elevation, "45");
    for (QPoint p : {QPoint(31 + 86, 2 + 15), QPoint(31 + 86, 2 + 86), QPoint(31 + 171, 2 + 171)})
        EXPECT_EQ(ColourAt(image, p.x(), p.y()), kBlack);
    EXPECT_EQ(ColourAt(image, 30, 1), kBlack);  // the border
    EXPECT_EQ(ColourAt(image, 2, 100), kPaletteLightGrey.name());
}

TEST_F(SkyPage, AnUpdateFillsTheBoxesBeforeTheFirstPaint) {
    snapshot = OneSatellite(7, 90, 60, 0x01);
    page.OnUpdate(MessageDelivered{MessageId::NavData});
    EXPECT_EQ(page.BoxTexts(0).satellite, "7");
    const QImage image = Render(page);
    int inked = 0;  // the digit inside the first satellite box, within its frame
    for (int x = 6; x < 20; ++x) {
        for (int y = 187; y < 195; ++y) inked += ColourAt(image, x, y) == kBlack;
    }
    EXPECT_GT(inked, 0);
}

TEST_F(SkyPage, PlotIsCopiedIntoTheWindowInsideItsBorder) {
    snapshot = OneSatellite(7, 180, 0, 0x01);
    const QImage image = Render(page);
    EXPECT_EQ(ColourAt(image, 31 + 78, 2 + 86), kPaletteBlue.name());
    EXPECT_EQ(ColourAt(image, 31 + 86, 2 + 50), kPaletteGreen.name());
}

// The plot is drawn again only when what it shows changed: after each change a kept page shows exactly
// what a page made anew for the same sky, size and scale shows.
TEST(SkyPlotKept, EachChangeShowsWhatAFreshDrawingShows) {
    auto satellite = [](GnssId gnss, std::uint16_t svid, double elevation, double azimuth, bool used) {
        SkySatellite each;
        each.id = {gnss, svid};
        each.elevation = elevation;
        each.azimuth = azimuth;
        each.cn0 = 40;
        each.used = used;
        return each;
    };
    ModelSnapshot snapshot;
    snapshot.sky = GnssSky{};
    snapshot.sky->satellites = {satellite(GnssId::Gps, 5, 40, 100, true), satellite(GnssId::Galileo, 12, 60, 200, false),
                                satellite(GnssId::Glonass, 7, 20, 300, true)};
    struct Step {
        const char* change;
        std::function<void(GnssSky&)> apply;
        int scale;
        QSize plot;
    };
    const Step steps[] = {
        {"first drawing", [](GnssSky&) {}, 1, {174, 174}},
        {"a satellite moves a pixel", [](GnssSky& sky) { *sky.satellites[0].azimuth += 2; }, 1, {174, 174}},
        {"a satellite changes colour", [](GnssSky& sky) { sky.satellites[1].used = true; }, 1, {174, 174}},
        {"a satellite appears", [&](GnssSky& sky) { sky.satellites.push_back(satellite(GnssId::BeiDou, 30, 70, 10, false)); }, 1, {174, 174}},
        {"a satellite leaves", [](GnssSky& sky) { sky.satellites.erase(sky.satellites.begin()); }, 1, {174, 174}},
        {"the zoom grows", [](GnssSky&) {}, 3, {174, 174}},
        {"a label moves when drawn larger", [](GnssSky& sky) { *sky.satellites[0].elevation += 0.5; }, 3, {174, 174}},
        {"the size changes", [](GnssSky&) {}, 3, {150, 150}},
        {"the zoom shrinks", [](GnssSky&) {}, 2, {150, 150}},
    };
    CViewSky kept{[&snapshot] { return snapshot; }};
    kept.resize(238, 250);
    kept.OnInitialUpdate();
    for (const Step& step : steps) {
        step.apply(*snapshot.sky);
        kept.Plot()->resize(step.plot);
        kept.OnUpdate(SkyUpdated{});
        CViewSky fresh{[&snapshot] { return snapshot; }};
        fresh.resize(238, 250);
        fresh.Plot()->resize(step.plot);
        fresh.OnInitialUpdate();
        auto render = [&step](QWidget& page) {
            QImage image(page.size() * step.scale, QImage::Format_RGB32);
            image.setDevicePixelRatio(step.scale);
            page.render(&image);
            return image;
        };
        EXPECT_EQ(render(kept), render(fresh)) << step.change;
    }
}

}  // namespace
}  // namespace vexa
