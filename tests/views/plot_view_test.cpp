#include <gtest/gtest.h>

#include <QLineEdit>

#include "page_test_support.h"
#include "uicore/display_preferences.h"
#include "views/display_sheets.h"
#include "views/graphic/plot_view.h"
#include "views/graphic/view_sct.h"
#include "views/page_palette.h"
#include "views/pref_map_page.h"
#include "views/preferences_sheet.h"

namespace vexa {
namespace {

using testing_support::ColourAt;
using testing_support::MemorySections;
using testing_support::Render;

constexpr double kMetresPerDegree = 111199.233;
const QString kWhite = QStringLiteral("#ffffff");
const QString kBlack = QStringLiteral("#000000");

class PlotPage : public testing::Test {
protected:
    PlotPage() {
        page.resize(238, 250);
        page.OnInitialUpdate();
    }
    CMapView& Plot() { return *page.Plot(); }
    // One navigation update with a fix `north` and `east` metres from (lat0, lon0).
    void FixAt(double north, double east = 0.0) {
        fix = GeodeticFix{kLat0 + north / kMetresPerDegree,
                          kLon0 + east / (kMetresPerDegree * std::cos(kLat0 * 0.017453292519943295)), 40.0};
        page.OnUpdate(MessageDelivered{MessageId::NavData});
    }
    // Every pixel of the 3 x 3 square around (x, y) that is black.
    bool BlackNear(const QImage& image, int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (ColourAt(image, x + dx, y + dy) == kBlack) return true;
        return false;
    }

    static constexpr double kLat0 = 37.3875;
    static constexpr double kLon0 = -121.972;
    AppSettings settings;
    MemorySections store{settings};
    testing_support::MessagePrompts prompts;
    std::function<int(CPreferencesSheet&)> answerSheet = [](CPreferencesSheet&) { return int(QDialog::Rejected); };
    DisplayPreferences preferences{
        settings, store, prompts, DisplaySheets(settings, prompts, [this](CPreferencesSheet& s) { return answerSheet(s); })};
    std::optional<GeodeticFix> fix;
    CViewSct page{preferences, [this] { return fix; }};
};

TEST_F(PlotPage, FrameCrossHairAndRingsOf10_20_30Metres) {
    const QImage& image = Plot().PlotImage();
    ASSERT_EQ(image.size(), QSize(160, 160));
    EXPECT_DOUBLE_EQ(Plot().Scale(), 80.0 / 30.0);
    for (QPoint p : {QPoint(0, 0), QPoint(159, 10), QPoint(10, 159), QPoint(0, 100), QPoint(80, 5), QPoint(5, 80)})
        EXPECT_EQ(ColourAt(image, p.x(), p.y()), kBlack) << p.x() << "," << p.y();
    EXPECT_EQ(ColourAt(image, 10, 10), kWhite);
    // The top rows of the 26- and 53-pixel rings, one pixel left of the cross-hair.
    for (int top : {80 - 26, 80 - 53}) {
        EXPECT_EQ(ColourAt(image, 78, top), kBlack) << top;
        EXPECT_EQ(ColourAt(image, 78, top - 1), kWhite) << top;
        EXPECT_EQ(ColourAt(image, 78, top + 1), kWhite) << top;
    }
    // The 80-pixel ring passes the diagonal at about 80 - 80 / sqrt(2).
    EXPECT_TRUE(BlackNear(image, 23, 23));
    EXPECT_EQ(ColourAt(image, 30, 30), kWhite);
}

TEST_F(PlotPage, FirstFixBecomesTheOriginAndIsDrawnGreenAtTheCentre) {
    FixAt(0.0);
    EXPECT_DOUBLE_EQ(settings.m_dOriginLat, kLat0);
    EXPECT_EQ(store.plotSaves, 1);
    EXPECT_DOUBLE_EQ(store.stored.m_dOriginLon, fix->longitude);
    EXPECT_EQ(ColourAt(Plot().PlotImage(), 80, 80), "#00ff00");
    EXPECT_EQ(ColourAt(Plot().PlotImage(), 78, 78), "#00ff00");
    EXPECT_EQ(ColourAt(Plot().PlotImage(), 82, 82), kWhite);
}

TEST_F(PlotPage, AnOriginAtTheNoFixPoleIsReplacedByTheFirstFix) {
    // What an earlier run saved from a receiver without a fix; every fix would be clamped to the bottom.
    settings.m_dOriginLat = 90.0;
    settings.m_dOriginLon = 0.0;
    Plot().Rebuild();
    FixAt(0.0);
    EXPECT_DOUBLE_EQ(settings.m_dOriginLat, kLat0);
    EXPECT_DOUBLE_EQ(store.stored.m_dOriginLon, kLon0);
    EXPECT_EQ(ColourAt(Plot().PlotImage(), 80, 80), "#00ff00");
}

TEST_F(PlotPage, FixesAreProjectedAndClampedToThePlot) {
    settings.m_dOriginLat = kLat0;
    settings.m_dOriginLon = kLon0;
    Plot().Rebuild();
    struct Case {
        double north, east;
        QPoint at;
    } cases[] = {
        {0, 0, {80, 80}},     {30, 0, {80, 0}},      {40, 0, {80, 0}},      {-30, 0, {80, 159}},
        {0, 15.1, {120, 80}},   {0, -29.9, {0, 80}},   {0, -1e9, {0, 80}},    {0, 1e9, {159, 80}},
        {1e9, 1e9, {159, 0}}, {-7.6, 0, {80, 100}},
    };
    for (const Case& c : cases) {
        const GeodeticFix at{kLat0 + c.north / kMetresPerDegree,
                             kLon0 + c.east / (kMetresPerDegree * std::cos(kLat0 * 0.017453292519943295)), 0.0};
        EXPECT_EQ(Plot().Project(at), c.at) << c.north << " north, " << c.east << " east";
    }
}

TEST_F(PlotPage, HistoryFadesFromBlueToGreenOverTheLastEightFixes) {
    FixAt(0.0);
    for (int i = 1; i < 9; ++i) FixAt(0.0, 3.0 * i + 0.1);  // 8 pixels east each
    EXPECT_EQ(Plot().HistoryCount(), 8);
    const QString fades[] = {"#0000ff", "#0020dc", "#0040a0", "#00608c", "#007878", "#00a020", "#00dc14", "#00ff00"};
    for (int i = 1; i < 9; ++i) EXPECT_EQ(ColourAt(Plot().PlotImage(), 80 + 8 * i, 80), fades[i - 1]) << i;
    // The ninth fix back at the centre stays in the colour it was last drawn with.
    EXPECT_EQ(ColourAt(Plot().PlotImage(), 80, 80), "#0000ff");
}

// Shown three times larger, the plot is drawn again at that resolution, not enlarged: a dot left
// behind, the fading history and the rings are where the page-size image has them.
TEST_F(PlotPage, ShownLargerThePlotIsDrawnAtTheScreensResolutionWithEveryDotInPlace) {
    FixAt(0.0);
    for (int i = 1; i < 10; ++i) FixAt(0.0, 3.0 * i + 0.1);
    constexpr int kZoom = 3;
    QImage shown(Plot().size() * kZoom, QImage::Format_RGB32);
    shown.setDevicePixelRatio(kZoom);
    Plot().render(&shown);
    const QImage& page = Plot().PlotImage();
    const QImage enlarged = page.scaled(page.size() * kZoom);
    const QPoint origin = (Plot().ImageOrigin() - Plot().rect().topLeft()) * kZoom;
    EXPECT_NE(shown.copy(QRect(origin, enlarged.size())), enlarged);
    for (const QPoint at : {QPoint(80, 80), QPoint(88, 80), QPoint(104, 80), QPoint(152, 80), QPoint(70, 70)}) {
        EXPECT_EQ(ColourAt(shown, origin.x() + at.x() * kZoom + 1, origin.y() + at.y() * kZoom + 1), ColourAt(page, at.x(), at.y()))
            << at.x() << "," << at.y();
    }
}

// Shown larger, fixes standing still, creeping a pixel at a time and jumping are drawn as they
// come: the plot then shows what it shows drawn afresh from its dots.
TEST_F(PlotPage, ShownLargerThePlotDrawnFixByFixEqualsThePlotDrawnAfresh) {
    QImage shown(Plot().size() * 3, QImage::Format_RGB32);
    shown.setDevicePixelRatio(3);
    Plot().render(&shown);
    const double norths[] = {0.0, 0.0, 0.0, 0.1, 0.4, 0.4, 0.4, 0.4, 0.4, 0.4, 0.4, 0.4, 0.4, 0.8, 1.2, 9.0, 9.0, 0.4, 0.4, 0.4, 2.0};
    for (const double north : norths) FixAt(north, north / 2);
    Plot().render(&shown);
    const QImage drawnFixByFix = shown.copy();
    QImage other(Plot().size() * 2, QImage::Format_RGB32);
    other.setDevicePixelRatio(2);
    Plot().render(&other);
    Plot().render(&shown);
    EXPECT_EQ(shown, drawnFixByFix);
}

TEST_F(PlotPage, AnNmeaFixEntersTheTrackOnceAtItsHint) {
    fix = GeodeticFix{kLat0, kLon0, 40.0};
    page.OnUpdate(MessageDelivered{MessageId::DevelopmentText});
    EXPECT_EQ(Plot().HistoryCount(), 0) << "sentences are not fixes";
    page.OnUpdate(FixUpdated{});
    EXPECT_EQ(Plot().HistoryCount(), 1);
    EXPECT_EQ(ColourAt(Plot().PlotImage(), 80, 80), "#00ff00");
}

TEST_F(PlotPage, PaintsShowTheImageWithoutAddingFixes) {
    FixAt(0.0);
    FixAt(7.5);
    const QImage before = Plot().PlotImage();
    Render(page);
    Render(page);
    page.OnUpdate(MessageDelivered{MessageId::TrackData});
    EXPECT_EQ(Plot().HistoryCount(), 2);
    EXPECT_EQ(Plot().PlotImage(), before);
}

TEST_F(PlotPage, ImageIsCentredAboveTheCaption) {
    EXPECT_EQ(Plot().geometry(), QRect(-1, -1, 241, 211));
    EXPECT_EQ(Plot().contentsRect().size(), QSize(239, 209));
    EXPECT_EQ(Plot().ImageOrigin() - Plot().contentsRect().topLeft(), QPoint(39, 24));
    const QImage image = Render(page);
    EXPECT_EQ(ColourAt(image, 39, 24), kBlack);
    EXPECT_EQ(ColourAt(image, 40, 25), kWhite);
    EXPECT_EQ(ColourAt(image, 38, 23), kPaletteLightGrey.name());
    EXPECT_EQ(ColourAt(image, 198, 183), kBlack);
    EXPECT_EQ(ColourAt(image, 199, 184), kPaletteLightGrey.name());
    // "Rings: 10, 20, 30 [m]" in black from (2, 193), on light grey.
    int firstRow = -1, firstColumn = 1000;
    for (int y = 185; y < 209; ++y)
        for (int x = 0; x < 39; ++x)
            if (ColourAt(image, x, y) == kBlack) {
                if (firstRow < 0) firstRow = y;
                firstColumn = std::min(firstColumn, x);
            }
    EXPECT_GE(firstRow, 193);
    EXPECT_LE(firstRow, 197);
    EXPECT_GE(firstColumn, 2);
    EXPECT_LE(firstColumn, 4);
}

TEST_F(PlotPage, CenterMovesTheOriginToTheFixAndEmptiesTheHistory) {
    FixAt(0.0);
    FixAt(7.5);
    EXPECT_NE(ColourAt(Plot().PlotImage(), 81, 59), kWhite);
    fix = GeodeticFix{0.0, 12.0, 0.0};  // never taken as origin at exactly 0
    page.OnCenter();
    EXPECT_DOUBLE_EQ(settings.m_dOriginLat, kLat0);
    fix.reset();
    page.OnCenter();
    EXPECT_EQ(Plot().HistoryCount(), 2);

    fix = GeodeticFix{kLat0 + 0.001, kLon0, 0.0};
    page.OnCenter();
    EXPECT_DOUBLE_EQ(store.stored.m_dOriginLat, kLat0 + 0.001);
    EXPECT_EQ(Plot().HistoryCount(), 0);
    EXPECT_EQ(ColourAt(Plot().PlotImage(), 81, 59), kWhite);  // the old dots are gone
}

TEST_F(PlotPage, PropertiesWithValidRadiiRebuildAndKeepTheHistory) {
    FixAt(0.0);
    answerSheet = [](CPreferencesSheet& sheet) {
        EXPECT_EQ(sheet.Page()->Title(), "Plot");
        auto* page = static_cast<CPrefMapPage*>(sheet.Page());
        page->Field(1025)->setText("100");
        sheet.accept();
        return sheet.result();
    };
    page.OnProperties();
    EXPECT_EQ(store.stored.m_nRing3, 100);
    EXPECT_DOUBLE_EQ(Plot().Scale(), 0.8);
    EXPECT_EQ(Plot().HistoryCount(), 1);
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(PlotPage, PropertiesWithInvalidRadiiRestoreTheStoredOnes) {
    answerSheet = [](CPreferencesSheet& sheet) {
        auto* page = static_cast<CPrefMapPage*>(sheet.Page());
        page->Field(1024)->setText("40");
        sheet.accept();
        return sheet.result();
    };
    page.OnProperties();
    EXPECT_EQ(prompts.messages, QStringList{"Radii changes are invalid."});
    EXPECT_EQ(settings.m_nRing2, 20);
    EXPECT_EQ(store.plotSaves, 0);
    EXPECT_DOUBLE_EQ(Plot().Scale(), 80.0 / 30.0);
}

}  // namespace
}  // namespace vexa
