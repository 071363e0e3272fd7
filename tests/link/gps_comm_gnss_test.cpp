#include <gtest/gtest.h>

#include "support/nmea_text.h"
#include "support/link_fixture.h"
#include "support/manual_clock.h"
#include "support/pseudo_terminal.h"
#include "link/recording/fix_track.h"
#include "receiver/binary/message_writer.h"

namespace vexa {
namespace {

using namespace std::chrono;
using test::Bytes;
using test::Frame;
using test::Join;
using test::LinkUnderTest;
using test::Sentence;
using test::Text;

// Two seconds of an NMEA receiver, with the sentence types of an ordinary one.
std::string OneSecond(const std::string& time, const std::string& speed) {
    return Sentence("GPGGA," + time + ",4512.3456,N,00734.5678,E,1,8,1.03,61.7,M,55.3,M,,") +
           Sentence("GPGSA,A,3,10,07,05,02,29,04,08,13,,,,,1.72,1.03,1.38") +
           Sentence("GPGSV,3,1,11,10,63,137,17,07,61,098,15,05,59,290,20,08,54,157,30") +
           Sentence("GPGSV,3,2,11,02,39,223,19,13,28,070,17,26,23,252,,04,14,186,14") +
           Sentence("GPGSV,3,3,11,29,09,301,24,16,09,020,,36,,,") +
           Sentence("GPRMC," + time + ",A,4512.3456,N,00734.5678,E," + speed + ",31.66,280511,,,A");
}
const std::string kTwoSeconds = OneSecond("092750.000", "0.02") + OneSecond("092751.000", "0.06");
constexpr double kLatitude = 45.20576;
constexpr double kLongitude = 7.57613;

std::vector<LinkUpdate> TakeUpdates(LinkUnderTest& link) {
    std::vector<LinkUpdate> updates;
    while (auto update = link.notifications.take()) updates.push_back(std::move(*update));
    return updates;
}

TEST(GpsCommGnss, NmeaEpochsFillTheFixAndSkyWhateverTheChunking) {
    const Bytes stream = Text(kTwoSeconds);
    // Splits inside sentences of both seconds; every split is the fuzzer's business.
    for (std::size_t split = 0; split <= stream.size(); split += stream.size() / 5) {
        LinkUnderTest link;
        link.comm->Receive(std::span(stream).first(split));
        link.comm->Receive(std::span(stream).subspan(split));
        link.comm->EndOfInput();
        const std::optional<GnssFix> fix = link.comm->Model().LatestFix();
        ASSERT_TRUE(fix) << split;
        EXPECT_EQ(fix->time, sys_days{2011y / May / 28} + 9h + 27min + 51s) << split;
        EXPECT_EQ(fix->mode, FixMode::ThreeD);
        EXPECT_NEAR(*fix->latitude, kLatitude, 1e-9);
        EXPECT_NEAR(*fix->longitude, kLongitude, 1e-9);
        EXPECT_DOUBLE_EQ(*fix->altitudeMsl, 61.7);
        EXPECT_DOUBLE_EQ(*fix->altitudeHae, 61.7 + 55.3);
        EXPECT_NEAR(*fix->speed, 0.06 * 1852 / 3600, 1e-9);
        EXPECT_EQ(fix->satellitesUsed, 8);
        const std::optional<GnssSky> sky = link.comm->Model().LatestSky();
        ASSERT_TRUE(sky) << split;
        EXPECT_EQ(sky->satellites.size(), 11u);
        EXPECT_EQ(sky->usedCount(), 8);
        EXPECT_DOUBLE_EQ(*sky->vdop, 1.38);

        const std::vector<LinkUpdate> updates = TakeUpdates(link);
        EXPECT_EQ(std::ranges::count(updates, LinkUpdate{FixUpdated{}}), 2) << split;
        EXPECT_EQ(std::ranges::count(updates, LinkUpdate{SkyUpdated{}}), 2) << split;
        EXPECT_EQ(std::ranges::count(updates, LinkUpdate{TextLinesWaiting{}}), 12) << "every sentence still reaches the text page";
    }
}

TEST(GpsCommGnss, BadSentencesNeverReplaceAGoodPosition) {
    LinkUnderTest link;
    link.comm->Receive(Text(kTwoSeconds));
    link.comm->EndOfInput();
    const std::string hostile =
        "\x01\xff\xfe$GPGGA,092752.000,9912.3456,N,00734.5678,E,1,8,1.03,61.7,M,55.3,M,,\r\n"  // latitude 99
        "$GPGGA,092753.000,5012.3456,N,00734.5678,E,1,8,1.03,61.7,M,55.3,M,,*00\r\n"           // wrong checksum
        "$GPGGA,0927";                                                                          // cut short
    link.comm->Receive(Text(hostile));
    link.comm->EndOfInput();
    const std::optional<GnssFix> fix = link.comm->Model().LatestFix();
    ASSERT_TRUE(fix);
    EXPECT_FALSE(fix->hasPosition()) << "an epoch with an impossible latitude has no position";
    link.comm->Receive(Text(Sentence("GPGGA,092754.000,4512.3456,N,00734.5678,E,1,8,1.03,61.7,M,55.3,M,,")));
    link.comm->EndOfInput();
    EXPECT_NEAR(*link.comm->Model().LatestFix()->latitude, kLatitude, 1e-9) << "the next good sentence is used";
}

TEST(GpsCommGnss, TimeToFirstFixCountsFromTheResetToTheFirstNmeaFix) {
    test::ManualClock clock;
    LinkUnderTest link(clock);
    link.comm->Receive(Text(kTwoSeconds));
    link.comm->EndOfInput();
    EXPECT_FALSE(link.context.Ttff.changed()) << "no clock started, nothing to report";

    link.comm->Model().RestartTtffClock();
    link.comm->Receive(Text(Sentence("GPGGA,092755.000,,,,,0,0,,,M,,M,,")));
    link.comm->EndOfInput();
    EXPECT_FALSE(link.context.Ttff.changed()) << "an epoch without a fix does not stop the clock";
    clock.Advance(std::chrono::milliseconds(12'345));
    link.comm->Receive(Text(kTwoSeconds));
    link.comm->EndOfInput();
    ASSERT_TRUE(link.context.Ttff.changed());
    EXPECT_EQ(link.context.Ttff.text(), "12.3 sec");
    const std::optional<TtffSeconds> measured = link.context.Ttff.seconds();
    ASSERT_TRUE(measured);
    EXPECT_EQ(measured->source, TtffSource::Program) << "the program's measure, never taken for the receiver's report";
    EXPECT_NEAR(measured->seconds, 12.345, 1e-9);
    link.context.Ttff.setChanged(false);
    link.comm->Receive(Text(kTwoSeconds));
    link.comm->EndOfInput();
    EXPECT_FALSE(link.context.Ttff.changed()) << "only the first fix counts";
}

// A reconnection starts a new track segment and forgets the epoch left half built when the link
// closed: its fix would be stale, and would stop the time to first fix at once.
TEST(GpsCommGnss, AReconnectionStartsANewSegmentWithoutTheHalfBuiltEpoch) {
    test::PseudoTerminal receiver;
    FixTrack track;
    LinkUnderTest link;
    link.comm->Model().AddGnssListener(track);
    // Whole seconds of GGA and RMC, then the GGA of one more.
    const auto seconds = [](std::initializer_list<const char*> times, const char* last, const std::string& latitude) {
        const std::string position = "," + latitude + ",N,00734.5678,E,";
        std::string text;
        for (const char* time : times) {
            text += Sentence(std::string("GPGGA,") + time + position + "1,8,1.03,61.7,M,55.3,M,,") +
                    Sentence(std::string("GPRMC,") + time + ",A" + position + "0.02,31.66,280511,,,A");
        }
        return Text(text + Sentence(std::string("GPGGA,") + last + position + "1,8,1.03,61.7,M,55.3,M,,"));
    };
    ASSERT_EQ(link.comm->Connect(receiver.SlavePath(), 4800), kResultOk);
    receiver.Send(seconds({"092750", "092751"}, "092752", "4512.0000"));
    ASSERT_TRUE(link.AwaitUpdate(FixUpdated{}));
    ASSERT_TRUE(link.AwaitUpdate(FixUpdated{}));
    ASSERT_EQ(link.comm->Disconnect(), kResultOk);

    ASSERT_EQ(link.comm->Connect(receiver.SlavePath(), 4800), kResultOk);
    receiver.Send(seconds({"093010", "093011"}, "093012", "4600.0000"));
    ASSERT_TRUE(link.AwaitUpdate(FixUpdated{}));
    ASSERT_TRUE(link.AwaitUpdate(FixUpdated{}));
    const std::vector<TrackPoint> points = track.Points();
    ASSERT_GE(points.size(), 3u);
    EXPECT_TRUE(points[0].startsSegment);
    EXPECT_FALSE(points[1].startsSegment);
    EXPECT_DOUBLE_EQ(points[2].latitude, 46.0) << "the first fix of the new connection";
    EXPECT_TRUE(points[2].startsSegment) << "no line drawn across the gap";
}

NavData NavAtZeroZero() {
    NavData nav{};
    nav.X = 6378137;  // on the equator at the prime meridian
    nav.Mode1 = 0x84;  // 3D, DGPS
    nav.Hdop = 6;
    nav.Week = 2400;
    nav.Tow = (4 * 86400 + 10 * 3600 + 18) * 100;
    nav.SvCount = 3;
    nav.SvPrn[0] = 5;
    nav.SvPrn[1] = 17;
    nav.SvPrn[2] = 130;
    return nav;
}

TEST(GpsCommGnss, BinaryMessagesFillTheSameFixAndSky) {
    LinkUnderTest link;
    TrackData track{};
    track.Week = 2400;
    track.Tow = (4 * 86400 + 10 * 3600 + 18) * 100;
    track.Channels[0] = TrackChannel{5, 60, 90, 0x3F, {40, 40, 40, 40, 40, 40, 40, 40, 40, 41}};
    track.Channels[2] = TrackChannel{9, 240, 10, 0x01, {20, 20, 20, 20, 20, 20, 20, 20, 20, 20}};
    track.Channels[3] = TrackChannel{130, 120, 60, 0x3F, {33, 33, 33, 33, 33, 33, 33, 33, 33, 33}};
    link.comm->Receive(Join({Frame(MessagePayload(NavAtZeroZero())), Frame(MessagePayload(track))}));

    const std::optional<GnssFix> fix = link.comm->Model().LatestFix();
    ASSERT_TRUE(fix);
    EXPECT_EQ(fix->time, sys_days{2026y / January / 8} + 10h) << "GPS time less 18 leap seconds";
    EXPECT_EQ(fix->mode, FixMode::ThreeD);
    EXPECT_EQ(fix->quality, FixQuality::Differential);
    EXPECT_NEAR(*fix->latitude, 0.0, 1e-9);
    EXPECT_NEAR(*fix->longitude, 0.0, 1e-9);
    EXPECT_NEAR(*fix->altitudeHae, 0.0, 1e-3);
    EXPECT_DOUBLE_EQ(*fix->hdop, 1.2);
    EXPECT_EQ(fix->used, (std::vector<SatelliteId>{{GnssId::Gps, 5}, {GnssId::Gps, 17}, {GnssId::Sbas, 130}}));

    const std::optional<GnssSky> sky = link.comm->Model().LatestSky();
    ASSERT_TRUE(sky);
    ASSERT_EQ(sky->satellites.size(), 3u) << "idle channels are not satellites";
    EXPECT_EQ(sky->satellites[0].id, (SatelliteId{GnssId::Gps, 5}));
    EXPECT_DOUBLE_EQ(*sky->satellites[0].azimuth, 90.0);
    EXPECT_DOUBLE_EQ(*sky->satellites[0].elevation, 45.0);
    EXPECT_DOUBLE_EQ(*sky->satellites[0].cn0, 40.1);
    EXPECT_TRUE(sky->satellites[0].used);
    EXPECT_FALSE(sky->satellites[1].used);
    EXPECT_EQ(sky->satellites[2].id, (SatelliteId{GnssId::Sbas, 130}));
    EXPECT_TRUE(sky->satellites[2].used);

    EXPECT_EQ(TakeUpdates(link),
              (std::vector<LinkUpdate>{MessageDelivered{MessageId::NavData}, MessageDelivered{MessageId::TrackData}}))
        << "the binary messages' own updates announce the fix and the sky";

    EXPECT_EQ(link.comm->Disconnect(), kResultOk);
    EXPECT_FALSE(link.comm->Model().LatestFix());
    EXPECT_FALSE(link.comm->Model().LatestSky());
}

TEST(GpsCommGnss, BinaryNavigationWithoutAFixHasNoPosition) {
    LinkUnderTest link;
    NavData nav = NavAtZeroZero();
    nav.Mode1 = 0x44;  // 3D, but the DOP mask was exceeded
    link.comm->Receive(Frame(MessagePayload(nav)));
    ASSERT_TRUE(link.comm->Model().LatestFix());
    EXPECT_EQ(link.comm->Model().LatestFix()->mode, FixMode::NoFix);
    EXPECT_FALSE(link.comm->Model().LatestFix()->latitude);
    nav.Mode1 = 0;
    link.comm->Receive(Frame(MessagePayload(nav)));
    EXPECT_FALSE(link.comm->Model().LatestFix()->hasPosition());
}

}  // namespace
}  // namespace vexa
