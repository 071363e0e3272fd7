#include "cli/live_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "support/frame_bytes.h"
#include "link/connection/baud_settings.h"
#include "live_rig.h"
#include "sim/sample_capture.h"

namespace vexa::clitest {
namespace {

using sim::Protocol;

int CountLinesStartingWith(const std::string& text, const std::string& start) {
    int count = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        if (text.compare(at, start.size(), start) == 0) ++count;
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return count;
}

struct AutoCase {
    const char* legend;
    Protocol protocol;
    int baud;
    int ticksToConnect;
    const char* statusLines;
    friend void PrintTo(const AutoCase& c, std::ostream* os) { *os << c.legend; }
};

class AutoBaud : public ::testing::TestWithParam<AutoCase> {};

// Every position of the automatic detection list: five ticks for each rate before it, then the
// first tick at the receiver's rate finds it.
TEST_P(AutoBaud, FindsTheReceiverAfterTheRatesBeforeIt) {
    const AutoCase& c = GetParam();
    LiveRig rig(Receiver(c.protocol, c.baud));
    rig.session->Connect(rig.simulator->slavePath(), "Auto");
    EXPECT_EQ(rig.TicksUntilAttemptEnds(c.baud), c.ticksToConnect);
    EXPECT_EQ(rig.session->Controller().BaudSetting(), c.baud);
    EXPECT_TRUE(rig.session->ReceiverFound());
    EXPECT_EQ(rig.err.text(), c.statusLines);
}

INSTANTIATE_TEST_SUITE_P(
    EachPosition, AutoBaud,
    ::testing::Values(
        AutoCase{"Binary57600", Protocol::Binary, 57600, 1,
                 "Please wait... testing 57600 baud\nConnected (Vexa Binary)\n"},
        AutoCase{"Nmea38400", Protocol::Nmea, 38400, 6,
                 "Please wait... testing 57600 baud\nPlease wait... testing 38400 baud\nConnected (NMEA)\n"},
        AutoCase{"Nmea4800", Protocol::Nmea, 4800, 11,
                 "Please wait... testing 57600 baud\nPlease wait... testing 38400 baud\n"
                 "Please wait... testing 4800 baud\nConnected (NMEA)\n"},
        AutoCase{"Binary19200", Protocol::Binary, 19200, 16,
                 "Please wait... testing 57600 baud\nPlease wait... testing 38400 baud\n"
                 "Please wait... testing 4800 baud\nPlease wait... testing 19200 baud\nConnected (Vexa Binary)\n"},
        AutoCase{"Nmea9600", Protocol::Nmea, 9600, 21,
                 "Please wait... testing 57600 baud\nPlease wait... testing 38400 baud\n"
                 "Please wait... testing 4800 baud\nPlease wait... testing 19200 baud\n"
                 "Please wait... testing 9600 baud\nConnected (NMEA)\n"},
        AutoCase{"Binary115200", Protocol::Binary, 115200, 26,
                 "Please wait... testing 57600 baud\nPlease wait... testing 38400 baud\n"
                 "Please wait... testing 4800 baud\nPlease wait... testing 19200 baud\n"
                 "Please wait... testing 9600 baud\nPlease wait... testing 115200 baud\n"
                 "Connected (Vexa Binary)\n"}),
    [](const auto& info) { return std::string(info.param.legend); });

TEST(LiveSession, AFixedWrongRateEndsNotConnectedAfterFiveTicksAndIsTriedAgain) {
    LiveRig rig(Receiver(Protocol::Binary, 57600));
    rig.session->Connect(rig.simulator->slavePath(), "9600");
    for (int tick = 1; tick <= 4; ++tick) {
        rig.Second(false);
        EXPECT_TRUE(rig.session->Controller().Testing()) << tick;
    }
    rig.Second(false);
    EXPECT_FALSE(rig.session->Controller().Testing());
    EXPECT_TRUE(rig.session->Recovery().Recovering()) << "looked for again, as a lost receiver is";
    EXPECT_FALSE(rig.session->ReceiverFound());
    rig.session->Tick();
    EXPECT_TRUE(rig.session->Comm().PortOpen()) << "the next attempt starts at the next tick";
    EXPECT_EQ(rig.err.text(), "Please wait...\nNot connected\n");
    EXPECT_EQ(rig.out.text(), "");
}

TEST(LiveSession, APortThatCannotBeOpenedEndsNotConnectedAtOnce) {
    LiveRig rig(Receiver(Protocol::Binary, 57600));
    const std::string missing = ::testing::TempDir() + "no-such-port";
    rig.session->Connect(missing, "Auto");
    EXPECT_TRUE(rig.session->BetweenAttempts());
    // The ports listed after the reason are this machine's.
    const std::string errors = rig.err.text();
    EXPECT_TRUE(errors.starts_with("Could not open specified port. \n" + missing + ": No such file or directory.\n"))
        << errors;
    EXPECT_TRUE(errors.ends_with("\nNot connected\n")) << errors;
}

TEST(LiveSession, TheProtocolSwitchesAreFollowedAtTheirNewRates) {
    LiveRig rig(Receiver(Protocol::Binary, 57600));
    rig.ConnectAt("57600");
    ASSERT_EQ(rig.session->Context().LinkProtocol, kBinaryProtocol);

    rig.session->Queue(Request("switch-protocol"));
    EXPECT_EQ(rig.simulator->protocol(), Protocol::Nmea);
    EXPECT_EQ(rig.simulator->baud(), 4800);
    EXPECT_TRUE(rig.err.text().ends_with("Connected (Vexa Binary)\nNot connected\n"));
    rig.simulator->advance(1s);
    ASSERT_TRUE(rig.Await([&] { return rig.session->Context().LinkProtocol == kNmeaProtocol; }));
    // The status line is printed when the session handles the reader's notice, a moment after.
    EXPECT_TRUE(rig.Await([&] { return rig.err.text().ends_with("Not connected\nConnected (NMEA)\n"); })) << rig.err.text();

    // Sentences read just before the switch back may still announce NMEA for a moment.
    rig.session->Queue(Request("switch-protocol"));
    EXPECT_EQ(rig.simulator->protocol(), Protocol::Binary);
    EXPECT_EQ(rig.simulator->baud(), 57600);
    rig.simulator->advance(1s);
    ASSERT_TRUE(rig.Await([&] { return rig.session->Context().LinkProtocol == kBinaryProtocol; }));
    EXPECT_TRUE(rig.Await([&] { return rig.err.text().ends_with("Connected (Vexa Binary)\n"); })) << rig.err.text();
    EXPECT_GT(CountLinesStartingWith(rig.out.text(), "$GPGGA,"), 0);
}

TEST(LiveSession, CommandsAfterASwitchWaitForTheReceiverAndNeedTheBinaryProtocol) {
    LiveRig rig(Receiver(Protocol::Binary, 57600));
    rig.session->Queue(Request("switch-protocol"));
    rig.session->Queue(Request("poll-version"));
    rig.ConnectAt("57600");
    EXPECT_EQ(rig.simulator->protocol(), Protocol::Nmea);
    rig.simulator->advance(1s);
    ASSERT_TRUE(rig.AwaitConnected());
    EXPECT_EQ(rig.session->Context().LinkProtocol, kNmeaProtocol);
    EXPECT_TRUE(rig.Await([&] {
        return rig.err.text().find("vexademo-cli: poll-version not sent: the receiver talks NMEA\n") != std::string::npos;
    })) << rig.err.text();
}

TEST(LiveSession, ACommandQueuedBeforeTheReceiverIsFoundGoesOutOnceItIs) {
    LiveRig rig(Receiver(Protocol::Binary, 57600));
    rig.session->Queue(Request("poll-version"));
    rig.session->Connect(rig.simulator->slavePath(), "Auto");
    rig.simulator->advance(1s);
    ASSERT_TRUE(rig.AwaitConnected());
    EXPECT_EQ(rig.simulator->bytesReceived(), 0u) << "nothing is sent while the attempt is watched";
    rig.session->Tick();
    rig.LetReceiverRead(FrameBytes(SoftwareVersionPoll()));
    rig.simulator->advance(100ms);
    EXPECT_TRUE(rig.Await([&] { return rig.out.text().find("\nVexaSim 1.0 Kestrel simulated receiver\n") != std::string::npos; }));
}

TEST(LiveSession, PollAnswersArePrintedAsTheirMessageBoxTexts) {
    LiveRig rig(Receiver(Protocol::Binary, 115200));
    rig.ConnectAt("115200");
    rig.session->Queue(Request("poll-clock"));
    rig.LetReceiverRead(FrameBytes(ClockStatusPoll()));
    rig.simulator->advance(100ms);
    const std::regex clockLines(
        "\nGPS week = \\d+\nGPS time = \\d+\\.\\d\\d s\nsv cnt = \\d+\nclk offset = \\d+ Hz\nclk bias = \\d+ ns\n"
        "est. time = \\d+\\.\\d\\d\\d s\n");
    EXPECT_TRUE(rig.Await([&] { return std::regex_search(rig.out.text(), clockLines); })) << rig.out.text();
    EXPECT_EQ(CountLinesStartingWith(rig.out.text(), "GPS week = "), 1);
}

TEST(LiveSession, AColdStartClearsTheTimeToFirstFixUntilTheReceiverReportsItAgain) {
    LiveRig rig(Receiver(Protocol::Binary, 57600));
    rig.ConnectAt("57600");
    rig.simulator->advance(1s);
    ASSERT_TRUE(rig.Await([&] { return !rig.session->Context().Ttff.text().empty(); }));
    EXPECT_EQ(rig.session->Context().Ttff.text(), "1.0 sec");

    rig.session->Queue(Request("cold-start"));
    EXPECT_EQ(rig.session->Context().Ttff.text(), "");
    rig.LetReceiverRead(FrameBytes(ResetCommand(ResetKind::Cold, rig.session->Context())));
    int seconds = 0;
    while (rig.session->Context().Ttff.text().empty() && seconds < 10) {
        rig.simulator->advance(1s);
        ++seconds;
        ASSERT_TRUE(rig.AwaitAllRead());
    }
    // Three seconds to the fix; each second's output goes out on the line during the next one.
    EXPECT_EQ(seconds, 4);
    EXPECT_EQ(rig.session->Context().Ttff.text(), "3.0 sec");
    EXPECT_TRUE(rig.Await([&] { return CountLinesStartingWith(rig.out.text(), "225,6,") == 2; })) << rig.out.text();
}

TEST(LiveSession, CommandsAreHeldWhileTheReceiverSleepsUnderTimedPower) {
    LiveRig rig(Receiver(Protocol::Binary, 115200));
    rig.ConnectAt("115200");
    rig.session->Queue(Request("power=timed,200,5"));
    const auto power = PowerManagementCommands(Request("power=timed,200,5").power);
    const std::size_t powerBytes = FrameBytes(power[0]) + FrameBytes(power[1]);
    rig.LetReceiverRead(powerBytes);

    // Runs whole seconds until the receiver has said `okToSend` `times` times; gives the seconds.
    const auto secondsUntil = [&](const std::string& okToSend, int times) {
        int seconds = 0;
        while (CountLinesStartingWith(rig.out.text(), okToSend) < times && seconds < 12) {
            EXPECT_EQ(rig.simulator->bytesReceived(), powerBytes) << "nothing reaches the receiver meanwhile";
            rig.simulator->advance(1s);
            EXPECT_TRUE(rig.AwaitAllRead());
            rig.session->HandleNotifications(0ms);
            ++seconds;
        }
        return seconds;
    };
    EXPECT_LT(secondsUntil("OkToSend: 0", 1), 12);

    rig.session->Queue(Request("poll-version"));
    EXPECT_EQ(rig.session->Comm().PendingOutputCount(), FrameBytes(SoftwareVersionPoll()));
    EXPECT_EQ(secondsUntil("OkToSend: 1", 2), 5) << "held for the whole period of five seconds";

    rig.LetReceiverRead(FrameBytes(SoftwareVersionPoll()));
    EXPECT_EQ(rig.session->Comm().PendingOutputCount(), 0u);
    rig.simulator->advance(100ms);
    EXPECT_TRUE(rig.Await([&] { return rig.out.text().find("\nVexaSim 1.0 Kestrel simulated receiver\n") != std::string::npos; }));
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
        lines.push_back(text.substr(at, end - at));
    }
    return lines;
}

bool IsSubsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    std::size_t next = 0;
    for (const std::string& line : whole) {
        if (next < part.size() && line == part[next]) ++next;
    }
    return next == part.size();
}

struct DamageRun {
    DecodeCounts counts;
    std::uint64_t damaged = 0;
    std::vector<std::string> lines;
};

DamageRun RunWithDamage(double probability) {
    LiveRig rig(Receiver(Protocol::Binary, 57600, probability));
    rig.ConnectAt("57600");
    // Whole seconds and then the line time of the last one, so that all that was damaged was sent.
    rig.simulator->advance(30500ms);
    EXPECT_TRUE(rig.AwaitAllRead());
    rig.session->HandleNotifications(0ms);
    return DamageRun{rig.session->Counts(), rig.simulator->messagesDamaged(), Lines(rig.out.text())};
}

// The same receiver twice, once with a share of its frames damaged on the line: exactly the
// damaged frames are dropped and counted, and every other one arrives as it was sent.
TEST(LiveSession, DamagedFramesAreDroppedAndCountedAndTheRestDelivered) {
    const DamageRun intact = RunWithDamage(0);
    const DamageRun damaged = RunWithDamage(0.3);
    EXPECT_EQ(intact.counts.dropped, 0u);
    EXPECT_GT(damaged.damaged, 20u);
    EXPECT_EQ(damaged.counts.dropped, damaged.damaged);
    EXPECT_EQ(damaged.counts.drops.total(), damaged.damaged);
    EXPECT_EQ(damaged.counts.frames + damaged.damaged, intact.counts.frames);
    EXPECT_LT(damaged.lines.size(), intact.lines.size());
    EXPECT_TRUE(IsSubsequence(damaged.lines, intact.lines));
}

TEST(LiveSession, AReceiverThatVanishesLeavesTheSessionAbleToConnectAgain) {
    LiveRig rig(Receiver(Protocol::Binary, 57600));
    rig.ConnectAt("57600");
    rig.ReplaceReceiver(Receiver(Protocol::Nmea, 4800));
    for (int tick = 0; tick < 3; ++tick) {
        rig.session->Tick();
        rig.session->HandleNotifications(10ms);
    }
    EXPECT_FALSE(rig.session->StopRequested());

    rig.session->Connect(rig.simulator->slavePath(), "Auto");
    EXPECT_EQ(rig.TicksUntilAttemptEnds(4800), 11);
    EXPECT_EQ(rig.session->Context().LinkProtocol, kNmeaProtocol);
    EXPECT_EQ(CountLinesStartingWith(rig.err.text(), "Connected"), 2);
    rig.simulator->advance(1s);
    const std::size_t before = rig.out.text().size();
    EXPECT_TRUE(rig.Await([&] { return rig.out.text().size() > before; }));
}

// The receiver is reached through a fixed link name (as vexasim --link or a udev rule gives one).
// It goes away mid-stream and a receiver appears again under the same name on another pty.
TEST(LiveSession, AReceiverThatGoesAwayIsReportedAndFoundAgainUnderItsLinkName) {
    const std::string linkName = ::testing::TempDir() + "live_session_receiver_link";
    std::filesystem::remove(linkName);
    LiveRig rig(Receiver(Protocol::Binary, 57600));
    std::filesystem::create_symlink(rig.simulator->slavePath(), linkName);
    rig.session->Connect(linkName, "Auto");
    rig.Second(true);
    ASSERT_FALSE(rig.session->Controller().Testing());

    rig.simulator->advance(500ms);
    std::filesystem::remove(linkName);
    rig.ReplaceReceiver(Receiver(Protocol::Binary, 38400));
    EXPECT_TRUE(rig.Await([&] { return rig.err.text().ends_with("Not connected\n"); })) << rig.err.text();
    EXPECT_EQ(rig.session->Context().LinkProtocol, kNotConnected);
    EXPECT_TRUE(rig.session->Recovery().Recovering());
    rig.session->Tick();
    rig.session->Tick();
    EXPECT_FALSE(rig.session->Comm().PortOpen()) << "nothing behind the link name yet";

    std::filesystem::create_symlink(rig.simulator->slavePath(), linkName);
    // Found automatically at its new rate: five silent ticks at 57600, then 38400.
    // The first tick opens the port at 57600, the sixth moves it to 38400.
    int ticks = 0;
    while (rig.session->Recovery().Recovering() && ticks < 20) {
        rig.Second(ticks == 6);
        ++ticks;
    }
    EXPECT_EQ(ticks, 7);
    EXPECT_FALSE(rig.session->Recovery().Recovering());
    EXPECT_EQ(rig.session->Context().LinkProtocol, kBinaryProtocol);
    EXPECT_EQ(CountLinesStartingWith(rig.err.text(), "Connected (Vexa Binary)"), 2) << rig.err.text();
    EXPECT_FALSE(rig.session->BetweenAttempts());
    std::filesystem::remove(linkName);
}

// A receiver that sends a frame of an id nobody knows, played from a capture: with --unknown its line
// comes where it was received, it is counted by id, and the fixes before it make the track.
TEST(LiveSession, UnknownIdsAreShownAndTheFixesMakeATrack) {
    const std::string capture = ::testing::TempDir() + "live_session_unknown.bin";
    const std::string gpx = ::testing::TempDir() + "live_session_track.gpx";
    {
        std::vector<std::uint8_t> bytes = MakeSampleCapture();
        const test::Bytes unknown = test::Frame(test::Bytes{77, 0x01, 0xA2});
        bytes.insert(bytes.end(), unknown.begin(), unknown.end());
        std::FILE* file = std::fopen(capture.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    sim::SimulatorOptions options = Receiver(Protocol::Binary, 57600);
    options.replayPath = capture;
    LiveRig rig(options, kKestrel, true);
    rig.ConnectAt("57600");
    // A second at a time, each read whole, until the capture has been played.
    for (int second = 0; second < 10; ++second) {
        rig.simulator->advance(1s);
        ASSERT_TRUE(rig.AwaitAllRead());
    }
    rig.session->HandleNotifications(0ms);
    EXPECT_TRUE(rig.out.text().ends_with("\nUnknown MID 77, 2 bytes: 01 A2\n")) << rig.out.text().substr(0, 200);
    EXPECT_EQ(rig.session->Counts().drops.unknownIds(), (std::map<int, std::uint64_t>{{77, 1}}));

    EXPECT_EQ(rig.session->ExportTrack(gpx), "");
    std::FILE* file = std::fopen(gpx.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::string text(1 << 20, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    EXPECT_GT(CountLinesStartingWith(text, "      <trkpt lat=\"37.38"), 100);
    EXPECT_NE(rig.session->ExportTrack("/nonexistent-folder/t.gpx").find("does not exist"), std::string::npos);
    std::remove(capture.c_str());
    std::remove(gpx.c_str());
}

TEST(LiveSession, FinishClosesTheDataLogAndReportsTheCounts) {
    const std::string path = ::testing::TempDir() + "live_session_log.gps";
    LiveRig rig(Receiver(Protocol::Binary, 57600));
    ASSERT_TRUE(rig.session->OpenLog(path));
    rig.ConnectAt("57600");
    ASSERT_TRUE(rig.AwaitAllRead());
    rig.session->Finish();
    EXPECT_TRUE(std::regex_search(rig.err.text(), std::regex("\nbytes [1-9]\\d*, frames [1-9]\\d*, sentences 0, dropped 0\n$")))
        << rig.err.text();
    std::FILE* log = std::fopen(path.c_str(), "rb");
    ASSERT_NE(log, nullptr);
    std::string text(1 << 16, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), log));
    std::fclose(log);
    std::remove(path.c_str());
    EXPECT_TRUE(text.starts_with("VexaDemoPPC Version 1.02 log file opened ")) << text.substr(0, 80);
    EXPECT_NE(text.find("\r\n2,"), std::string::npos);
    EXPECT_TRUE(std::regex_search(text, std::regex("\r\nLog file closed [^\r\n]+\r\n$")));
    EXPECT_FALSE(rig.session->OpenLog("/nonexistent-folder/log.gps"));
}

}  // namespace
}  // namespace vexa::clitest
