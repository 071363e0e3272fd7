#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <sstream>

#include <sys/stat.h>

#include "maps/geoset_map.h"
#include "maps/layer_loader.h"
#include "support/loopback_server.h"
#include "temp_folder.h"

namespace vexa {
namespace {

using Line = std::vector<GeoPoint>;

const std::vector<Line> kThreeLines = {
    {{-121.9720, 37.3875}, {-121.9700, 37.3875}},
    {{-121.9720, 37.3875}, {-121.9720, 37.3900}, {-121.9690, 37.3910}},
    {{-121.9750, 37.3850}, {-121.9650, 37.3950}},
};

OGRSpatialReference Reference(int epsg) {
    OGRSpatialReference reference;
    reference.importFromEPSG(epsg);
    reference.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return reference;
}

// The GDAL driver that creates vector files with the file's extension.
GDALDriver* CreatingDriverFor(const std::filesystem::path& file) {
    GDALAllRegister();
    const std::string extension = file.extension().string().substr(1);
    GDALDriverManager* drivers = GetGDALDriverManager();
    for (int i = 0; i < drivers->GetDriverCount(); ++i) {
        GDALDriver* driver = drivers->GetDriver(i);
        const char* extensions = driver->GetMetadataItem(GDAL_DMD_EXTENSIONS);
        if (!driver->GetMetadataItem(GDAL_DCAP_VECTOR) || !driver->GetMetadataItem(GDAL_DCAP_CREATE) || !extensions)
            continue;
        std::istringstream words(extensions);
        for (std::string word; words >> word;)
            if (word == extension) return driver;
    }
    return nullptr;
}

// Writes lines (given in WGS-84) in the format of the file's extension, in the coordinate system epsg.
void WriteLines(const std::filesystem::path& file, int epsg, const std::vector<Line>& lines) {
    GDALDriver* driver = CreatingDriverFor(file);
    ASSERT_NE(driver, nullptr) << file;
    GDALDataset* dataset = driver->Create(file.c_str(), 0, 0, 0, GDT_Unknown, nullptr);
    ASSERT_NE(dataset, nullptr) << file;
    OGRSpatialReference target = Reference(epsg);
    OGRSpatialReference wgs84 = Reference(4326);
    std::unique_ptr<OGRCoordinateTransformation> toTarget(OGRCreateCoordinateTransformation(&wgs84, &target));
    OGRLayer* layer = dataset->CreateLayer("lines", &target, wkbLineString, nullptr);
    OGRFieldDefn name("name", OFTString);
    layer->CreateField(&name);
    for (const Line& line : lines) {
        OGRFeature feature(layer->GetLayerDefn());
        feature.SetField("name", "street");
        OGRLineString geometry;
        for (const GeoPoint& point : line) geometry.addPoint(point.x, point.y);
        geometry.transform(toTarget.get());
        feature.SetGeometry(&geometry);
        ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
    }
    GDALClose(dataset);
}

void ExpectLines(const VectorLayer& layer, const std::vector<Line>& lines, double tolerance) {
    ASSERT_EQ(layer.FeatureCount(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const VectorFeature& feature = layer.Features()[i];
        EXPECT_EQ(feature.kind, GeometryKind::kLine);
        ASSERT_EQ(feature.points.size(), lines[i].size()) << "line " << i;
        EXPECT_EQ(feature.partEnds, std::vector<std::uint32_t>{static_cast<std::uint32_t>(lines[i].size())});
        for (std::size_t j = 0; j < lines[i].size(); ++j) {
            EXPECT_NEAR(feature.points[j].x, lines[i][j].x, tolerance) << "line " << i << " point " << j;
            EXPECT_NEAR(feature.points[j].y, lines[i][j].y, tolerance) << "line " << i << " point " << j;
        }
    }
    EXPECT_NEAR(layer.Bounds().minX, -121.9750, tolerance);
    EXPECT_NEAR(layer.Bounds().maxY, 37.3950, tolerance);
}

struct FormatCase {
    const char* file;
    int epsg;
};

void PrintTo(const FormatCase& format, std::ostream* out) { *out << format.file; }

class LayerFormats : public testing::TestWithParam<FormatCase> {};

TEST_P(LayerFormats, ReadTheSameLinesInWgs84) {
    TempFolder folder;
    const auto file = folder.Path() / GetParam().file;
    WriteLines(file, GetParam().epsg, kThreeLines);
    auto loaded = LoadLayerFile(file, DefaultLayerStyle(0));
    ASSERT_TRUE(std::holds_alternative<VectorLayer>(loaded)) << std::get<std::string>(loaded);
    ExpectLines(std::get<VectorLayer>(loaded), kThreeLines, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Drivers, LayerFormats,
                         testing::Values(FormatCase{"lines.geojson", 4326}, FormatCase{"lines.shp", 4326},
                                         FormatCase{"lines.tab", 4326}, FormatCase{"lines.gpkg", 4326},
                                         FormatCase{"utm.shp", 32610}),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(LayerLoader, SplitsMixedGeometriesByKindAndKeepsPolygonHoles) {
    TempFolder folder;
    const auto file = folder.Write(
        "mixed.geojson",
        R"({"type":"FeatureCollection","features":[
            {"type":"Feature","properties":{},"geometry":{"type":"GeometryCollection","geometries":[
              {"type":"Point","coordinates":[1,2]},
              {"type":"Polygon","coordinates":[[[0,0],[4,0],[4,4],[0,4],[0,0]],[[1,1],[2,1],[2,2],[1,1]]]}]}},
            {"type":"Feature","properties":{},"geometry":{"type":"MultiLineString",
              "coordinates":[[[0,0],[1,1]],[[2,2],[3,3],[4,4]]]}},
            {"type":"Feature","properties":{},"geometry":null}]})");
    auto loaded = LoadLayerFile(file, DefaultLayerStyle(0));
    ASSERT_TRUE(std::holds_alternative<VectorLayer>(loaded));
    const auto& features = std::get<VectorLayer>(loaded).Features();
    ASSERT_EQ(features.size(), 3u);
    EXPECT_EQ(features[0].kind, GeometryKind::kPolygon);
    EXPECT_EQ(features[0].partEnds, (std::vector<std::uint32_t>{5, 9}));
    EXPECT_EQ(features[1].kind, GeometryKind::kPoint);
    EXPECT_EQ(features[2].kind, GeometryKind::kLine);
    EXPECT_EQ(features[2].partEnds, (std::vector<std::uint32_t>{2, 5}));
    EXPECT_DOUBLE_EQ(features[2].bounds.maxX, 4.0);
}

TEST(LayerLoader, ReadsOpenStreetMapData) {
    GDALAllRegister();
    if (!GetGDALDriverManager()->GetDriverByName("OSM")) GTEST_SKIP() << "GDAL without its OSM driver";
    TempFolder folder;
    const auto file = folder.Write("extract.osm", R"(<?xml version="1.0"?><osm version="0.6">
        <node id="1" lat="37.3875" lon="-121.9720"/><node id="2" lat="37.3885" lon="-121.9710"/>
        <node id="3" lat="37.3880" lon="-121.9700"><tag k="amenity" v="cafe"/></node>
        <way id="10"><nd ref="1"/><nd ref="2"/><tag k="highway" v="residential"/></way></osm>)");
    auto loaded = LoadLayerFile(file, DefaultLayerStyle(0));
    ASSERT_TRUE(std::holds_alternative<VectorLayer>(loaded)) << std::get<std::string>(loaded);
    std::vector<GeometryKind> kinds;
    for (const VectorFeature& feature : std::get<VectorLayer>(loaded).Features()) kinds.push_back(feature.kind);
    std::sort(kinds.begin(), kinds.end());
    EXPECT_EQ(kinds, (std::vector<GeometryKind>{GeometryKind::kPoint, GeometryKind::kLine}));
}

TEST(LayerLoader, NamesTheFileItCannotRead) {
    TempFolder folder;
    const auto missing = folder.Path() / "nowhere.shp";
    auto loaded = LoadLayerFile(missing, DefaultLayerStyle(0));
    ASSERT_TRUE(std::holds_alternative<std::string>(loaded));
    EXPECT_NE(std::get<std::string>(loaded).find(missing.string()), std::string::npos);
}

// Only a regular file on this computer reaches GDAL: a URL or another of its virtual paths would
// fetch from the network, a named pipe would hold the program up, a device would never end.
TEST(LayerLoader, RefusesWhatIsNoLocalRegularFileUnopened) {
    TempFolder folder;
    test::LoopbackServer server;
    const std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/streets.geojson";
    const std::filesystem::path pipe = folder.Path() / "pipe.geojson";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // A local file of a format that opens other sources by name.
    const auto remote = folder.Write("remote.vrt", "<OGRVRTDataSource><OGRVRTLayer name=\"streets\"><SrcDataSource>/vsicurl/" +
                                                       url + "</SrcDataSource></OGRVRTLayer></OGRVRTDataSource>");
    const std::pair<std::string, std::string> cases[] = {
        {"/vsicurl/" + url, "not a local file"},
        {"/vsicurl_streaming/" + url, "not a local file"},
        {"/vsis3/bucket/streets.geojson", "not a local file"},
        {pipe.string(), "a named pipe, not a regular file"},
        {"/dev/zero", "a device, not a regular file"},
        {folder.Path().string(), "Is a directory"},
        {remote.string(), ""},
    };
    for (const auto& [path, reason] : cases) {
        auto loaded = LoadLayerFile(path, DefaultLayerStyle(0));
        ASSERT_TRUE(std::holds_alternative<std::string>(loaded)) << path;
        const std::string& message = std::get<std::string>(loaded);
        EXPECT_NE(message.find("\"" + path + "\""), std::string::npos) << message;
        EXPECT_NE(message.find(reason), std::string::npos) << message;
    }
    EXPECT_FALSE(server.accept(std::chrono::milliseconds(0))) << "a layer reached the network";
}

TEST(GeosetMap, LoadsTheReadableLayersAndListsTheOthers) {
    TempFolder folder;
    WriteLines(folder.Path() / "streets.geojson", 4326, kThreeLines);
    const auto geoset = folder.Write("city.gst", "\"\\GEOSET\\NAME\" = \"City\"\n"
                                                 "\"\\TABLE\\1\\FILE\" = \"missing.tab\"\n"
                                                 "\"\\TABLE\\2\\FILE\" = \"streets.geojson\"\n"
                                                 "\"\\TABLE\\2\\LINEWIDTH\" = \"4\"\n");
    auto loaded = LoadGeosetMap(geoset);
    ASSERT_TRUE(std::holds_alternative<GeosetMap>(loaded)) << std::get<std::string>(loaded);
    const GeosetMap& map = std::get<GeosetMap>(loaded);
    EXPECT_EQ(map.name, "City");
    ASSERT_EQ(map.layers.size(), 1u);
    EXPECT_EQ(map.layers[0].Style().lineWidth, 4);
    ASSERT_EQ(map.problems.size(), 1u);
    EXPECT_NE(map.problems[0].find("missing.tab"), std::string::npos);
    EXPECT_NEAR(map.bounds.minX, -121.9750, 1e-9);
    EXPECT_FALSE(map.center);
}

TEST(GeosetMap, FailsWithAMessageWhenNothingCanBeShown) {
    TempFolder folder;
    const auto noLayers = folder.Write("empty.gst", "!GEOSET\n\"\\TABLE\\1\\FILE\" = \"gone.geojson\"\n");
    auto loaded = LoadGeosetMap(noLayers);
    ASSERT_TRUE(std::holds_alternative<std::string>(loaded));
    EXPECT_NE(std::get<std::string>(loaded).find("empty.gst"), std::string::npos);
    EXPECT_NE(std::get<std::string>(loaded).find("gone.geojson"), std::string::npos);

    const std::filesystem::path absentFile = folder.Path() / "absent.gst";
    auto absent = LoadGeosetMap(absentFile);
    ASSERT_TRUE(std::holds_alternative<std::string>(absent));
    EXPECT_EQ(std::get<std::string>(absent),
              "Cannot read the geoset \"" + absentFile.string() + "\": No such file or directory.");

    auto folderGiven = LoadGeosetMap(folder.Path());
    ASSERT_TRUE(std::holds_alternative<std::string>(folderGiven));
    EXPECT_EQ(std::get<std::string>(folderGiven),
              "Cannot read the geoset \"" + folder.Path().string() + "\": Is a directory.");
}

}  // namespace
}  // namespace vexa
