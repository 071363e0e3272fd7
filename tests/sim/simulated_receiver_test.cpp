#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/result_codes.h"
#include "receiver/binary/coordinate_conversion.h"
#include "receiver/binary/decoder.h"
#include "receiver/nmea/nmea_checksum.h"
#include "receiver/binary/records.h"
#include "sim/simulated_receiver.h"
#include "sim_test_support.h"

namespace vexa::sim {
namespace {

using simtest::CommandFrame;
using simtest::Parse;

// Collects the receiver's output, decoded the way the program decodes it.
class Capture : public ReceiverOutput {
public:
    struct Message {
        std::int64_t second;
        int id;
        std::vector<std::uint8_t> record;
    };

    void send(std::vector<std::uint8_t> message) override {
        const auto received = Parse(message);
        for (const std::string& sentence : received.sentences) sentences.push_back({second, sentence});
        for (const auto& payload : received.frames) {
            RecordBuffer record;
            const DecodeResult result = DecodeMessage(payload, record, context);
            ASSERT_EQ(result.code, kResultOk) << "message " << int(payload[0]) << " of " << payload.size() << " bytes";
            messages.push_back({second, result.id, {record.bytes, record.bytes + result.recordLength}});
        }
        ASSERT_EQ(received.frames.size() + received.sentences.size(), 1u) << "one frame or sentence per message";
    }
    void changeLine(Protocol protocol, int baud) override { lines.push_back({protocol, baud}); }

    std::vector<Message> of(int id) const {
        std::vector<Message> found;
        for (const Message& message : messages) {
            if (message.id == id) found.push_back(message);
        }
        return found;
    }
    std::vector<int> idsAt(std::int64_t at) const {
        std::vector<int> ids;
        for (const Message& message : messages) {
            if (message.second == at) ids.push_back(message.id);
        }
        return ids;
    }
    template <class Record>
    static Record As(const Message& message) {
        Record record;
        std::memcpy(&record, message.record.data(), sizeof record);
        return record;
    }

    std::int64_t second = 0;
    ReceiverContext context;
    std::vector<Message> messages;
    std::vector<std::pair<std::int64_t, std::string>> sentences;
    std::vector<std::pair<Protocol, int>> lines;
};

class SimulatedReceiverTest : public ::testing::Test {
protected:
    SimulatedReceiverTest() : receiver_(Config(), capture_) {}

    static ReceiverConfig Config() {
        ReceiverConfig config;
        config.timesToFirstFix = {1, 3, 6, 9};
        config.startUnixSeconds = 1.7e9;
        config.seed = 21;
        return config;
    }

    void runUntil(std::int64_t last) {
        for (; next_ <= last; ++next_) {
            capture_.second = next_;
            receiver_.outputEpoch(next_);
        }
    }
    void command(const std::vector<std::uint8_t>& frame, double at) {
        const auto received = Parse(frame);
        ASSERT_EQ(received.frames.size(), 1u);
        capture_.second = next_ - 1;
        receiver_.onFrame(received.frames[0], at);
    }
    template <class Block>
    void command(MessageId id, const Block& block, double at) {
        command(CommandFrame(id, block), at);
    }

    Capture capture_;
    SimulatedReceiver receiver_;
    std::int64_t next_ = 0;
};

int FixType(const Capture::Message& navigation) {
    return Capture::As<NavData>(navigation).Mode1 & 0x07;
}

TEST_F(SimulatedReceiverTest, EachSecondCarriesNavigationTrackerGeodeticAndThroughput) {
    runUntil(20);
    for (std::int64_t second = 0; second <= 20; ++second) {
        std::vector<int> expected{2, 4, 41, 9};
        if (second % 10 == 0) expected.push_back(13);
        if (second == 1) expected.push_back(225);  // power-on counts as a hot start
        EXPECT_EQ(capture_.idsAt(second), expected) << "second " << second;
    }
    // The ECEF and the geodetic solution describe the same place and motion, as the program converts them.
    const auto geodetic = capture_.of(41);
    const auto navigation = capture_.of(2);
    for (std::size_t i = 2; i < navigation.size(); ++i) {
        const auto nav = Capture::As<NavData>(navigation[i]);
        const auto geo = Capture::As<GeoNavData>(geodetic[i]);
        ASSERT_EQ(FixType(navigation[i]), 4);
        double latitude, longitude, altitude, speed, heading;
        NavToGeodetic(nav, &latitude, &longitude, &altitude, &speed, &heading);
        EXPECT_NEAR(latitude, geo.Latitude * 1e-7, 1e-5);
        EXPECT_NEAR(longitude, geo.Longitude * 1e-7, 1e-5);
        EXPECT_NEAR(altitude, geo.AltitudeEllipsoid * 0.01, 1.5);
        EXPECT_NEAR(speed, geo.SpeedOverGround * 0.01, 0.15);
        EXPECT_NEAR(speed, 1.5, 0.3);
        EXPECT_NEAR(std::remainder(heading - geo.CourseOverGround * 0.01, 360.0), 0.0, 8.0);
        EXPECT_EQ(geo.SvCount, nav.SvCount);
    }
    const auto tracker = Capture::As<TrackData>(capture_.of(4).back());
    EXPECT_EQ(tracker.ChannelCount, 12);
    for (const TrackChannel& channel : tracker.Channels) {
        EXPECT_NE(channel.Prn, 0);
        EXPECT_TRUE(channel.State & 0x33);
        EXPECT_LE(channel.Elevation, 180);
        EXPECT_LT(channel.Azimuth, 240);
        for (int cn0 : channel.Cn0) {
            EXPECT_GE(cn0, 30);
            EXPECT_LE(cn0, 50);
        }
    }
}

struct ResetCase {
    ResetKind kind;
    double timeToFirstFix;
};

TEST_F(SimulatedReceiverTest, ResetsLoseTheFixUntilTheirTimeToFirstFix) {
    runUntil(5);
    for (const ResetCase test : {ResetCase{ResetKind::Hot, 1}, ResetCase{ResetKind::Warm, 3},
                                 ResetCase{ResetKind::Cold, 6}, ResetCase{ResetKind::Factory, 9}}) {
        const double resetAt = static_cast<double>(next_) - 0.5;
        command(CommandFrame(ResetCommand(test.kind, capture_.context)), resetAt);
        const std::size_t before = capture_.messages.size();
        runUntil(next_ + 12);
        std::optional<double> fixBack;
        int ttffReports = 0;
        for (std::size_t i = before; i < capture_.messages.size(); ++i) {
            const auto& message = capture_.messages[i];
            if (message.id == 2 && FixType(message) != 0 && !fixBack) fixBack = message.second - resetAt;
            if (message.id == 225) {
                ++ttffReports;
                EXPECT_EQ(Capture::As<TtffReport>(message).TimeToFirstFix,
                          static_cast<int>(std::lround((message.second - resetAt) * 10)));
            }
        }
        ASSERT_TRUE(fixBack) << int(test.kind);
        EXPECT_GE(*fixBack, test.timeToFirstFix);
        EXPECT_LT(*fixBack, test.timeToFirstFix + 1.0);
        EXPECT_EQ(ttffReports, 1);
    }
}

TEST_F(SimulatedReceiverTest, PollsAreAnswered) {
    runUntil(2);
    command(CommandFrame(SoftwareVersionPoll()), 2.2);
    command(CommandFrame(ClockStatusPoll()), 2.4);
    const auto version = capture_.of(6);
    ASSERT_EQ(version.size(), 1u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(version[0].record.data())),
              "VexaSim 1.0 Kestrel simulated receiver");
    const auto clock = capture_.of(7);
    ASSERT_EQ(clock.size(), 1u);
    const auto status = Capture::As<ClockStatus>(clock[0]);
    EXPECT_EQ(status.Week, Capture::As<NavData>(capture_.of(2).back()).Week);
    EXPECT_EQ(status.TOW, Capture::As<NavData>(capture_.of(2).back()).Tow + 40);
}

// The seventh word after the first 18 characters of a report line is the time to first fix.
std::string SeventhWord(const std::string& line) {
    std::istringstream words(line.substr(18));
    std::string word;
    for (int i = 0; i < 7; ++i) words >> word;
    return word;
}

TEST_F(SimulatedReceiverTest, DevelopmentTextWhileEnabledWithTheTimeToFirstFixReport) {
    runUntil(2);
    EXPECT_TRUE(capture_.of(255).empty());
    command(CommandFrame(DebugOutputToggle(capture_.context)), 2.5);
    command(CommandFrame(ResetCommand(ResetKind::Cold, capture_.context)), 2.5);
    runUntil(12);
    std::vector<std::string> reports;
    for (const auto& message : capture_.of(255)) {
        const std::string line(message.record.begin(), message.record.end());
        if (line.starts_with("SpecCheck")) reports.push_back(line);
    }
    EXPECT_EQ(capture_.of(255).size(), 10u + reports.size());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(SeventhWord(reports[0]), "6.5");

    OutputRateBlock off{0, 255, 0};
    command(MessageId::OutputRate, off, 12.5);
    const std::size_t before = capture_.of(255).size();
    runUntil(15);
    EXPECT_EQ(capture_.of(255).size(), before);
}

TEST_F(SimulatedReceiverTest, NavigationLibraryMessagesWhileEnabled) {
    runUntil(2);
    for (const CommandMessage& toggle : NavLibOutputToggle(capture_.context)) command(CommandFrame(toggle), 2.5);
    runUntil(3);
    const auto ids = capture_.idsAt(3);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), 28), 12);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), 29), 1);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), 30), 12);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), 31), 1);
}

TEST_F(SimulatedReceiverTest, ElevationMaskTakesLowSatellitesOutOfTheFix) {
    runUntil(2);
    EXPECT_EQ(Capture::As<NavData>(capture_.of(2).back()).SvCount, 12);
    command(CommandFrame(*ElevationMaskCommand(5.0, 30.0)), 2.5);
    runUntil(3);
    const auto navigation = Capture::As<NavData>(capture_.of(2).back());
    const auto tracker = Capture::As<TrackData>(capture_.of(4).back());
    int used = 0;
    for (int channel = 0; channel < 12; ++channel) {
        const int elevation = tracker.Channels[channel].Elevation;  // half degrees
        const bool inFix = navigation.SvPrn[channel] == tracker.Channels[channel].Prn;
        used += inFix;
        if (elevation != 60) {
            EXPECT_EQ(inFix, elevation > 60) << channel;
        }
    }
    EXPECT_EQ(navigation.SvCount, used);
    EXPECT_LT(used, 12);
}

TEST_F(SimulatedReceiverTest, TimedPowerSleepsBetweenFixesAndSaysSoWithOkToSend) {
    runUntil(2);
    PowerSettings settings;
    settings.mode = PowerMode::TimedPower;
    settings.updateRateSeconds = 2;
    for (const CommandMessage& power : PowerManagementCommands(settings)) command(CommandFrame(power), 2.5);
    runUntil(7);
    EXPECT_EQ(capture_.idsAt(3), (std::vector<int>{2, 4, 41, 9, 18}));
    EXPECT_TRUE(capture_.idsAt(4).empty());
    EXPECT_EQ(capture_.idsAt(5), (std::vector<int>{18, 2, 4, 41, 9, 18}));
    EXPECT_TRUE(capture_.idsAt(6).empty());
    const auto okToSend = capture_.of(18);
    ASSERT_EQ(okToSend.size(), 5u);
    EXPECT_EQ(okToSend[0].record[0], 0);
    EXPECT_EQ(okToSend[1].record[0], 1);
    EXPECT_TRUE(Capture::As<NavData>(capture_.of(2).back()).Mode1 & 0x08);
}

TEST_F(SimulatedReceiverTest, SwitchesToNmeaAndBackOnlyOnAGoodSentence) {
    runUntil(1);
    command(CommandFrame(SwitchToNmeaCommand()), 1.5);
    ASSERT_EQ(capture_.lines, (std::vector<std::pair<Protocol, int>>{{Protocol::Nmea, 4800}}));
    EXPECT_EQ(receiver_.protocol(), Protocol::Nmea);
    const std::size_t binaryMessages = capture_.messages.size();
    runUntil(10);
    EXPECT_EQ(capture_.messages.size(), binaryMessages);
    std::map<std::string, int> counts;
    for (const auto& [second, sentence] : capture_.sentences) ++counts[sentence.substr(0, 6)];
    // The switch asks for GGA, GSA and RMC every second and GSV every five.
    EXPECT_EQ(counts, (std::map<std::string, int>{{"$GPGGA", 9}, {"$GPGSA", 9}, {"$GPGSV", 6}, {"$GPRMC", 9}}));

    command(CommandFrame(SoftwareVersionPoll()), 10.2);
    EXPECT_TRUE(capture_.of(6).empty()) << "no binary commands while speaking NMEA";

    const std::string good = *SwitchToBinarySentence(kKestrel);
    std::string bad = good;
    bad[bad.size() - 3] = bad[bad.size() - 3] == '0' ? '1' : '0';
    receiver_.onSentence(bad, 10.5);
    receiver_.onSentence(WithNmeaChecksum("$PVXA100,0,1200,8,1,0"), 10.5);
    EXPECT_EQ(capture_.lines.size(), 1u);
    receiver_.onSentence(good, 10.6);
    EXPECT_EQ(capture_.lines.back(), (std::pair<Protocol, int>{Protocol::Binary, 57600}));
    runUntil(11);
    EXPECT_EQ(capture_.idsAt(11), (std::vector<int>{2, 4, 41, 9}));
}

}  // namespace
}  // namespace vexa::sim
