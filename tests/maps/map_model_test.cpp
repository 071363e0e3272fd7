#include <gtest/gtest.h>

#include <cmath>

#include "maps/circle_region.h"
#include "maps/layer_collection.h"
#include "maps/map_viewport.h"

namespace vexa {
namespace {

VectorFeature Segment(GeoPoint from, GeoPoint to) {
    VectorFeature feature;
    feature.AddPart({from, to});
    return feature;
}

TEST(MapViewport, WidthInMetresAndSquarePixels) {
    const MapViewport view({-121.972, 37.3875}, 2000.0, 240, 120);
    const double metresPerDegreeX = 2000.0 / view.HorizontalExtent();
    const double metresPerDegreeY = 1000.0 / view.VerticalExtent();
    EXPECT_NEAR(metresPerDegreeX, 111319.49 * std::cos(37.3875 * M_PI / 180.0), 0.01);
    EXPECT_NEAR(metresPerDegreeY, 111132.954, 0.01);
    const GeoRect bounds = view.Bounds();
    EXPECT_NEAR(view.PixelX(bounds.minX), 0.0, 1e-9);
    EXPECT_NEAR(view.PixelX(bounds.maxX), 240.0, 1e-9);
    EXPECT_NEAR(view.PixelY(bounds.maxY), 0.0, 1e-9);
    EXPECT_NEAR(view.PixelY(bounds.minY), 120.0, 1e-9);
    const GeoPoint back = view.ToGeo(view.PixelX(-121.97), view.PixelY(37.39));
    EXPECT_NEAR(back.x, -121.97, 1e-12);
    EXPECT_NEAR(back.y, 37.39, 1e-12);
}

TEST(MapViewport, RejectsNonsenseAndFitsRectangles) {
    MapViewport view({10.0, 50.0}, 1000.0, 200, 100);
    view.SetZoomMetres(NAN);
    view.SetCenter({NAN, 0.0});
    EXPECT_EQ(view.ZoomMetres(), 1000.0);
    EXPECT_EQ(view.Center(), (GeoPoint{10.0, 50.0}));
    view.SetZoomMetres(-3.0);
    EXPECT_EQ(view.ZoomMetres(), MapViewport::kMinZoomMetres);
    view.SetZoomMetres(1e12);
    EXPECT_EQ(view.ZoomMetres(), MapViewport::kMaxZoomMetres);
    view.SetCenter({0.0, 90.0});
    EXPECT_TRUE(std::isfinite(view.HorizontalExtent()));

    view.SetCenter({10.0, 50.0});
    view.SetZoomMetres(1000.0);
    GeoRect wide = view.Bounds();  // the view's own rectangle fits at its own zoom
    EXPECT_NEAR(view.ZoomToFit(wide), 1000.0, 1e-6);
    wide.minY -= wide.Height();  // twice as tall: the height decides
    EXPECT_NEAR(view.ZoomToFit(wide), 2000.0, 1e-6);
}

TEST(VectorLayer, ReplacesAKeyedFeatureInPlace) {
    VectorLayer layer("GPS", DefaultLayerStyle(0));
    const VectorFeature first = layer.AddFeature(Segment({0, 0}, {1, 1}));
    const VectorFeature second = layer.AddFeature(Segment({5, 5}, {6, 6}));
    EXPECT_NE(first.key, second.key);

    EXPECT_TRUE(layer.UpdateFeature(first.key, MakeCircularRegion({10, 10}, 1.0, RegionStyle{})));
    ASSERT_EQ(layer.FeatureCount(), 2u);
    EXPECT_EQ(layer.Features()[0].key, first.key);
    EXPECT_EQ(layer.Features()[0].kind, GeometryKind::kPolygon);
    EXPECT_TRUE(layer.Features()[0].regionStyle);
    EXPECT_GT(layer.Bounds().maxX, 10.0);
    EXPECT_GT(layer.Bounds().minX, 4.0);  // the old segment's extent is gone
    EXPECT_FALSE(layer.UpdateFeature("no such key", Segment({0, 0}, {1, 1})));
}

TEST(VectorLayer, VisitsOnlyFeaturesMeetingTheView) {
    VectorLayer layer("streets", DefaultLayerStyle(0));
    layer.AddFeature(Segment({0, 0}, {1, 1}));
    layer.AddFeature(Segment({2, 2}, {3, 3}));
    layer.AddFeature(Segment({0.5, -5}, {0.5, 5}));  // crosses the view without a vertex in it
    std::vector<std::string> seen;
    layer.ForEachFeatureIn({0.2, 0.2, 0.8, 0.8}, [&](const VectorFeature& feature) { seen.push_back(feature.key); });
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "3"}));
}

TEST(LayerCollection, PositionsAndDrawingOrder) {
    LayerCollection layers;
    std::vector<VectorLayer> geoset;
    geoset.emplace_back("blocks", DefaultLayerStyle(0));
    geoset.emplace_back("streets", DefaultLayerStyle(1));
    layers.Reset(std::move(geoset));
    const auto gps = layers.Add("GPS", 1);
    layers.Add("odd", 99);
    EXPECT_EQ(layers.Item(0), gps);
    EXPECT_EQ(layers.Item(3)->Name(), "odd");

    std::vector<std::string> order;
    layers.SetAnimationLayer(layers.Item(2));  // "blocks" drawn above everything
    layers.ForEachBottomUp([&](const VectorLayer& layer) { order.push_back(layer.Name()); });
    EXPECT_EQ(order, (std::vector<std::string>{"odd", "streets", "GPS", "blocks"}));

    layers.Remove(layers.Item(2));
    EXPECT_EQ(layers.Count(), 3u);
    EXPECT_FALSE(layers.AnimationLayer());

    layers.Reset({});
    EXPECT_EQ(layers.Count(), 0u);
    EXPECT_FALSE(layers.AnimationLayer());
    EXPECT_EQ(gps->Name(), "GPS");  // the client's handle outlives the map
}

TEST(CircularRegion, RadiusIsInStatuteMiles) {
    const VectorFeature circle = MakeCircularRegion({-121.972, 37.3875}, 0.5, RegionStyle{});
    const double radiusMetres = 0.5 * 1609.344;
    EXPECT_NEAR(circle.bounds.Height() / 2.0 * kMetresPerDegreeLatitude, radiusMetres, 0.01);
    EXPECT_NEAR(circle.bounds.Width() / 2.0 * MetresPerDegreeLongitudeAt(37.3875), radiusMetres, 0.01);
    EXPECT_EQ(circle.points.front(), circle.points.back());
    EXPECT_EQ(MakeCircularRegion({0, 0}, NAN, RegionStyle{}).bounds.Width(), 0.0);
}

TEST(RegionStyle, TakesBlueGreenRedColourNumbers) {
    RegionStyle style;
    style.SetRegionColor(65280);
    style.SetRegionBorderColor(33023);
    EXPECT_EQ(style.fillColor, (Rgb{0, 255, 0}));
    EXPECT_EQ(style.borderColor, (Rgb{255, 128, 0}));
}

}  // namespace
}  // namespace vexa
