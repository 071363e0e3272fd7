#include "metrics/receiver_metrics.h"

#include <gtest/gtest.h>

#include <prometheus/text_serializer.h>

#include <memory>
#include <string>
#include <vector>

namespace vexa {
namespace {

constexpr const char* kDevice = "/dev/ttyGPS0";

class Exposition : public ::testing::Test {
protected:
    std::string Text() const { return prometheus::TextSerializer().Serialize(registry_.Collect()); }
    // The sample line of a series, without its value; empty when the series is not exposed.
    std::string Sample(const std::string& series) const {
        const std::string text = Text();
        const std::size_t at = text.find("\n" + series + " ");
        if (at == std::string::npos) return {};
        const std::size_t end = text.find('\n', at + 1);
        return text.substr(at + 1 + series.size() + 1, end - at - series.size() - 2);
    }

    prometheus::Registry registry_;
    ReceiverMetrics metrics_{registry_, kDevice};
};

SkySatellite Satellite(GnssId gnss, std::uint16_t svid, std::optional<double> cn0, bool used) {
    SkySatellite satellite;
    satellite.id = {gnss, svid};
    satellite.cn0 = cn0;
    satellite.used = used;
    return satellite;
}

TEST_F(Exposition, EachFixSetsTheModeAndTheDilutionsItReports) {
    struct Case {
        const char* name;
        GnssFix fix;
        const char* mode;
        const char* hdop;
        const char* pdop;
    };
    GnssFix threeD;
    threeD.mode = FixMode::ThreeD;
    threeD.hdop = 0.9;
    threeD.vdop = 1.4;
    threeD.pdop = 1.7;
    GnssFix twoD;
    twoD.mode = FixMode::TwoD;
    twoD.hdop = 2.5;
    const Case cases[] = {
        {"3D with every dilution", threeD, "3", "0.9", "1.7"},
        {"2D with HDOP only: the others are not a number, never zero", twoD, "2", "2.5", "Nan"},
        {"no fix", GnssFix{}, "1", "Nan", "Nan"},
    };
    for (const Case& c : cases) {
        metrics_.onFix(c.fix);
        EXPECT_EQ(Sample("vexa_fix_mode{device=\"/dev/ttyGPS0\"}"), c.mode) << c.name;
        EXPECT_EQ(Sample("vexa_dilution_of_precision{device=\"/dev/ttyGPS0\",kind=\"hdop\"}"), c.hdop) << c.name;
        EXPECT_EQ(Sample("vexa_dilution_of_precision{device=\"/dev/ttyGPS0\",kind=\"pdop\"}"), c.pdop) << c.name;
    }
}

TEST_F(Exposition, SatellitesArePerSystemAndASatelliteNoLongerHeardLeaves) {
    GnssSky sky;
    sky.satellites = {Satellite(GnssId::Gps, 7, 44, true), Satellite(GnssId::Gps, 9, 31, false),
                      Satellite(GnssId::Glonass, 3, 38, true), Satellite(GnssId::Galileo, 12, std::nullopt, false)};
    metrics_.onSky(sky);
    EXPECT_EQ(Sample("vexa_satellites_in_view{device=\"/dev/ttyGPS0\",gnssid=\"0\"}"), "2");
    EXPECT_EQ(Sample("vexa_satellites_used{device=\"/dev/ttyGPS0\",gnssid=\"0\"}"), "1");
    EXPECT_EQ(Sample("vexa_satellites_used{device=\"/dev/ttyGPS0\",gnssid=\"6\"}"), "1");
    EXPECT_EQ(Sample("vexa_satellites_in_view{device=\"/dev/ttyGPS0\",gnssid=\"2\"}"), "1");
    EXPECT_EQ(Sample("vexa_satellite_cn0_dbhz{device=\"/dev/ttyGPS0\",gnssid=\"6\",svid=\"3\"}"), "38");
    EXPECT_EQ(Sample("vexa_satellite_cn0_dbhz{device=\"/dev/ttyGPS0\",gnssid=\"2\",svid=\"12\"}"), "")
        << "a satellite without C/N0 has no C/N0 series";

    sky.satellites = {Satellite(GnssId::Gps, 7, 45, true)};
    metrics_.onSky(sky);
    EXPECT_EQ(Sample("vexa_satellite_cn0_dbhz{device=\"/dev/ttyGPS0\",gnssid=\"0\",svid=\"7\"}"), "45");
    EXPECT_EQ(Sample("vexa_satellite_cn0_dbhz{device=\"/dev/ttyGPS0\",gnssid=\"0\",svid=\"9\"}"), "");
    EXPECT_EQ(Sample("vexa_satellites_in_view{device=\"/dev/ttyGPS0\",gnssid=\"6\"}"), "0");
}

TEST_F(Exposition, CountersFollowTheLinksTotalsAndOnlyRise) {
    LinkFigures link;
    link.connected = true;
    link.protocol = 2;
    link.bytes = 1000;
    link.sentences = 12;
    link.drops.add(DropReason::BadChecksum);
    link.lastTtffSeconds = 12.5;
    metrics_.UpdateLink(link);
    link.bytes = 1500;
    link.drops.add(DropReason::BadChecksum);
    metrics_.UpdateLink(link);
    EXPECT_EQ(Sample("vexa_received_bytes_total{device=\"/dev/ttyGPS0\"}"), "1500");
    EXPECT_EQ(Sample("vexa_dropped_total{device=\"/dev/ttyGPS0\",reason=\"bad_checksum\"}"), "2");
    EXPECT_EQ(Sample("vexa_dropped_total{device=\"/dev/ttyGPS0\",reason=\"overlong_sentence\"}"), "0");
    EXPECT_EQ(Sample("vexa_receiver_protocol{device=\"/dev/ttyGPS0\"}"), "2");
    EXPECT_EQ(Sample("vexa_ttff_seconds{device=\"/dev/ttyGPS0\"}"), "12.5");

    // A new connection begins its totals anew: the counter goes on rising by them.
    LinkFigures again;
    again.bytes = 200;
    metrics_.UpdateLink(again);
    EXPECT_EQ(Sample("vexa_received_bytes_total{device=\"/dev/ttyGPS0\"}"), "1700");
    EXPECT_EQ(Sample("vexa_receiver_connected{device=\"/dev/ttyGPS0\"}"), "0");
}

// A receiver followed under a new name (the port changed) shows under that name only.
TEST(ReceiverSeries, LeaveTheRegistryWithTheirReceiver) {
    prometheus::Registry registry;
    const auto exposed = [&registry] { return prometheus::TextSerializer().Serialize(registry.Collect()); };
    auto first = std::make_unique<ReceiverMetrics>(registry, "/dev/ttyGPS0", GeodeticPoint{37.5, -122.0, 10.0});
    GnssSky sky;
    sky.satellites = {Satellite(GnssId::Gps, 7, 41.0, true)};
    first->onSky(sky);
    LinkFigures link;
    link.lastTtffSeconds = 30.0;
    first->UpdateLink(link);
    first.reset();
    const ReceiverMetrics second(registry, "/dev/ttyGPS1");
    const std::string text = exposed();
    EXPECT_EQ(text.find("ttyGPS0"), std::string::npos) << text;
    EXPECT_NE(text.find("vexa_receiver_connected{device=\"/dev/ttyGPS1\"} 0"), std::string::npos) << text;
}

}  // namespace
}  // namespace vexa
