#include "receiver/nmea/nmea_sentence.h"

#include <gtest/gtest.h>

#include "support/nmea_text.h"
#include "receiver/nmea/nmea_satellites.h"

namespace vexa {
namespace {

using test::Sentence;

constexpr double kTolerance = 1e-7;

template <class Data>
Data Parsed(const std::string& line) {
    const NmeaParseResult result = ParseNmeaSentence(line);
    EXPECT_EQ(result.status, NmeaParseStatus::Parsed) << line;
    const Data* data = std::get_if<Data>(&result.sentence.data);
    EXPECT_NE(data, nullptr) << line;
    return data != nullptr ? *data : Data{};
}

constexpr NmeaTimeOfDay Clock(int h, int m, int s, int ms = 0) { return ((h * 60 + m) * 60 + s) * 1000 + ms; }

TEST(NmeaSentences, FramingChecksumAndTalker) {
    struct Case {
        const char* legend;
        std::string line;
        NmeaParseStatus status;
    };
    const Case cases[] = {
        {"checksum right", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n", NmeaParseStatus::Parsed},
        {"checksum in lower case", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6a", NmeaParseStatus::Parsed},
        {"checksum wrong", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*48\r\n",
         NmeaParseStatus::BadChecksum},
        {"one character changed", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.5,M,46.9,M,,*47\r\n",
         NmeaParseStatus::BadChecksum},
        {"no checksum", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,\r\n", NmeaParseStatus::Parsed},
        {"checksum not hex", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*G7\r\n",
         NmeaParseStatus::Malformed},
        {"star in the middle", "$GPGGA,123519,4807.0*38,N,01131.000,E,1,08\r\n", NmeaParseStatus::Malformed},
        {"truncated address", "$GPGG", NmeaParseStatus::Malformed},
        {"no dollar", "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", NmeaParseStatus::Malformed},
        {"proprietary", Sentence("PXYZA,1,2,3"), NmeaParseStatus::Ignored},
        {"depth sounder", Sentence("SDDBT,12.1,f,3.7,M,2.0,F"), NmeaParseStatus::Ignored},
        {"wind instrument", Sentence("IIMWV,214.8,R,0.1,K,A"), NmeaParseStatus::Ignored},
        {"heading under a GPS talker", Sentence("GPHDT,274.07,T"), NmeaParseStatus::Ignored},
        {"GLONASS talker", Sentence("GLGSA,A,3,65,66,,,,,,,,,,,2.1,1.2,1.7"), NmeaParseStatus::Parsed},
        {"BeiDou talker BD", Sentence("BDGSV,1,1,01,07,40,120,33"), NmeaParseStatus::Parsed},
        {"QZSS talker QZ", Sentence("QZGSV,1,1,01,02,60,180,40"), NmeaParseStatus::Parsed},
        {"NavIC talker", Sentence("GIGSV,1,1,01,05,30,90,35"), NmeaParseStatus::Parsed},
        {"GSV part beyond the total", Sentence("GPGSV,2,3,08,01,40,083,46"), NmeaParseStatus::Malformed},
        {"GSV without counts", Sentence("GPGSV,,,08,01,40,083,46"), NmeaParseStatus::Malformed},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseNmeaSentence(c.line).status, c.status) << c.legend;

    const NmeaParseResult glonass = ParseNmeaSentence(Sentence("GLGSA,A,3,65,66,,,,,,,,,,,2.1,1.2,1.7"));
    EXPECT_EQ(glonass.sentence.system, NmeaSystem::Glonass);
    EXPECT_EQ(glonass.sentence.type, NmeaType::Gsa);
    EXPECT_EQ(ParseNmeaSentence(Sentence("BDGSV,1,1,01,07,40,120,33")).sentence.system, NmeaSystem::BeiDou);
    EXPECT_EQ(ParseNmeaSentence(Sentence("GNGSA,A,3,01,,,,,,,,,,,,2.0,1.0,1.7")).sentence.system, NmeaSystem::Mixed);
}

TEST(NmeaSentences, Gga) {
    const auto gga = Parsed<GgaSentence>("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
    EXPECT_EQ(gga.time, Clock(12, 35, 19));
    ASSERT_TRUE(gga.position);
    EXPECT_NEAR(gga.position->latitude, 48.1173, kTolerance);
    EXPECT_NEAR(gga.position->longitude, 11.516666667, kTolerance);
    EXPECT_EQ(gga.quality, 1);
    EXPECT_EQ(gga.satellitesUsed, 8);
    EXPECT_DOUBLE_EQ(*gga.hdop, 0.9);
    EXPECT_DOUBLE_EQ(*gga.altitudeMsl, 545.4);
    EXPECT_DOUBLE_EQ(*gga.geoidSeparation, 46.9);

    const auto south = Parsed<GgaSentence>(Sentence("GNGGA,001122.50,3330.0000,S,07015.6000,W,2,12,1.1,-12.5,M,-3.0,M,1.0,0101"));
    EXPECT_EQ(south.time, Clock(0, 11, 22, 500));
    EXPECT_NEAR(south.position->latitude, -33.5, kTolerance);
    EXPECT_NEAR(south.position->longitude, -70.26, kTolerance);
    EXPECT_EQ(south.quality, 2);
    EXPECT_DOUBLE_EQ(*south.altitudeMsl, -12.5);
    EXPECT_DOUBLE_EQ(*south.geoidSeparation, -3.0);

    const auto empty = Parsed<GgaSentence>(Sentence("GPGGA,,,,,,0,00,,,M,,M,,"));
    EXPECT_FALSE(empty.time);
    EXPECT_FALSE(empty.position);
    EXPECT_EQ(empty.quality, 0);
    EXPECT_EQ(empty.satellitesUsed, 0);
    EXPECT_FALSE(empty.hdop) << "an empty field is not reported, never zero";
    EXPECT_FALSE(empty.altitudeMsl);
}

TEST(NmeaSentences, FieldsThatCannotBeReadAreNotReported) {
    const auto letters = Parsed<GgaSentence>(Sentence("GPGGA,12a519,48O7.038,N,01131.000,E,x,08,0.9.1,5e2,M,46.9,M,,"));
    EXPECT_FALSE(letters.time);
    EXPECT_FALSE(letters.position) << "latitude with a letter O";
    EXPECT_FALSE(letters.quality);
    EXPECT_EQ(letters.satellitesUsed, 8);
    EXPECT_FALSE(letters.hdop);
    EXPECT_FALSE(letters.altitudeMsl) << "exponents are not NMEA numbers";

    struct Case {
        const char* legend;
        const char* body;
    };
    const Case badPositions[] = {
        {"latitude 91", "GPGLL,9100.000,N,01131.000,E,123519,A,A"},
        {"longitude 181", "GPGLL,4807.038,N,18100.000,E,123519,A,A"},
        {"minutes 60", "GPGLL,4860.000,N,01131.000,E,123519,A,A"},
        {"hemisphere X", "GPGLL,4807.038,X,01131.000,E,123519,A,A"},
        {"negative latitude", "GPGLL,-4807.038,N,01131.000,E,123519,A,A"},
        {"longitude missing", "GPGLL,4807.038,N,,,123519,A,A"},
    };
    for (const Case& c : badPositions) EXPECT_FALSE(Parsed<GllSentence>(Sentence(c.body)).position) << c.legend;
    EXPECT_TRUE(Parsed<GllSentence>(Sentence("GPGLL,9000.000,N,18000.000,W,123519,A,A")).position) << "the poles exist";

    EXPECT_FALSE(Parsed<RmcSentence>(Sentence("GPRMC,246000,A,4807.038,N,01131.000,E,,,230394,,,A")).time);
    EXPECT_EQ(Parsed<RmcSentence>(Sentence("GPRMC,235960,A,4807.038,N,01131.000,E,,,311216,,,A")).time, Clock(23, 59, 60))
        << "a leap second";
    EXPECT_FALSE(Parsed<RmcSentence>(Sentence("GPRMC,235961,A,4807.038,N,01131.000,E,,,311216,,,A")).time);
    EXPECT_FALSE(Parsed<RmcSentence>(Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,,,310294,,,A")).date)
        << "31 February";
}

TEST(NmeaSentences, RmcGllVtgZda) {
    const auto rmc = Parsed<RmcSentence>("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n");
    EXPECT_EQ(rmc.time, Clock(12, 35, 19));
    EXPECT_EQ(rmc.valid, true);
    EXPECT_NEAR(rmc.position->latitude, 48.1173, kTolerance);
    EXPECT_DOUBLE_EQ(*rmc.speedKnots, 22.4);
    EXPECT_DOUBLE_EQ(*rmc.course, 84.4);
    EXPECT_EQ(rmc.date, (NmeaDate{1994, 3, 23}));
    EXPECT_FALSE(rmc.mode) << "NMEA 2.2 sentences have no mode";

    const auto rmc41 = Parsed<RmcSentence>(Sentence("GNRMC,235959.00,V,,,,,,,311224,,,N,V"));
    EXPECT_EQ(rmc41.time, Clock(23, 59, 59));
    EXPECT_EQ(rmc41.valid, false);
    EXPECT_FALSE(rmc41.position);
    EXPECT_FALSE(rmc41.speedKnots);
    EXPECT_EQ(rmc41.date, (NmeaDate{2024, 12, 31}));
    EXPECT_EQ(rmc41.mode, 'N');

    const auto gll = Parsed<GllSentence>(Sentence("GAGLL,5107.0013,N,00012.3456,W,101010.25,A,D"));
    EXPECT_NEAR(gll.position->latitude, 51.116688333, kTolerance);
    EXPECT_NEAR(gll.position->longitude, -0.20576, kTolerance);
    EXPECT_EQ(gll.time, Clock(10, 10, 10, 250));
    EXPECT_EQ(gll.valid, true);
    EXPECT_EQ(gll.mode, 'D');

    const auto vtg = Parsed<VtgSentence>(Sentence("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A"));
    EXPECT_DOUBLE_EQ(*vtg.courseTrue, 54.7);
    EXPECT_DOUBLE_EQ(*vtg.speedKnots, 5.5);
    EXPECT_DOUBLE_EQ(*vtg.speedKmh, 10.2);
    EXPECT_EQ(vtg.mode, 'A');
    const auto standing = Parsed<VtgSentence>(Sentence("GPVTG,,T,,M,0.0,N,0.0,K,A"));
    EXPECT_FALSE(standing.courseTrue) << "no course while standing still";
    EXPECT_DOUBLE_EQ(*standing.speedKmh, 0.0);

    const auto zda = Parsed<ZdaSentence>(Sentence("GPZDA,201530.00,04,07,2002,00,00"));
    EXPECT_EQ(zda.time, Clock(20, 15, 30));
    EXPECT_EQ(zda.date, (NmeaDate{2002, 7, 4}));
    EXPECT_FALSE(Parsed<ZdaSentence>(Sentence("GPZDA,201530.00,04,07,02,00,00")).date) << "ZDA's year has four digits";
}

TEST(NmeaSentences, GnsAndGsa) {
    const auto gns = Parsed<GnsSentence>(Sentence("GNGNS,014035.00,4332.69262,S,17235.48549,E,RRAN,16,0.9,200.0,-17.0,,,S"));
    EXPECT_EQ(gns.time, Clock(1, 40, 35));
    EXPECT_NEAR(gns.position->latitude, -43.544877, 1e-6);
    EXPECT_NEAR(gns.position->longitude, 172.5914248333, 1e-6);
    EXPECT_EQ(gns.modeLetters(), "RRAN");
    EXPECT_EQ(gns.satellitesUsed, 16);
    EXPECT_DOUBLE_EQ(*gns.hdop, 0.9);
    EXPECT_DOUBLE_EQ(*gns.altitudeMsl, 200.0);
    EXPECT_DOUBLE_EQ(*gns.geoidSeparation, -17.0);

    const auto gsa = Parsed<GsaSentence>(Sentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"));
    EXPECT_EQ(gsa.fixType, 3);
    EXPECT_EQ(gsa.used, (std::array<int, 12>{4, 5, 0, 9, 12, 0, 0, 24, 0, 0, 0, 0}));
    EXPECT_DOUBLE_EQ(*gsa.pdop, 2.5);
    EXPECT_DOUBLE_EQ(*gsa.hdop, 1.3);
    EXPECT_DOUBLE_EQ(*gsa.vdop, 2.1);
    EXPECT_FALSE(gsa.system);

    const auto gsa410 = Parsed<GsaSentence>(Sentence("GNGSA,A,3,07,11,,,,,,,,,,,1.8,1.0,1.5,4"));
    EXPECT_EQ(gsa410.system, NmeaSystem::BeiDou);
    const auto noFix = Parsed<GsaSentence>(Sentence("GPGSA,A,1,,,,,,,,,,,,,,,"));
    EXPECT_EQ(noFix.fixType, 1);
    EXPECT_EQ(noFix.used, (std::array<int, 12>{}));
    EXPECT_FALSE(noFix.pdop);
}

TEST(NmeaSentences, Gsv) {
    const auto gsv = Parsed<GsvSentence>(Sentence("GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00"));
    EXPECT_EQ(gsv.total, 3);
    EXPECT_EQ(gsv.index, 1);
    EXPECT_EQ(gsv.inView, 11);
    ASSERT_EQ(gsv.count, 4u);
    EXPECT_EQ(gsv.satellites[3].number, 13);
    EXPECT_DOUBLE_EQ(*gsv.satellites[3].elevation, 6.0);
    EXPECT_DOUBLE_EQ(*gsv.satellites[3].azimuth, 292.0);
    EXPECT_DOUBLE_EQ(*gsv.satellites[3].cn0, 0.0);
    EXPECT_EQ(gsv.signal, 0);

    const auto last = Parsed<GsvSentence>(Sentence("GPGSV,3,3,11,22,42,067,42,24,14,311,,27,05,244,"));
    ASSERT_EQ(last.count, 3u);
    EXPECT_FALSE(last.satellites[1].cn0) << "a satellite in view but not tracked";

    const auto signal = Parsed<GsvSentence>(Sentence("GAGSV,1,1,03,05,45,120,38,09,30,200,35,24,10,310,,7"));
    EXPECT_EQ(signal.count, 3u);
    EXPECT_EQ(signal.signal, 7);
    const auto signalOnly = Parsed<GsvSentence>(Sentence("GLGSV,1,1,00,1"));
    EXPECT_EQ(signalOnly.count, 0u);
    EXPECT_EQ(signalOnly.signal, 1);
}

TEST(NmeaSatelliteNumbers, TalkerAndNumberName) {
    struct Case {
        NmeaSystem system;
        int number;
        std::optional<SatelliteId> id;
    };
    const Case cases[] = {
        {NmeaSystem::Gps, 1, SatelliteId{GnssId::Gps, 1}},
        {NmeaSystem::Gps, 32, SatelliteId{GnssId::Gps, 32}},
        {NmeaSystem::Gps, 33, SatelliteId{GnssId::Sbas, 120}},
        {NmeaSystem::Gps, 51, SatelliteId{GnssId::Sbas, 138}},
        {NmeaSystem::Gps, 64, SatelliteId{GnssId::Sbas, 151}},
        {NmeaSystem::Gps, 65, SatelliteId{GnssId::Glonass, 1}},
        {NmeaSystem::Glonass, 65, SatelliteId{GnssId::Glonass, 1}},
        {NmeaSystem::Glonass, 96, SatelliteId{GnssId::Glonass, 32}},
        {NmeaSystem::Glonass, 33, SatelliteId{GnssId::Sbas, 120}},
        {NmeaSystem::Galileo, 1, SatelliteId{GnssId::Galileo, 1}},
        {NmeaSystem::Galileo, 36, SatelliteId{GnssId::Galileo, 36}},
        {NmeaSystem::Galileo, 301, SatelliteId{GnssId::Galileo, 1}},
        {NmeaSystem::BeiDou, 1, SatelliteId{GnssId::BeiDou, 1}},
        {NmeaSystem::BeiDou, 63, SatelliteId{GnssId::BeiDou, 63}},
        {NmeaSystem::BeiDou, 201, SatelliteId{GnssId::BeiDou, 1}},
        {NmeaSystem::BeiDou, 437, SatelliteId{GnssId::BeiDou, 37}},
        {NmeaSystem::BeiDou, 463, SatelliteId{GnssId::BeiDou, 63}},
        {NmeaSystem::BeiDou, 464, std::nullopt},
        {NmeaSystem::Qzss, 1, SatelliteId{GnssId::Qzss, 1}},
        {NmeaSystem::Qzss, 193, SatelliteId{GnssId::Qzss, 1}},
        {NmeaSystem::Navic, 14, SatelliteId{GnssId::Navic, 14}},
        {NmeaSystem::Mixed, 7, SatelliteId{GnssId::Gps, 7}},
        {NmeaSystem::Mixed, 70, SatelliteId{GnssId::Glonass, 6}},
        {NmeaSystem::Mixed, 130, SatelliteId{GnssId::Sbas, 130}},
        {NmeaSystem::Mixed, 195, SatelliteId{GnssId::Qzss, 3}},
        {NmeaSystem::Mixed, 211, SatelliteId{GnssId::BeiDou, 11}},
        {NmeaSystem::Mixed, 305, SatelliteId{GnssId::Galileo, 5}},
        {NmeaSystem::Mixed, 0, std::nullopt},
        {NmeaSystem::Mixed, 99, std::nullopt},
        {NmeaSystem::Navic, 15, std::nullopt},
        {NmeaSystem::Qzss, 11, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SatelliteFromNmea(c.system, c.number), c.id)
            << "system " << static_cast<int>(c.system) << " number " << c.number;
    }
}

TEST(NmeaSatelliteNumbers, GpsdPrnAndLetters) {
    EXPECT_EQ(GpsdPrn({GnssId::Gps, 7}), 7);
    EXPECT_EQ(GpsdPrn({GnssId::Sbas, 131}), 131);
    EXPECT_EQ(GpsdPrn({GnssId::Glonass, 6}), 70);
    EXPECT_EQ(GpsdPrn({GnssId::Galileo, 5}), 305);
    EXPECT_EQ(GpsdPrn({GnssId::BeiDou, 11}), 411);
    EXPECT_EQ(GpsdPrn({GnssId::Qzss, 3}), 195);
    EXPECT_EQ(std::string({ConstellationLetter(GnssId::Gps), ConstellationLetter(GnssId::Glonass),
                           ConstellationLetter(GnssId::Galileo), ConstellationLetter(GnssId::BeiDou),
                           ConstellationLetter(GnssId::Qzss), ConstellationLetter(GnssId::Sbas),
                           ConstellationLetter(GnssId::Navic)}),
              "GRECJSI");
}

}  // namespace
}  // namespace vexa
