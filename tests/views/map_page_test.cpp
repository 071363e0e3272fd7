#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>

#include "receiver/binary/message_ids.h"
#include "uicore/scripted_prompts.h"
#include "views/graphic/cartex_view.h"
#include "views/graphic/picture_button.h"
#include "views/graphic/view_map.h"

namespace vexa {
namespace {

const QString kSampleFolder = QStringLiteral(VEXA_SOURCE_DIR "/res/maps/VexaDemoPPC_Maps");
const QString kSampleGeoset = kSampleFolder + QStringLiteral("/VexaDemoPPC.gst");
constexpr double kSampleLongitude = -121.972;
constexpr double kSampleLatitude = 37.3875;

class MapPage : public testing::Test {
protected:
    MapPage() { page.resize(240, 244); }

    void Load(const QString& geoset) {
        prompts.fileAnswers.push_back(geoset);
        page.CartexView()->LoadMap();
    }
    void LoadSample() {
        Load(kSampleGeoset);
        ASSERT_TRUE(page.CartexView()->MapLoaded());
        ASSERT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('\n').toStdString();
    }
    // One navigation update with a fix at a place given in view widths and heights from the centre.
    void FixAt(double widths, double heights) {
        const GeoRect view = Control().Bounds();
        fix = GeodeticFix{Control().CenterY() + heights * view.Height(), Control().CenterX() + widths * view.Width(),
                          12.0};
        page.OnUpdate(MessageDelivered{MessageId::NavData});
    }
    CCartex& Control() { return *page.CartexView()->Control(); }
    const VectorFeature& Marker() { return page.CartexView()->PositionLayer()->Features().front(); }

    ScriptedPrompts prompts;
    std::optional<GeodeticFix> fix;
    CViewMap page{prompts, [this] { return fix; }};
};

TEST_F(MapPage, CancellingTheGeosetDialogChangesNothing) {
    page.CartexView()->LoadMap();
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    const FileRequest& request = prompts.fileRequests.front();
    EXPECT_EQ(request.title, "Select Geoset");
    EXPECT_EQ(request.filterName, "Geoset Files");
    EXPECT_EQ(request.pattern, "*.gst");
    EXPECT_EQ(request.defaultExtension, "gst");
    EXPECT_TRUE(request.initialFolder.endsWith("VexaDemoPPC_Maps"));
    EXPECT_EQ(prompts.waitNoticesShown, 0);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_FALSE(page.CartexView()->MapLoaded());
    EXPECT_EQ(Control().Layers().Count(), 0u);
}

TEST_F(MapPage, AnInstalledProgramOffersTheInstalledSampleMaps) {
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("bin"));
    ASSERT_TRUE(QDir(root.path()).mkpath("share/vexademo/maps/VexaDemoPPC_Maps"));
    const QString started = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root.filePath("bin")));
    page.CartexView()->LoadMap();
    QDir::setCurrent(started);
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    EXPECT_EQ(QDir(prompts.fileRequests.front().initialFolder).canonicalPath(),
              QDir(root.filePath("share/vexademo/maps/VexaDemoPPC_Maps")).canonicalPath());
}

TEST_F(MapPage, AGeosetThatFailsGivesItsOwnMessageThenTheMapMessage) {
    Load(QStringLiteral("/nonexistent/city.gst"));
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages[0].contains("/nonexistent/city.gst"));
    EXPECT_EQ(prompts.messages[1], "Could not open Geoset file.\r\nMap won't be available");
    EXPECT_FALSE(page.CartexView()->MapLoaded());
    EXPECT_EQ(prompts.waitNoticesShown, 1);
    EXPECT_EQ(prompts.waitNoticesClosed, 1);
}

TEST_F(MapPage, AFailedLoadKeepsTheMapShownWithOneMarker) {
    LoadSample();
    const std::size_t layers = Control().Layers().Count();
    Load(QStringLiteral("/nonexistent/city.gst"));
    EXPECT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(page.CartexView()->MapLoaded());
    EXPECT_EQ(Control().Layers().Count(), layers);
    EXPECT_EQ(Control().Layers().Item(0), page.CartexView()->PositionLayer());
}

TEST_F(MapPage, ALayerThatFailsIsNamedAndTheRestIsShown) {
    QTemporaryDir folder;
    QFile geoset(folder.filePath("partial.gst"));
    ASSERT_TRUE(geoset.open(QIODevice::WriteOnly));
    geoset.write(("\"\\TABLE\\1\\FILE\" = \"" + kSampleFolder + "/streets.geojson\"\n"
                  "\"\\TABLE\\2\\FILE\" = \"lost.tab\"\n").toUtf8());
    geoset.close();
    Load(geoset.fileName());
    EXPECT_TRUE(page.CartexView()->MapLoaded());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains("lost.tab"));
    ASSERT_EQ(Control().Layers().Count(), 2u);  // streets and the position layer
    // Without a centre and zoom in the geoset the view shows the layers whole.
    const GeoRect streets = Control().Layers().Item(1)->Bounds();
    const GeoRect view = Control().Bounds();
    EXPECT_LT(view.minX, streets.minX);
    EXPECT_GT(view.maxX, streets.maxX);
    EXPECT_LT(view.minY, streets.minY);
    EXPECT_GT(view.maxY, streets.maxY);
}

TEST_F(MapPage, LoadingSetsUpTheMarkerAndTheZoomLimit) {
    LoadSample();
    EXPECT_EQ(prompts.waitNoticesShown, 1);
    EXPECT_EQ(prompts.waitNoticesClosed, 1);
    EXPECT_DOUBLE_EQ(Control().Zoom(), 1500.0);
    EXPECT_DOUBLE_EQ(page.CartexView()->ZoomLimit(), 1500.0);
    EXPECT_NEAR(Control().CenterX(), kSampleLongitude, 1e-9);
    EXPECT_NEAR(Control().CenterY(), kSampleLatitude, 1e-9);
    const auto& gps = page.CartexView()->PositionLayer();
    ASSERT_TRUE(gps);
    EXPECT_EQ(gps->Name(), "GPS");
    EXPECT_EQ(Control().Layers().Item(0), gps);
    EXPECT_EQ(Control().Layers().AnimationLayer(), gps);
    ASSERT_EQ(gps->FeatureCount(), 1u);
    EXPECT_EQ(Marker().regionStyle->fillColor, (Rgb{0, 255, 0}));
    EXPECT_EQ(Marker().regionStyle->borderColor, (Rgb{255, 128, 0}));
}

TEST_F(MapPage, TheControlTakesTheViewsSizeOnceLoaded) {
    page.show();
    page.CartexView()->resize(300, 150);
    EXPECT_EQ(Control().size(), QSize(239, 210));
    LoadSample();
    page.CartexView()->resize(320, 160);
    EXPECT_EQ(Control().geometry(), QRect(1, 1, 318, 158)) << "inside the view's border";
}

TEST_F(MapPage, TheViewRectangleFollowsTheControlsSizeAlsoWhileHidden) {
    LoadSample();
    Control().resize(300, 150);
    const GeoRect view = Control().Bounds();
    EXPECT_NEAR(view.Width() * MetresPerDegreeLongitudeAt(Control().CenterY()), 1500.0, 1e-6);
    EXPECT_NEAR(view.Height() * kMetresPerDegreeLatitude, 750.0, 1e-6);
}

TEST_F(MapPage, TheMarkerIsReplacedInPlaceOnEveryFix) {
    LoadSample();
    for (int i = 0; i < 50; ++i) FixAt(0.001 * i, -0.001 * i);
    ASSERT_EQ(page.CartexView()->PositionLayer()->FeatureCount(), 1u);
    const GeoPoint center = Marker().bounds.Center();
    EXPECT_NEAR(center.x, fix->longitude, 1e-9);
    EXPECT_NEAR(center.y, fix->latitude, 1e-9);
    // The circle's distance argument is the view's width in degrees, taken as statute miles.
    const double radiusMetres = Control().Bounds().Width() * 1609.344;
    EXPECT_NEAR(Marker().bounds.Height() / 2.0 * kMetresPerDegreeLatitude, radiusMetres, 1e-6);
}

TEST_F(MapPage, NoNavigationRecordLeavesTheMarkerAlone) {
    LoadSample();
    FixAt(0.1, 0.1);
    const std::vector<GeoPoint> before = Marker().points;
    fix.reset();
    page.OnUpdate(MessageDelivered{MessageId::NavData});
    page.OnUpdate(MessageDelivered{FromWire(3)});
    EXPECT_EQ(Marker().points, before);
}

struct FollowCase {
    const char* legend;
    double widths;
    double heights;
    double shiftedWidths;
    double shiftedHeights;
};

void PrintTo(const FollowCase& followCase, std::ostream* out) { *out << followCase.legend; }

class MapFollow : public MapPage, public testing::WithParamInterface<FollowCase> {};

TEST_P(MapFollow, PansByNineTenthsWhenTheFixLeavesTheCentralNineTenths) {
    LoadSample();
    const GeoRect before = Control().Bounds();
    int viewChanges = 0;
    QObject::connect(&Control(), &CCartex::ViewChanged, [&] { ++viewChanges; });
    FixAt(GetParam().widths, GetParam().heights);
    EXPECT_NEAR(Control().CenterX() - before.Center().x, GetParam().shiftedWidths * before.Width(), 1e-9);
    EXPECT_NEAR(Control().CenterY() - before.Center().y, GetParam().shiftedHeights * before.Height(), 1e-9);
    EXPECT_EQ(viewChanges, GetParam().shiftedWidths != 0.0 || GetParam().shiftedHeights != 0.0 ? 1 : 0);
    EXPECT_EQ(page.CartexView()->PositionLayer()->FeatureCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MapFollow,
    testing::Values(FollowCase{"centre", 0.0, 0.0, 0.0, 0.0},
                    FollowCase{"just inside east", 0.449, 0.0, 0.0, 0.0},
                    FollowCase{"just outside east", 0.451, 0.0, 0.9, 0.0},
                    FollowCase{"just inside west", -0.449, 0.0, 0.0, 0.0},
                    FollowCase{"just outside west", -0.451, 0.0, -0.9, 0.0},
                    FollowCase{"just inside north", 0.0, 0.449, 0.0, 0.0},
                    FollowCase{"just outside north", 0.0, 0.451, 0.0, 0.9},
                    FollowCase{"just outside south", 0.0, -0.451, 0.0, -0.9},
                    FollowCase{"outside a corner", 0.46, -0.46, 0.9, -0.9},
                    FollowCase{"far away: one step", 25.0, -40.0, 0.9, -0.9}));

TEST_F(MapPage, AFarFixIsApproachedOneStepPerUpdate) {
    LoadSample();
    const GeoRect view = Control().Bounds();
    const GeodeticFix far{kSampleLatitude, kSampleLongitude + 10.0 * view.Width(), 0.0};
    for (int update = 1; update <= 3; ++update) {
        fix = far;
        page.OnUpdate(MessageDelivered{MessageId::NavData});
        EXPECT_NEAR(Control().CenterX(), kSampleLongitude + 0.9 * update * view.Width(), 1e-9) << update;
        EXPECT_NEAR(Control().CenterY(), kSampleLatitude, 1e-12);
    }
}

TEST_F(MapPage, AZoomAboveTheLimitIsResetAtTheNextDraw) {
    LoadSample();
    const double limit = page.CartexView()->ZoomLimit();
    Control().SetZoom(limit * 3.0);
    page.CartexView()->grab();
    EXPECT_DOUBLE_EQ(Control().Zoom(), limit - 1.0);
    Control().SetZoom(limit / 2.0);
    page.CartexView()->grab();
    EXPECT_DOUBLE_EQ(Control().Zoom(), limit / 2.0);
}

struct ToolCase {
    int button;
    int tool;
};

class MapTools : public MapPage, public testing::WithParamInterface<ToolCase> {};

TEST_P(MapTools, AButtonSetsItsToolAndThePaintFocusesIt) {
    page.Button(GetParam().button)->click();
    EXPECT_EQ(Control().CurrentTool(), CCartex::kToolZoomIn) << "no tool change without a map";
    LoadSample();
    page.OnInitialUpdate();
    page.Button(GetParam().button)->click();
    EXPECT_EQ(Control().CurrentTool(), GetParam().tool);
    page.grab();
    EXPECT_EQ(page.focusWidget(), page.Button(GetParam().button));
}

INSTANTIATE_TEST_SUITE_P(Buttons, MapTools,
                         testing::Values(ToolCase{CViewMap::kZoomInButton, CCartex::kToolZoomIn},
                                         ToolCase{CViewMap::kZoomOutButton, CCartex::kToolZoomOut},
                                         ToolCase{CViewMap::kPanButton, CCartex::kToolPan}),
                         [](const auto& info) { return std::to_string(info.param.button); });

// Rectangles are (left, top)-(right, bottom) with right and bottom outside, as on the plot page.
TEST_F(MapPage, ButtonsAndTheBorderedViewSitAtTheirRectangles) {
    EXPECT_EQ(page.Button(CViewMap::kZoomInButton)->geometry(), QRect(5, 218, 22, 21));
    EXPECT_EQ(page.Button(CViewMap::kZoomOutButton)->geometry(), QRect(29, 218, 22, 21));
    EXPECT_EQ(page.Button(CViewMap::kPanButton)->geometry(), QRect(53, 218, 22, 21));
    // Neighbouring buttons keep a gap of one pixel column.
    EXPECT_FALSE(page.Button(CViewMap::kZoomInButton)->geometry().intersects(page.Button(CViewMap::kZoomOutButton)->geometry()));
    EXPECT_EQ(page.CartexView()->geometry(), QRect(-1, -1, 241, 211));
    EXPECT_EQ(page.CartexView()->frameShape(), QFrame::Box);
    EXPECT_EQ(page.CartexView()->contentsRect(), QRect(1, 1, 239, 209));
    EXPECT_EQ(Control().geometry().topLeft(), QPoint(1, 1));
}

TEST_F(MapPage, TheBevelOfEachToolButtonShowsWhole) {
    page.show();
    for (int id : {CViewMap::kZoomInButton, CViewMap::kZoomOutButton, CViewMap::kPanButton}) {
        const QImage image = page.Button(id)->grab().toImage();
        // The black shadow edge at the right and bottom of an up button.
        EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() / 2).name(), "#000000") << id;
        EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() - 1).name(), "#000000") << id;
    }
}

TEST(MapPageWithoutControl, SaysSoAndNeverAsksForAFile) {
    ScriptedPrompts prompts;
    CViewMap page(prompts, [] { return std::optional<GeodeticFix>(); }, nullptr, [](QWidget*) { return nullptr; });
    EXPECT_EQ(prompts.messages, QStringList{"Map control cannot be created."});
    page.CartexView()->LoadMap();
    page.OnUpdate(MessageDelivered{MessageId::NavData});
    page.Button(CViewMap::kPanButton)->click();
    page.grab();
    EXPECT_TRUE(prompts.fileRequests.empty());
    EXPECT_EQ(prompts.messages.size(), 2);
    EXPECT_FALSE(page.CartexView()->MapLoaded());
}

void Click(QWidget& widget, QPoint from, QPoint to) {
    QMouseEvent press(QEvent::MouseButtonPress, from, widget.mapToGlobal(from), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent move(QEvent::MouseMove, to, widget.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, to, widget.mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
    QCoreApplication::sendEvent(&widget, &move);
    QCoreApplication::sendEvent(&widget, &release);
}

TEST_F(MapPage, MouseToolsChangeTheViewAndThePageReplacesTheMarker) {
    LoadSample();
    FixAt(0.0, 0.0);
    int viewChanges = 0;
    QObject::connect(&Control(), &CCartex::ViewChanged, [&] { ++viewChanges; });
    const double markerBefore = Marker().bounds.Width();
    const QPoint center(Control().width() / 2, Control().height() / 2);

    Click(Control(), center, center);  // zoom in on a point
    EXPECT_DOUBLE_EQ(Control().Zoom(), 750.0);
    EXPECT_EQ(viewChanges, 1);
    EXPECT_NEAR(Marker().bounds.Width(), markerBefore / 2.0, markerBefore * 1e-3);  // placed again

    Control().SetCurrentTool(CCartex::kToolZoomOut);
    Click(Control(), center, center);
    EXPECT_DOUBLE_EQ(Control().Zoom(), 1500.0);

    Control().SetCurrentTool(CCartex::kToolZoomIn);
    Click(Control(), center - QPoint(30, 10), center + QPoint(30, 10));  // a drag: the zoom fits the rectangle
    EXPECT_NEAR(Control().Zoom(), 1500.0 * 60.0 / Control().width(), 1e-6);

    Control().SetCurrentTool(CCartex::kToolPan);
    const double centerX = Control().CenterX();
    const double degreesPerPixel = Control().Bounds().Width() / Control().width();
    Click(Control(), center, center + QPoint(10, 0));  // the map moves with the pointer
    EXPECT_NEAR(Control().CenterX(), centerX - 10 * degreesPerPixel, 1e-9);
    EXPECT_EQ(viewChanges, 4);
}

TEST_F(MapPage, UserViewChangesBringTheFixBackIntoView) {
    LoadSample();
    FixAt(0.0, 0.0);
    const double fixLongitude = fix->longitude;
    Control().SetCurrentTool(CCartex::kToolPan);
    Click(Control(), {200, 100}, {20, 100});  // drags the fix out of the view to the west
    const GeoRect view = Control().Bounds();
    EXPECT_GT(fixLongitude, view.minX);
    EXPECT_LT(fixLongitude, view.maxX);
}

int CountNonBackground(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y) != kMapBackground;
    }
    return count;
}

TEST_F(MapPage, TheSampleMapAndTheMarkerAreDrawn) {
    EXPECT_EQ(CountNonBackground(Control().grab().toImage()), 0);
    LoadSample();
    FixAt(0.0, 0.0);
    const QImage image = Control().grab().toImage();
    EXPECT_GT(CountNonBackground(image), image.width() * image.height() / 2);
    const QPoint marker(static_cast<int>(std::lround(Control().Bounds().Width() / 2.0 /
                                                     Control().Bounds().Width() * Control().width())),
                        Control().height() / 2);
    EXPECT_EQ(image.pixelColor(marker).name(), QColor(0, 255, 0).name());
}

}  // namespace
}  // namespace vexa
