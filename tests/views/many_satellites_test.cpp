#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <algorithm>
#include <set>

#include "page_test_support.h"
#include "receiver/product/receiver_context.h"
#include "views/graphic/sky_plot.h"
#include "views/graphic/view_sky.h"
#include "views/page_palette.h"
#include "views/satellite_colour.h"
#include "views/satellite_label.h"
#include "views/signal_bar.h"
#include "views/signal_places.h"
#include "views/signal_view.h"

namespace vexa {
namespace {

using testing_support::ColourAt;
using testing_support::Render;

SkySatellite Satellite(GnssId gnss, int svid, std::optional<double> cn0, bool used, double elevation = 45,
                       double azimuth = 90) {
    SkySatellite satellite;
    satellite.id = {gnss, static_cast<std::uint16_t>(svid)};
    satellite.cn0 = cn0;
    satellite.used = used;
    satellite.elevation = elevation;
    satellite.azimuth = azimuth;
    return satellite;
}

std::vector<std::pair<GnssId, int>> Ids(const std::vector<SkySatellite>& satellites) {
    std::vector<std::pair<GnssId, int>> ids;
    for (const SkySatellite& satellite : satellites) ids.emplace_back(satellite.id.gnss, satellite.id.svid);
    return ids;
}

// Sixteen satellites of four systems: seven used, seven heard but not used, two not heard at all.
GnssSky MixedSky() {
    GnssSky sky;
    sky.satellites = {
        Satellite(GnssId::Gps, 3, 41, true),      Satellite(GnssId::Gps, 17, 48, false),
        Satellite(GnssId::Glonass, 5, 36, true),  Satellite(GnssId::Glonass, 12, std::nullopt, false),
        Satellite(GnssId::Galileo, 11, 44, true), Satellite(GnssId::Galileo, 30, 33, false),
        Satellite(GnssId::BeiDou, 7, 39, true),   Satellite(GnssId::BeiDou, 21, 46, false),
        Satellite(GnssId::Gps, 28, 30, true),     Satellite(GnssId::BeiDou, 40, 25, false),
        Satellite(GnssId::Sbas, 131, 38, false),  Satellite(GnssId::Glonass, 20, 41, true),
        Satellite(GnssId::Galileo, 2, 22, false), Satellite(GnssId::Gps, 9, std::nullopt, false),
        Satellite(GnssId::Galileo, 19, 47, true), Satellite(GnssId::BeiDou, 8, 29, false),
    };
    return sky;
}

TEST(TwelvePlaces, UsedSatellitesFirstThenTheStrongest) {
    const std::vector<std::pair<GnssId, int>> expected{
        // used, strongest first; GPS 3 and GLONASS 20 tie at 41 and go by constellation
        {GnssId::Galileo, 19}, {GnssId::Galileo, 11}, {GnssId::Gps, 3}, {GnssId::Glonass, 20},
        {GnssId::BeiDou, 7},   {GnssId::Glonass, 5},  {GnssId::Gps, 28},
        // then the strongest of the rest; BeiDou 40, Galileo 2 and the two unheard are left out
        {GnssId::Gps, 17}, {GnssId::BeiDou, 21}, {GnssId::Sbas, 131}, {GnssId::Galileo, 30}, {GnssId::BeiDou, 8},
    };
    EXPECT_EQ(Ids(SatellitesForTwelvePlaces(MixedSky())), expected);
}

TEST(TwelvePlaces, FewSatellitesAreAllShownTheUnheardLast) {
    GnssSky sky;
    sky.satellites = {Satellite(GnssId::Qzss, 2, std::nullopt, false), Satellite(GnssId::Navic, 4, 31, false),
                      Satellite(GnssId::Gps, 1, 35, true)};
    EXPECT_EQ(Ids(SatellitesForTwelvePlaces(sky)),
              (std::vector<std::pair<GnssId, int>>{{GnssId::Gps, 1}, {GnssId::Navic, 4}, {GnssId::Qzss, 2}}));
    EXPECT_TRUE(SatellitesForTwelvePlaces(GnssSky{}).empty());
}

TEST(SatelliteLabel, TheConstellationLetterLeadsWhereItFits) {
    const QFontMetrics metrics(QFont(QStringLiteral("Arial"), 10));
    const struct {
        GnssId gnss;
        int svid;
        const char* lettered;
    } cases[] = {{GnssId::Gps, 7, "G7"},      {GnssId::Glonass, 24, "R24"}, {GnssId::Galileo, 36, "E36"},
                 {GnssId::BeiDou, 63, "C63"}, {GnssId::Qzss, 3, "J3"},      {GnssId::Sbas, 133, "S133"},
                 {GnssId::Navic, 9, "I9"}};
    for (const auto& c : cases) {
        const SatelliteId id{c.gnss, static_cast<std::uint16_t>(c.svid)};
        EXPECT_EQ(SatelliteLabel(id, metrics, 200), QString::fromLatin1(c.lettered));
        EXPECT_EQ(SatelliteLabel(id, metrics, 1), QString::number(c.svid));
    }
}

TEST(SatelliteColour, ASatelliteOfManySystemsFollowsTheChannelRules) {
    GnssFix differential;
    differential.quality = FixQuality::Differential;
    GnssFix standard;
    standard.quality = FixQuality::Standard;
    const struct {
        SkySatellite satellite;
        const GnssFix* fix;
        QColor colour;
    } cases[] = {
        {Satellite(GnssId::Glonass, 4, 40, true), &standard, kPaletteGreen},
        {Satellite(GnssId::Sbas, 131, 40, false), &differential, kPaletteCyan},
        {Satellite(GnssId::Sbas, 131, 40, false), &standard, kPaletteBlue},
        {Satellite(GnssId::Gps, 12, 40, false), &differential, kPaletteBlue},
        {Satellite(GnssId::BeiDou, 12, std::nullopt, false), nullptr, kPaletteRed},
        {Satellite(GnssId::Galileo, 12, 0, false), nullptr, kPaletteRed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SatelliteColour(c.satellite, c.fix).name(), c.colour.name()) << c.satellite.id.svid;
    }
}

class SignalPageOfManySystems : public testing::Test {
protected:
    SignalPageOfManySystems() {
        context.LinkProtocol = kNmeaProtocol;
        view.resize(238, 250);
        view.OnInitialUpdate();
        snapshot.sky = MixedSky();
    }

    ReceiverContext context;
    ModelSnapshot snapshot;
    std::int64_t now = 100000;
    CSignalView view{context, [this] { return snapshot; }, nullptr, [this] { return now; }};
};

TEST_F(SignalPageOfManySystems, TheTwelvePlacesShowTheChosenSatellitesWithStrengthAndColour) {
    view.OnUpdate(SkyUpdated{});
    const auto chosen = SatellitesForTwelvePlaces(*snapshot.sky);
    for (int place = 0; place < 12; ++place) {
        const QLabel& number = *view.NumberLabel(place);
        EXPECT_EQ(number.text(), SatelliteLabel(chosen[place].id, number.fontMetrics(), number.contentsRect().width()));
        EXPECT_TRUE(number.text().endsWith(QString::number(chosen[place].id.svid)));
    }
    EXPECT_EQ(view.StrengthLabel(0)->text(), "47");
    EXPECT_EQ(view.Bar(0)->Pos(), 47);
    EXPECT_EQ(view.Bar(0)->Colour().name(), kPaletteGreen.name());
    EXPECT_EQ(view.StrengthLabel(7)->text(), "48");
    EXPECT_EQ(view.Bar(7)->Colour().name(), kPaletteBlue.name());
    EXPECT_EQ(view.FixStatusColour().name(), kPaletteBlue.name());  // heard, but no fix yet

    snapshot.fix = GnssFix{};
    snapshot.fix->mode = FixMode::ThreeD;
    snapshot.fix->latitude = 12.5;
    snapshot.fix->longitude = -3.25;
    view.OnUpdate(FixUpdated{});
    EXPECT_EQ(view.FixStatusColour().name(), kPaletteGreen.name());
    now += CSignalView::kFixLostAfterMs;
    view.OnUpdate(MessageDelivered{MessageId::DevelopmentText});
    EXPECT_EQ(view.FixStatusColour().name(), kPaletteYellow.name());

    snapshot.sky->satellites.resize(3);  // a smaller sky empties the places it no longer fills
    view.OnUpdate(SkyUpdated{});
    EXPECT_FALSE(view.NumberLabel(2)->text().isEmpty());
    EXPECT_TRUE(view.NumberLabel(3)->text().isEmpty());
    EXPECT_TRUE(view.StrengthLabel(3)->text().isEmpty());
    EXPECT_EQ(view.Bar(3)->BarHeight(), 0);
}

// The places are filled again whenever what they show could differ: the fix's quality colours an
// SBAS satellite, and channels shown in between leave the places to be filled anew.
TEST_F(SignalPageOfManySystems, APlaceFollowsTheFixQualityAndTheChannelsShownInBetween) {
    const auto chosen = SatellitesForTwelvePlaces(*snapshot.sky);
    const int sbas = static_cast<int>(std::find_if(chosen.begin(), chosen.end(), [](const SkySatellite& satellite) {
                                          return satellite.id.gnss == GnssId::Sbas;
                                      }) - chosen.begin());
    ASSERT_LT(sbas, 12);
    snapshot.fix = GnssFix{};
    for (const FixQuality quality : {FixQuality::Standard, FixQuality::Differential, FixQuality::Standard}) {
        snapshot.fix->quality = quality;
        view.OnUpdate(FixUpdated{});
        EXPECT_EQ(view.Bar(sbas)->Colour().name(), (quality == FixQuality::Differential ? kPaletteCyan : kPaletteBlue).name());
    }
    const QString shown = view.NumberLabel(0)->text();
    snapshot.track = TrackData{};
    snapshot.track->Channels[0].Prn = 23;
    view.OnUpdate(MessageDelivered{MessageId::NavData});
    snapshot.track.reset();
    view.OnUpdate(SkyUpdated{});
    EXPECT_EQ(view.NumberLabel(0)->text(), shown);
}

TEST_F(SignalPageOfManySystems, TheBinaryChannelsWinWhileTheyAreThere) {
    snapshot.track = TrackData{};
    snapshot.nav = NavData{};
    snapshot.track->Channels[0].Prn = 23;
    view.OnUpdate(MessageDelivered{MessageId::NavData});
    EXPECT_EQ(view.NumberLabel(0)->text(), "23");
    EXPECT_TRUE(view.NumberLabel(1)->text().isEmpty());
}

// A sky of four systems spread around the plot, one satellite per azimuth step so no two markers meet.
GnssSky FourSystemSky() {
    GnssSky sky;
    const GnssId systems[] = {GnssId::Gps, GnssId::Glonass, GnssId::Galileo, GnssId::BeiDou};
    for (int i = 0; i < 20; ++i) {
        const double elevation = i % 2 == 0 ? 10.0 : 50.0;
        sky.satellites.push_back(Satellite(systems[i % 4], 1 + i, 30 + i, i < 8, elevation, i * 18.0));
    }
    return sky;
}

TEST(SkyPlotOfManySystems, EverySatelliteInViewIsDrawnInItsColour) {
    ModelSnapshot snapshot;
    snapshot.sky = FourSystemSky();
    const SkyGeometry geometry = SkyGeometryFor({172, 172});
    QImage image;
    SkyBoxTexts boxes;
    ASSERT_TRUE(DrawSkyPlot(image, geometry, snapshot, boxes));
    std::set<GnssId> drawn;
    for (const SkySatellite& satellite : snapshot.sky->satellites) {
        const QPoint centre = SkyPositionDegrees(geometry, *satellite.elevation, *satellite.azimuth);
        // The marker's colour below its label, inside the ellipse.
        const QString expected = (satellite.used ? kPaletteGreen : kPaletteBlue).name();
        EXPECT_EQ(ColourAt(image, centre.x(), centre.y() + 6), expected) << satellite.id.svid;
        drawn.insert(satellite.id.gnss);
    }
    EXPECT_EQ(drawn.size(), 4u);
    // Straight overhead is at the centre, on the horizon due north at the radius.
    EXPECT_EQ(SkyPositionDegrees(geometry, 90, 0), geometry.centre);
    EXPECT_EQ(SkyPositionDegrees(geometry, 0, 0), geometry.centre - QPoint(0, geometry.radius));
}

TEST(SkyPlotOfManySystems, SatellitesWithoutAPlaceInTheSkyAreLeftOut) {
    ModelSnapshot snapshot;
    snapshot.sky = GnssSky{};
    SkySatellite below = Satellite(GnssId::Glonass, 3, 30, false, -5, 0);
    SkySatellite unplaced = Satellite(GnssId::Galileo, 4, 30, false);
    unplaced.elevation.reset();
    snapshot.sky->satellites = {below, unplaced};
    QImage image;
    SkyBoxTexts boxes;
    ASSERT_TRUE(DrawSkyPlot(image, SkyGeometryFor({172, 172}), snapshot, boxes));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) ASSERT_NE(ColourAt(image, x, y), kPaletteBlue.name()) << x << "," << y;
    }
    EXPECT_EQ(boxes[0].satellite, "4");  // an equal signal: Galileo before GLONASS
    EXPECT_TRUE(boxes[0].elevation.isEmpty());
    EXPECT_EQ(boxes[0].azimuth, "90");
}

TEST(SkyPageOfManySystems, BoxesShowTheTwelveOfTheSignalPage) {
    ModelSnapshot snapshot;
    snapshot.sky = FourSystemSky();
    CViewSky page{[&snapshot] { return snapshot; }};
    page.resize(238, 250);
    page.OnInitialUpdate();
    page.OnUpdate(SkyUpdated{});
    const auto chosen = SatellitesForTwelvePlaces(*snapshot.sky);
    for (int box = 0; box < 12; ++box) {
        const SkyChannelTexts texts = page.BoxTexts(box);
        EXPECT_TRUE(texts.satellite.endsWith(QString::number(chosen[box].id.svid))) << box;
        EXPECT_EQ(texts.elevation, QString::number(static_cast<int>(*chosen[box].elevation)));
        EXPECT_EQ(texts.azimuth, QString::number(static_cast<int>(*chosen[box].azimuth)));
    }
}

}  // namespace
}  // namespace vexa
