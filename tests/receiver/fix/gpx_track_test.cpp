#include "receiver/fix/gpx_track.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace vexa {
namespace {

using namespace std::chrono;

GnssFix Fix(double latitude, double longitude) {
    GnssFix fix;
    fix.mode = FixMode::ThreeD;
    fix.quality = FixQuality::Standard;
    fix.latitude = latitude;
    fix.longitude = longitude;
    return fix;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(GpxTrack, PointsCarryWhatTheFixSaid) {
    GnssFix fix = Fix(48.1173, -11.516667);
    fix.time = UtcTime{sys_days{year{2026} / 3 / 4} + hours{5} + minutes{6} + seconds{7} + milliseconds{890}};
    fix.altitudeHae = 600.25;
    fix.altitudeMsl = 545.4;
    fix.satellitesUsed = 8;
    fix.hdop = 0.94;
    const std::vector<TrackPoint> points{*TrackPointOf(fix)};
    EXPECT_EQ(GpxDocument(points).substr(GpxDocument({}).find("<trkseg>")),
              "<trkseg>\n"
              "      <trkpt lat=\"48.117300000\" lon=\"-11.516667000\">\n"
              "        <ele>545.40</ele>\n"
              "        <time>2026-03-04T05:06:07.890Z</time>\n"
              "        <fix>3d</fix>\n"
              "        <sat>8</sat>\n"
              "        <hdop>0.9</hdop>\n"
              "      </trkpt>\n"
              "    </trkseg>\n"
              "  </trk>\n"
              "</gpx>\n");
}

TEST(GpxTrack, WhatTheFixLacksIsLeftOut) {
    GnssFix twoD = Fix(1, 2);
    twoD.mode = FixMode::TwoD;
    twoD.altitudeHae = std::numeric_limits<double>::quiet_NaN();
    twoD.hdop = std::numeric_limits<double>::infinity();
    const std::string document = GpxDocument(std::vector<TrackPoint>{*TrackPointOf(twoD)});
    EXPECT_EQ(Count(document, "<fix>2d</fix>"), 1u);
    EXPECT_EQ(Count(document, "<ele>"), 0u);
    EXPECT_EQ(Count(document, "<time>"), 0u);
    EXPECT_EQ(Count(document, "<sat>"), 0u);
    EXPECT_EQ(Count(document, "<hdop>"), 0u);
}

TEST(GpxTrack, FixKindsAndPositionsTheSchemaAccepts) {
    GnssFix differential = Fix(-33.5, 180.0);
    differential.quality = FixQuality::Differential;
    const std::string document = GpxDocument(std::vector<TrackPoint>{*TrackPointOf(differential)});
    EXPECT_EQ(Count(document, "<fix>dgps</fix>"), 1u);
    EXPECT_EQ(Count(document, "lon=\"-180.000000000\""), 1u);

    EXPECT_FALSE(TrackPointOf(GnssFix{}));
    EXPECT_FALSE(TrackPointOf(Fix(91, 0)));
    EXPECT_FALSE(TrackPointOf(Fix(std::nan(""), 0)));
    GnssFix noFix = Fix(1, 2);
    noFix.mode = FixMode::NoFix;
    EXPECT_FALSE(TrackPointOf(noFix));
}

TEST(GpxTrack, EachConnectionStartsASegment) {
    std::vector<TrackPoint> points(5, *TrackPointOf(Fix(1, 2)));
    points[0].startsSegment = true;
    points[3].startsSegment = true;
    const std::string document = GpxDocument(points);
    EXPECT_EQ(Count(document, "<trkseg>"), 2u);
    EXPECT_EQ(Count(document, "</trkseg>"), 2u);
    EXPECT_EQ(Count(document, "<trkpt "), 5u);
    EXPECT_EQ(Count(GpxDocument({}), "<trkseg>"), 1u);
}

}  // namespace
}  // namespace vexa
