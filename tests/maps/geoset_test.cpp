#include <gtest/gtest.h>

#include "maps/geoset.h"

namespace vexa {
namespace {

const std::filesystem::path kFolder = "/maps/city";

std::vector<std::string> Files(const Geoset& geoset) {
    std::vector<std::string> files;
    for (const GeosetTable& table : geoset.tables) files.push_back(table.file.string());
    return files;
}

struct TableCase {
    const char* legend;
    const char* text;
    std::vector<std::string> files;
};

void PrintTo(const TableCase& tableCase, std::ostream* out) { *out << tableCase.legend; }

class GeosetTables : public testing::TestWithParam<TableCase> {};

TEST_P(GeosetTables, ListsLayerFilesInTableOrder) {
    EXPECT_EQ(Files(ParseGeoset(GetParam().text, kFolder)), GetParam().files) << GetParam().legend;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GeosetTables,
    testing::Values(
        TableCase{"relative to the geoset's folder", "\"\\TABLE\\1\\FILE\" = \"streets.tab\"\n",
                  {"/maps/city/streets.tab"}},
        TableCase{"absolute kept", "\"\\TABLE\\1\\FILE\" = \"/data/roads.shp\"\n", {"/data/roads.shp"}},
        TableCase{"backslash folders", "\"\\TABLE\\1\\FILE\" = \"layers\\roads.shp\"\r\n",
                  {"/maps/city/layers/roads.shp"}},
        TableCase{"ordered by n, gaps allowed",
                  "\"\\TABLE\\10\\FILE\" = \"c\"\n\"\\TABLE\\2\\FILE\" = \"b\"\n\"\\TABLE\\1\\FILE\" = \"a\"\n",
                  {"/maps/city/a", "/maps/city/b", "/maps/city/c"}},
        TableCase{"keys in any case, blanks around", "  \"\\table\\1\\file\"\t=   \"a b.geojson\"  \n",
                  {"/maps/city/a b.geojson"}},
        TableCase{"value runs to the last quote", "\"\\TABLE\\1\\FILE\" = \"odd\"name.tab\"\n",
                  {"/maps/city/odd\"name.tab"}},
        TableCase{"later key wins", "\"\\TABLE\\1\\FILE\" = \"a\"\n\"\\TABLE\\1\\FILE\" = \"b\"\n",
                  {"/maps/city/b"}},
        TableCase{"table without a file dropped", "\"\\TABLE\\1\\LINECOLOR\" = \"#FF0000\"\n"
                                                  "\"\\TABLE\\2\\FILE\" = \"\"\n",
                  {}},
        TableCase{"bad table numbers", "\"\\TABLE\\0\\FILE\" = \"a\"\n\"\\TABLE\\-1\\FILE\" = \"b\"\n"
                                       "\"\\TABLE\\x\\FILE\" = \"c\"\n\"\\TABLE\\99999999999\\FILE\" = \"d\"\n"
                                       "\"\\TABLE\\\\FILE\" = \"e\"\n\"\\TABLE\\1\" = \"f\"\n",
                  {}},
        TableCase{"garbage lines and unknown keys ignored",
                  "!GEOSET\n!VERSION 100\n\"unterminated\n\"\\TABLE\\1\\FILE\" \"no equals\"\n"
                  "\"\\TABLE\\1\\FILE\" = unquoted\n= \"x\"\n\"\\GEOSET\\PROJECTION\" = \"1\"\n"
                  "\"\\TABLE\\1\\DESCRIPTION\" = \"Streets\"\n\"\\TABLE\\1\\FILE\" = \"ok\"\n",
                  {"/maps/city/ok"}},
        TableCase{"last line without newline", "\"\\TABLE\\1\\FILE\" = \"last\"", {"/maps/city/last"}},
        TableCase{"empty text", "", {}}));

TEST(Geoset, ReadsNameCenterAndZoom) {
    const Geoset geoset = ParseGeoset("\"\\GEOSET\\NAME\" = \" Downtown \"\n"
                                      "\"\\GEOSET\\CENTER\" = \"-121.972, 37.3875\"\n"
                                      "\"\\GEOSET\\ZOOM\" = \"1500.5\"\n",
                                      kFolder);
    EXPECT_EQ(geoset.name, "Downtown");
    ASSERT_TRUE(geoset.center);
    EXPECT_DOUBLE_EQ(geoset.center->x, -121.972);
    EXPECT_DOUBLE_EQ(geoset.center->y, 37.3875);
    EXPECT_EQ(geoset.zoomMetres, 1500.5);
}

TEST(Geoset, IgnoresUnusableCenterAndZoom) {
    for (const char* text : {"\"\\GEOSET\\CENTER\" = \"-121.972\"\n\"\\GEOSET\\ZOOM\" = \"0\"\n",
                             "\"\\GEOSET\\CENTER\" = \"200,10\"\n\"\\GEOSET\\ZOOM\" = \"-5\"\n",
                             "\"\\GEOSET\\CENTER\" = \"nan,nan\"\n\"\\GEOSET\\ZOOM\" = \"inf\"\n",
                             "\"\\GEOSET\\CENTER\" = \"1,2,3\"\n\"\\GEOSET\\ZOOM\" = \"12 miles\"\n"}) {
        const Geoset geoset = ParseGeoset(text, kFolder);
        EXPECT_FALSE(geoset.center) << text;
        EXPECT_FALSE(geoset.zoomMetres) << text;
    }
}

TEST(Geoset, ReadsStyleKeysAndIgnoresBadValues) {
    const Geoset geoset = ParseGeoset("\"\\TABLE\\1\\FILE\" = \"a\"\n"
                                      "\"\\TABLE\\1\\LINECOLOR\" = \"#FF8000\"\n"
                                      "\"\\TABLE\\1\\FILLCOLOR\" = \"#00ff00\"\n"
                                      "\"\\TABLE\\1\\POINTCOLOR\" = \"red\"\n"
                                      "\"\\TABLE\\1\\LINEWIDTH\" = \"3\"\n"
                                      "\"\\TABLE\\2\\FILE\" = \"b\"\n"
                                      "\"\\TABLE\\2\\LINEWIDTH\" = \"21\"\n"
                                      "\"\\TABLE\\2\\FILLCOLOR\" = \"#12345\"\n",
                                      kFolder);
    ASSERT_EQ(geoset.tables.size(), 2u);
    const StyleOverrides& first = geoset.tables[0].style;
    EXPECT_EQ(first.lineColor, (Rgb{255, 128, 0}));
    EXPECT_EQ(first.fillColor, (Rgb{0, 255, 0}));
    EXPECT_FALSE(first.pointColor);
    EXPECT_EQ(first.lineWidth, 3);
    EXPECT_FALSE(geoset.tables[1].style.lineWidth);
    EXPECT_FALSE(geoset.tables[1].style.fillColor);
}

TEST(Geoset, SurvivesBinaryGarbage) {
    const std::string garbage("\"\\TABLE\\1\\FILE\" = \"a\0b\"\n\xff\xfe\"\0\"=\"\n\"", 28);
    const Geoset geoset = ParseGeoset(garbage, kFolder);
    EXPECT_LE(geoset.tables.size(), 1u);
}

}  // namespace
}  // namespace vexa
