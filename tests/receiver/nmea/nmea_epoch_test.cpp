#include "receiver/nmea/nmea_epoch_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/nmea_text.h"

namespace vexa {
namespace {

using namespace std::chrono;
using test::Sentence;

struct Recorder : GnssListener {
    std::vector<GnssFix> fixes;
    std::vector<GnssSky> skies;
    void onFix(const GnssFix& fix) override { fixes.push_back(fix); }
    void onSky(const GnssSky& sky) override { skies.push_back(sky); }
};

struct Builder {
    Recorder recorder;
    NmeaEpochBuilder builder{recorder};

    void feed(const std::vector<std::string>& bodies) {
        for (const std::string& body : bodies) {
            const NmeaParseResult parsed = ParseNmeaSentence(Sentence(body));
            ASSERT_EQ(parsed.status, NmeaParseStatus::Parsed) << body;
            builder.add(parsed.sentence);
        }
    }
};

UtcTime At(int year, unsigned month, unsigned day, int h, int m, int s) {
    return sys_days{std::chrono::year{year} / month / day} + hours{h} + minutes{m} + seconds{s};
}

// One second of a receiver that tracks GPS, SBAS, GLONASS, Galileo and BeiDou (NMEA 4.11).
std::vector<std::string> MultiConstellationEpoch(const std::string& time) {
    return {
        "GNRMC," + time + ",A,5230.0000,N,01322.5000,E,10.0,90.0,140325,,,A,V",
        "GNVTG,90.0,T,,M,10.0,N,18.5,K,A",
        "GNGGA," + time + ",5230.0000,N,01322.5000,E,1,14,0.8,35.0,M,40.0,M,,",
        "GNGSA,A,3,02,05,12,,,,,,,,,,1.5,0.8,1.2,1",
        "GNGSA,A,3,70,75,,,,,,,,,,,1.5,0.8,1.2,2",
        "GNGSA,A,3,04,11,,,,,,,,,,,1.5,0.8,1.2,3",
        "GNGSA,A,3,21,,,,,,,,,,,,1.5,0.8,1.2,4",
        "GPGSV,2,1,05,02,45,100,40,05,30,200,38,12,60,300,44,24,10,050,20,1",
        "GPGSV,2,2,05,46,20,150,30,1",
        "GLGSV,1,1,03,70,50,010,39,75,25,110,35,80,05,210,,1",
        "GAGSV,1,1,02,04,40,040,41,11,35,140,37,7",
        "GBGSV,1,1,02,21,55,250,42,30,15,330,28,1",
    };
}

TEST(NmeaEpochs, MultiConstellationEpochFillsFixAndSky) {
    Builder b;
    b.feed(MultiConstellationEpoch("102030.00"));
    EXPECT_TRUE(b.recorder.fixes.empty()) << "the epoch may still go on";
    b.builder.finish();

    ASSERT_EQ(b.recorder.fixes.size(), 1u);
    const GnssFix& fix = b.recorder.fixes[0];
    EXPECT_EQ(fix.time, At(2025, 3, 14, 10, 20, 30));
    EXPECT_EQ(fix.mode, FixMode::ThreeD);
    EXPECT_EQ(fix.quality, FixQuality::Standard);
    EXPECT_DOUBLE_EQ(*fix.latitude, 52.5);
    EXPECT_DOUBLE_EQ(*fix.longitude, 13.375);
    EXPECT_DOUBLE_EQ(*fix.altitudeMsl, 35.0);
    EXPECT_DOUBLE_EQ(*fix.altitudeHae, 75.0);
    EXPECT_NEAR(*fix.speed, 5.144444, 1e-6) << "10 knots";
    EXPECT_DOUBLE_EQ(*fix.track, 90.0);
    EXPECT_DOUBLE_EQ(*fix.hdop, 0.8);
    EXPECT_DOUBLE_EQ(*fix.vdop, 1.2);
    EXPECT_DOUBLE_EQ(*fix.pdop, 1.5);
    EXPECT_EQ(fix.satellitesUsed, 14);
    const std::vector<SatelliteId> used{{GnssId::Gps, 2},     {GnssId::Gps, 5},     {GnssId::Gps, 12},
                                        {GnssId::Glonass, 6}, {GnssId::Glonass, 11}, {GnssId::Galileo, 4},
                                        {GnssId::Galileo, 11}, {GnssId::BeiDou, 21}};
    EXPECT_EQ(fix.used, used);

    ASSERT_EQ(b.recorder.skies.size(), 1u);
    const GnssSky& sky = b.recorder.skies[0];
    EXPECT_EQ(sky.time, At(2025, 3, 14, 10, 20, 30));
    EXPECT_DOUBLE_EQ(*sky.pdop, 1.5);
    struct Expected {
        SatelliteId id;
        double azimuth;
        double elevation;
        std::optional<double> cn0;
        bool used;
        int signal;
    };
    const Expected expected[] = {
        {{GnssId::Gps, 2}, 100, 45, 40, true, 1},       {{GnssId::Gps, 5}, 200, 30, 38, true, 1},
        {{GnssId::Gps, 12}, 300, 60, 44, true, 1},      {{GnssId::Gps, 24}, 50, 10, 20, false, 1},
        {{GnssId::Sbas, 133}, 150, 20, 30, false, 1},   {{GnssId::Glonass, 6}, 10, 50, 39, true, 1},
        {{GnssId::Glonass, 11}, 110, 25, 35, true, 1},  {{GnssId::Glonass, 16}, 210, 5, std::nullopt, false, 1},
        {{GnssId::Galileo, 4}, 40, 40, 41, true, 7},    {{GnssId::Galileo, 11}, 140, 35, 37, true, 7},
        {{GnssId::BeiDou, 21}, 250, 55, 42, true, 1},   {{GnssId::BeiDou, 30}, 330, 15, 28, false, 1},
    };
    ASSERT_EQ(sky.satellites.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const SkySatellite& s = sky.satellites[i];
        const Expected& e = expected[i];
        EXPECT_EQ(s.id, e.id) << i;
        EXPECT_EQ(s.azimuth, e.azimuth) << i;
        EXPECT_EQ(s.elevation, e.elevation) << i;
        EXPECT_EQ(s.cn0, e.cn0) << i;
        EXPECT_EQ(s.used, e.used) << i;
        EXPECT_EQ(s.signal, e.signal) << i;
    }
    EXPECT_EQ(sky.usedCount(), 8);
}

TEST(NmeaEpochs, OnceTheCycleIsKnownEachFixIsReportedAtItsLastSentence) {
    Builder b;
    b.feed(MultiConstellationEpoch("102030.00"));
    b.feed(MultiConstellationEpoch("102031.00"));
    EXPECT_EQ(b.recorder.fixes.size(), 1u) << "the first two seconds end when another begins";
    b.feed(MultiConstellationEpoch("102032.00"));
    ASSERT_EQ(b.recorder.fixes.size(), 3u) << "the third ends with its last GSV, as the second did";
    EXPECT_EQ(b.recorder.skies.size(), 3u);
    EXPECT_EQ(b.recorder.fixes[2].time, At(2025, 3, 14, 10, 20, 32));
    EXPECT_EQ(b.recorder.skies[2].satellites.size(), 12u);
    b.builder.finish();
    EXPECT_EQ(b.recorder.fixes.size(), 3u) << "nothing was left over";

    // Without GSV the cycle ends at the second GSA; each epoch has only its own used satellites.
    Builder gsaOnly;
    for (const char* time : {"102030.00", "102031.00"}) {
        std::vector<std::string> epoch = MultiConstellationEpoch(time);
        epoch.resize(5);  // RMC, VTG, GGA and the GPS and GLONASS GSA
        gsaOnly.feed(epoch);
    }
    gsaOnly.feed({"GNRMC,102032.00,A,5230.0000,N,01322.5000,E,10.0,90.0,140325,,,A,V",
                  "GNGGA,102032.00,5230.0000,N,01322.5000,E,1,02,0.8,35.0,M,40.0,M,,",
                  "GNGSA,A,3,02,,,,,,,,,,,,1.5,0.8,1.2,1", "GNGSA,A,3,70,,,,,,,,,,,,1.5,0.8,1.2,2"});
    ASSERT_EQ(gsaOnly.recorder.fixes.size(), 3u);
    EXPECT_EQ(gsaOnly.recorder.fixes[2].used, (std::vector<SatelliteId>{{GnssId::Gps, 2}, {GnssId::Glonass, 6}}));
}

// Sentences of one epoch that disagree on the position (a multiplexer that delays one, a receiver
// that writes GLL from another filter): GGA's or GNS's counts, then RMC's, then GLL's.
TEST(NmeaEpochs, DisagreeingSentencesGiveThePositionOfTheMostTrustedOne) {
    const std::string rmc = "GPRMC,080000,A,4100.000,N,00300.000,W,0.0,,010125,,,A";
    const std::string gga = "GPGGA,080000,4200.000,N,00300.000,W,1,05,1.0,100.0,M,50.0,M,,";
    const std::string gll = "GPGLL,4300.000,N,00300.000,W,080000,A,A";
    const std::string gns = "GNGNS,080000,4400.000,N,00300.000,W,AA,06,1.0,100.0,50.0,,,S";
    const std::string ggaWithout = "GPGGA,080000,,,,,1,05,1.0,100.0,M,50.0,M,,";
    struct Case {
        const char* legend;
        std::vector<std::string> bodies;
        double latitude;
    };
    const Case cases[] = {
        {"RMC before GGA", {rmc, gga}, 42.0},
        {"GLL and RMC before GNS", {gll, rmc, gns}, 44.0},
        {"GLL before RMC", {gll, rmc}, 41.0},
        {"GGA before GNS: the first of the two", {gga, gns}, 42.0},
        {"a GGA without a position", {rmc, ggaWithout}, 41.0},
    };
    for (const Case& c : cases) {
        Builder b;
        b.feed(c.bodies);
        b.builder.finish();
        ASSERT_EQ(b.recorder.fixes.size(), 1u) << c.legend;
        ASSERT_TRUE(b.recorder.fixes[0].latitude) << c.legend;
        EXPECT_DOUBLE_EQ(*b.recorder.fixes[0].latitude, c.latitude) << c.legend;
    }
}

TEST(NmeaEpochs, BrokenGsvCyclesLeaveOnlyTheirConstellationOut) {
    Builder b;
    b.feed({"GPGGA,080000,4000.000,N,00300.000,W,1,05,1.0,100.0,M,50.0,M,,",
            "GPGSV,3,1,09,01,10,010,30,02,20,020,31,03,30,030,32,04,40,040,33",
            "GPGSV,3,3,09,09,80,090,38",  // part 2 missing
            "GLGSV,2,2,06,70,50,010,39,71,25,110,35",
            "GLGSV,2,1,06,72,50,010,39,73,25,110,35,74,05,210,,75,05,210,",  // out of order
            "GAGSV,1,1,02,04,40,040,41,11,35,140,37,7"});
    b.builder.finish();
    ASSERT_EQ(b.recorder.skies.size(), 1u);
    ASSERT_EQ(b.recorder.skies[0].satellites.size(), 2u);
    EXPECT_EQ(b.recorder.skies[0].satellites[0].id, (SatelliteId{GnssId::Galileo, 4}));
    ASSERT_EQ(b.recorder.fixes.size(), 1u);
    EXPECT_DOUBLE_EQ(*b.recorder.fixes[0].latitude, 40.0) << "the fix does not suffer";

    Builder none;
    none.feed({"GPGGA,080000,4000.000,N,00300.000,W,1,05,1.0,100.0,M,50.0,M,,", "GPGSV,2,1,05,01,10,010,30"});
    none.builder.finish();
    EXPECT_TRUE(none.recorder.skies.empty()) << "no complete cycle, no sky";
}

TEST(NmeaEpochs, NoFixShowsNoPosition) {
    struct Case {
        const char* legend;
        std::vector<std::string> bodies;
    };
    const Case cases[] = {
        {"GGA quality 0 with a stale position", {"GPGGA,080000,4000.000,N,00300.000,W,0,00,,100.0,M,50.0,M,,"}},
        {"RMC status V", {"GPRMC,080000,V,4000.000,N,00300.000,W,0.0,0.0,010125,,,N"}},
        {"GLL status V", {"GPGLL,4000.000,N,00300.000,W,080000,V,N"}},
        {"GNS modes all N", {"GNGNS,080000,4000.000,N,00300.000,W,NNNN,00,,100.0,50.0,,,V"}},
        {"GSA no fix against a GGA fix",
         {"GPGGA,080000,4000.000,N,00300.000,W,1,04,2.0,100.0,M,50.0,M,,", "GPGSA,A,1,,,,,,,,,,,,,,,"}},
        {"latitude 91", {"GPGGA,080000,9100.000,N,00300.000,W,1,05,1.0,100.0,M,50.0,M,,"}},
    };
    for (const Case& c : cases) {
        Builder b;
        b.feed(c.bodies);
        b.builder.finish();
        ASSERT_EQ(b.recorder.fixes.size(), 1u) << c.legend;
        const GnssFix& fix = b.recorder.fixes[0];
        EXPECT_EQ(fix.mode, FixMode::NoFix) << c.legend;
        EXPECT_FALSE(fix.latitude) << c.legend;
        EXPECT_FALSE(fix.altitudeMsl) << c.legend;
        EXPECT_FALSE(fix.hasPosition()) << c.legend;
    }
}

// GST: time, range RMS, ellipse major, minor, orientation, then latitude, longitude, altitude sigma.
TEST(NmeaEpochs, TheGstOfTheEpochGivesTheFixItsErrorEstimate) {
    struct Case {
        const char* legend;
        std::string gga, gst;
        std::optional<double> east, north, up;
    };
    const std::string fix3d = "GPGGA,080000,4000.000,N,00300.000,W,1,05,1.0,100.0,M,50.0,M,,";
    const Case cases[] = {
        {"a 3D fix with its estimate", fix3d, "GPGST,080000,3.2,2.5,1.5,30.0,1.9,2.1,3.4", 2.1, 1.9, 3.4},
        {"no vertical estimate for a 2D fix", "GPGGA,080000,4000.000,N,00300.000,W,1,03,1.0,,M,,M,,",
         "GPGST,080000,3.2,2.5,1.5,30.0,1.9,2.1,3.4", 2.1, 1.9, {}},
        {"empty fields give no estimate", fix3d, "GPGST,080000,,,,,,,", {}, {}, {}},
        {"negative and absurd sigmas are left out", fix3d, "GPGST,080000,3.2,2.5,1.5,30.0,-1.0,1e99,0.5", {}, {}, 0.5},
        {"another second's estimate is not this fix's", fix3d, "GPGST,080001,3.2,2.5,1.5,30.0,1.9,2.1,3.4", {}, {}, {}},
        {"no estimate without a fix", "GPGGA,080000,4000.000,N,00300.000,W,0,00,,,M,,M,,",
         "GPGST,080000,3.2,2.5,1.5,30.0,1.9,2.1,3.4", {}, {}, {}},
    };
    for (const Case& c : cases) {
        Builder b;
        b.feed({c.gga, c.gst});
        b.builder.finish();
        ASSERT_FALSE(b.recorder.fixes.empty()) << c.legend;
        const GnssFix& fix = b.recorder.fixes[0];
        EXPECT_EQ(fix.sigmaEast, c.east) << c.legend;
        EXPECT_EQ(fix.sigmaNorth, c.north) << c.legend;
        EXPECT_EQ(fix.sigmaUp, c.up) << c.legend;
    }
}

TEST(NmeaEpochs, KindOfFixFromTheSentencesAtHand) {
    struct Case {
        const char* legend;
        std::vector<std::string> bodies;
        FixMode mode;
        FixQuality quality;
    };
    const Case cases[] = {
        {"RMC alone: a position without height", {"GPRMC,080000,A,4000.000,N,00300.000,W,0.0,,010125,,,A"},
         FixMode::TwoD, FixQuality::Standard},
        {"GGA with height", {"GPGGA,080000,4000.000,N,00300.000,W,1,05,1.0,100.0,M,50.0,M,,"}, FixMode::ThreeD,
         FixQuality::Standard},
        {"GSA says 2D", {"GPGGA,080000,4000.000,N,00300.000,W,1,03,1.0,100.0,M,50.0,M,,", "GPGSA,A,2,01,02,03,,,,,,,,,,3.0,2.0,2.2"},
         FixMode::TwoD, FixQuality::Standard},
        {"GGA DGPS", {"GPGGA,080000,4000.000,N,00300.000,W,2,05,1.0,100.0,M,50.0,M,3.0,0042"}, FixMode::ThreeD,
         FixQuality::Differential},
        {"GGA RTK fixed", {"GPGGA,080000,4000.000,N,00300.000,W,4,05,1.0,100.0,M,50.0,M,1.0,0042"}, FixMode::ThreeD,
         FixQuality::RtkFixed},
        {"GGA RTK float", {"GPGGA,080000,4000.000,N,00300.000,W,5,05,1.0,100.0,M,50.0,M,1.0,0042"}, FixMode::ThreeD,
         FixQuality::RtkFloat},
        {"GGA estimated", {"GPGGA,080000,4000.000,N,00300.000,W,6,00,,100.0,M,50.0,M,,"}, FixMode::ThreeD,
         FixQuality::DeadReckoning},
        {"RMC differential mode", {"GPRMC,080000,A,4000.000,N,00300.000,W,0.0,,010125,,,D"}, FixMode::TwoD,
         FixQuality::Differential},
        {"GNS with one constellation fixing", {"GNGNS,080000,4000.000,N,00300.000,W,NANN,06,1.0,100.0,50.0,,,S"},
         FixMode::ThreeD, FixQuality::Standard},
    };
    for (const Case& c : cases) {
        Builder b;
        b.feed(c.bodies);
        b.builder.finish();
        ASSERT_EQ(b.recorder.fixes.size(), 1u) << c.legend;
        EXPECT_EQ(b.recorder.fixes[0].mode, c.mode) << c.legend;
        EXPECT_EQ(b.recorder.fixes[0].quality, c.quality) << c.legend;
        EXPECT_TRUE(b.recorder.fixes[0].hasPosition()) << c.legend;
    }
}

TEST(NmeaEpochs, TimeDecidesTheEpochs) {
    Builder b;
    b.feed({"GPRMC,235959,A,4000.000,N,00300.000,W,0.0,,311225,,,A",
            "GPGGA,235959,4000.000,N,00300.000,W,1,05,1.0,100.0,M,50.0,M,,",
            "GPGGA,000000,4000.000,N,00300.000,W,1,05,1.0,100.0,M,50.0,M,,",
            "GPGGA,235958,4000.000,N,00300.000,W,1,05,1.0,100.0,M,50.0,M,,",
            "GPGGA,,,,,,0,00,,,M,,M,,", "GPGGA,,,,,,0,00,,,M,,M,,"});
    b.builder.finish();
    ASSERT_EQ(b.recorder.fixes.size(), 5u);
    EXPECT_EQ(b.recorder.fixes[0].time, At(2025, 12, 31, 23, 59, 59)) << "RMC and GGA of one second are one epoch";
    EXPECT_EQ(b.recorder.fixes[1].time, At(2026, 1, 1, 0, 0, 0)) << "midnight moves the date on";
    EXPECT_EQ(b.recorder.fixes[2].time, At(2026, 1, 1, 23, 59, 58)) << "time going backwards starts another epoch";
    EXPECT_FALSE(b.recorder.fixes[3].time) << "a receiver without time yet";
    EXPECT_FALSE(b.recorder.fixes[4].time) << "a repeated GGA is the next epoch even without time";

    Builder noDate;
    noDate.feed({"GPGGA,080000,4000.000,N,00300.000,W,1,05,1.0,100.0,M,50.0,M,,"});
    noDate.builder.finish();
    ASSERT_EQ(noDate.recorder.fixes.size(), 1u);
    EXPECT_FALSE(noDate.recorder.fixes[0].time) << "a time of day without a date is not a time";
    EXPECT_TRUE(noDate.recorder.fixes[0].hasPosition());
}

TEST(NmeaEpochs, RepeatedGsvCyclesWithoutFixSentencesEachMakeASky) {
    Builder b;
    for (int i = 0; i < 3; ++i) b.feed({"GPGSV,1,1,02,01,10,010,30,02,20,020,31"});
    b.builder.finish();
    EXPECT_EQ(b.recorder.skies.size(), 3u);
    EXPECT_TRUE(b.recorder.fixes.empty());
    for (const GnssSky& sky : b.recorder.skies) EXPECT_EQ(sky.satellites.size(), 2u);
}

// A connection that lands mid-cycle: the first epoch lacks the cycle's start. Its fix stands on the
// sentences it holds; its used satellites (perhaps one GSA of two) and its sky (GLONASS alone,
// none used) would be wrong and are left out. The epochs after it are whole.
TEST(NmeaEpochs, AConnectionMidCycleKeepsItsFixAndLeavesOutItsSky) {
    const auto second = [](const std::string& time) {
        return std::vector<std::string>{"GNGGA," + time + ",5230.0000,N,01322.5000,E,1,04,0.8,35.0,M,40.0,M,,",
                                        "GNGSA,A,3,02,05,,,,,,,,,,,1.5,0.8,1.2,1",
                                        "GNGSA,A,3,70,75,,,,,,,,,,,1.5,0.8,1.2,2",
                                        "GPGSV,1,1,02,02,45,100,40,05,30,200,38,1",
                                        "GLGSV,1,1,02,70,50,010,39,75,25,110,35,1",
                                        "GNRMC," + time + ",A,5230.0000,N,01322.5000,E,10.0,90.0,140325,,,A,V"};
    };
    struct Case {
        std::ptrdiff_t landsAt;  // the first sentence of the cycle heard
        FixMode mode;
    };
    const Case cases[] = {{1, FixMode::ThreeD}, {2, FixMode::ThreeD}, {4, FixMode::TwoD}};
    for (const Case& c : cases) {
        Builder b;
        const std::vector<std::string> first = second("102030.00");
        b.feed({first.begin() + c.landsAt, first.end()});
        b.feed(second("102031.00"));
        b.feed(second("102032.00"));
        b.builder.finish();
        ASSERT_EQ(b.recorder.fixes.size(), 3u) << c.landsAt;
        const GnssFix& partial = b.recorder.fixes.front();
        EXPECT_EQ(partial.time, At(2025, 3, 14, 10, 20, 30)) << c.landsAt;
        EXPECT_EQ(partial.mode, c.mode) << c.landsAt;
        EXPECT_TRUE(partial.hasPosition()) << c.landsAt;
        EXPECT_TRUE(partial.used.empty()) << c.landsAt;
        EXPECT_FALSE(partial.satellitesUsed) << c.landsAt;
        EXPECT_EQ(b.recorder.fixes.back().used.size(), 4u) << c.landsAt;
        ASSERT_EQ(b.recorder.skies.size(), 2u) << c.landsAt;
        EXPECT_EQ(b.recorder.skies.front().satellites.size(), 4u) << c.landsAt;
        EXPECT_EQ(b.recorder.skies.front().usedCount(), 4) << c.landsAt;
    }
}

TEST(NmeaEpochs, ResetForgetsTheEpochInProgress) {
    Builder b;
    b.feed({"GPGGA,080000,4000.000,N,00300.000,W,1,05,1.0,100.0,M,50.0,M,,"});
    b.builder.reset();
    b.builder.finish();
    EXPECT_TRUE(b.recorder.fixes.empty());

    // A receiver whose cycles end at GGA, then one that writes GGA first: its epoch is not cut there.
    for (const char* time : {"080001", "080002", "080003"}) {
        b.feed({std::string("GPRMC,") + time + ",A,4000.000,N,00300.000,W,0.0,,010125,,,A",
                std::string("GPGGA,") + time + ",4000.000,N,00300.000,W,1,05,1.0,100.0,M,50.0,M,,"});
    }
    ASSERT_EQ(b.recorder.fixes.size(), 3u) << "the third ends at its GGA";
    b.builder.reset();
    b.feed({"GPGGA,090000,4000.000,N,00300.000,W,1,05,1.0,100.0,M,50.0,M,,",
            "GPRMC,090000,A,4000.000,N,00300.000,W,10.0,,010125,,,A"});
    b.builder.finish();
    ASSERT_EQ(b.recorder.fixes.size(), 4u);
    EXPECT_TRUE(b.recorder.fixes[3].speed) << "the RMC belongs to the epoch";
}

}  // namespace
}  // namespace vexa
