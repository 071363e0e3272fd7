#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "link/connection/baud_settings.h"
#include "link/connection/connection_controller.h"
#include "platform/result_codes.h"
#include "scripted_link.h"

namespace vexa {
namespace {

using test::ScriptedLink;

const std::string kPort = "/dev/ttyUSB0";

class ConnectionControllerTest : public ::testing::Test {
protected:
    ConnectionController MakeController() {
        return ConnectionController(link_, context_,
                                    {[this](std::string_view text) { messages_.emplace_back(text); },
                                     [this](const std::string& port, int baud) {
                                         saved_.push_back(port + " " + std::to_string(baud));
                                     },
                                     [this] { ++settingsShown_; }, [this] { ++repaints_; }, {}},
                                    PortDiscoveryOptions{.sysfsRoot = "/nonexistent/sys", .extraPaths = {"/dev/ttyVexa3"}});
    }

    // A source without a line speed of its own, connected and heard once.
    ConnectionController HeardOnce(const std::string& source) {
        link_.baudChangeable = false;
        link_.receiverRate = 57600;
        link_.bytesReceived = 0;
        auto controller = MakeController();
        controller.Connect(source, "Auto");
        *link_.bytesReceived += 100;
        controller.Tick();
        return controller;
    }

    // Ticks until the attempt ends; the number of ticks it took.
    static int TicksUntilDone(ConnectionController& controller) {
        int ticks = 0;
        while (controller.Testing() && ticks < 100) {
            controller.Tick();
            ++ticks;
        }
        return ticks;
    }

    ReceiverContext context_;
    ScriptedLink link_{context_};
    std::vector<std::string> messages_;
    std::vector<std::string> saved_;
    int settingsShown_ = 0;
    int repaints_ = 0;
};

TEST_F(ConnectionControllerTest, AutoTriesEachRateForFiveTicksUntilOneAnswers) {
    auto controller = MakeController();
    for (std::size_t index = 0; index < kAutoBaudRates.size(); ++index) {
        link_.receiverRate = kAutoBaudRates[index];
        controller.Connect(kPort, "Auto");
        EXPECT_EQ(TicksUntilDone(controller), 5 * static_cast<int>(index) + 1) << kAutoBaudRates[index];
        EXPECT_EQ(controller.BaudSetting(), kAutoBaudRates[index]);
        EXPECT_EQ(saved_.back(), kPort + " " + std::to_string(kAutoBaudRates[index]));
    }
}

TEST_F(ConnectionControllerTest, AutoFindsA4800ReceiverAfter57600And38400) {
    link_.receiverRate = 4800;
    auto controller = MakeController();
    controller.Connect(kPort, "Auto");
    EXPECT_EQ(controller.Status().text, "Please wait... testing 57600 baud");
    for (int tick = 0; tick < 5; ++tick) controller.Tick();
    EXPECT_EQ(controller.Status().text, "Please wait... testing 38400 baud");
    EXPECT_EQ(TicksUntilDone(controller), 6);

    const std::vector<std::string> expected{"disconnect",   "connect " + kPort + " 57600", "disconnect",
                                            "connect " + kPort + " 38400", "disconnect",
                                            "connect " + kPort + " 4800"};
    EXPECT_EQ(link_.calls, expected);
    EXPECT_EQ(controller.BaudSetting(), 4800);
    EXPECT_EQ(settingsShown_, 1);
    EXPECT_EQ(controller.Status().text, "Connected (NMEA)");
    EXPECT_TRUE(messages_.empty());
}

TEST_F(ConnectionControllerTest, AutoKeepsARateForFourTicksAndStepsOnTheFifth) {
    auto controller = MakeController();
    controller.Connect(kPort, "Auto");
    for (const int rate : {57600, 38400}) {
        for (int tick = 1; tick <= 4; ++tick) {
            controller.Tick();
            EXPECT_EQ(link_.calls.back(), "connect " + kPort + " " + std::to_string(rate)) << tick;
            EXPECT_EQ(controller.TestTicks(), tick);
        }
        controller.Tick();
        EXPECT_EQ(link_.calls.end()[-2], "disconnect");
        EXPECT_NE(link_.calls.back(), "connect " + kPort + " " + std::to_string(rate));
        EXPECT_EQ(controller.TestTicks(), 0);
    }
    EXPECT_EQ(link_.calls.back(), "connect " + kPort + " 4800");
}

TEST_F(ConnectionControllerTest, AnAnswerInTheFifthSecondCountsForTheRateBeingTested) {
    auto controller = MakeController();
    controller.Connect(kPort, "Auto");
    for (int tick = 1; tick <= 4; ++tick) controller.Tick();
    context_.LinkProtocol = kNmeaProtocol;
    controller.Tick();
    EXPECT_FALSE(controller.Testing());
    EXPECT_EQ(controller.BaudSetting(), 57600);
    EXPECT_EQ(saved_, std::vector<std::string>{kPort + " 57600"});
}

// Five ticks for each of the nine rates, the high ones last.
TEST_F(ConnectionControllerTest, AutoWithoutReceiverGivesUpAfterEveryRate) {
    auto controller = MakeController();
    controller.Connect(kPort, "Auto");
    EXPECT_EQ(TicksUntilDone(controller), 45);
    EXPECT_EQ(controller.AutoBaudIndex(), 9);
    EXPECT_EQ(controller.BaudSetting(), kAutoBaud);
    EXPECT_EQ(link_.calls.back(), "disconnect");
    EXPECT_EQ(controller.Status(), (StatusLine{{255, 0, 0}, "Not connected", 75}));
    EXPECT_TRUE(saved_.empty());
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(repaints_, 46);  // the connect and every tick
}

TEST_F(ConnectionControllerTest, AutoStepsOverARateThatCannotBeOpened) {
    link_.receiverRate = 4800;
    link_.unopenableRate = 38400;
    auto controller = MakeController();
    controller.Connect(kPort, "Auto");
    EXPECT_EQ(TicksUntilDone(controller), 11);
    EXPECT_EQ(controller.BaudSetting(), 4800);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(ConnectionControllerTest, FrameDecodedWhileClosingIsNotCreditedToTheNextRate) {
    link_.frameArrivesWhileClosing = true;
    auto controller = MakeController();
    controller.Connect(kPort, "Auto");
    EXPECT_EQ(TicksUntilDone(controller), 45);
    EXPECT_EQ(context_.LinkProtocol, kNotConnected);
    EXPECT_TRUE(saved_.empty());
}

TEST_F(ConnectionControllerTest, FixedRateWithoutAnswerStopsAfterFiveTicks) {
    link_.receiverRate = 4800;
    auto controller = MakeController();
    controller.Connect(kPort, "9600");
    const int repaintsAfterConnect = repaints_;
    for (int tick = 1; tick <= 4; ++tick) {
        controller.Tick();
        EXPECT_TRUE(controller.Testing());
        EXPECT_EQ(controller.TestTicks(), tick);
    }
    EXPECT_EQ(repaints_, repaintsAfterConnect);  // waiting does not repaint
    controller.Tick();
    EXPECT_FALSE(controller.Testing());
    EXPECT_EQ(link_.calls.back(), "disconnect");
    EXPECT_EQ(controller.Status().text, "Not connected");
    EXPECT_TRUE(saved_.empty());
}

TEST_F(ConnectionControllerTest, FixedRateThatAnswersSavesTheSettings) {
    link_.receiverRate = 19200;
    link_.receiverProtocol = kBinaryProtocol;
    auto controller = MakeController();
    controller.Connect(kPort, "19200");
    controller.Tick();
    EXPECT_FALSE(controller.Testing());
    EXPECT_EQ(saved_, std::vector<std::string>{kPort + " 19200"});
    EXPECT_EQ(settingsShown_, 0);
    EXPECT_EQ(controller.Status().text, "Connected (Vexa Binary)");
}

TEST_F(ConnectionControllerTest, OspreyAlwaysConnectsAt57600) {
    context_.ProductSelection = kOsprey;
    link_.receiverRate = 57600;
    link_.receiverProtocol = kBinaryProtocol;
    auto controller = MakeController();
    for (const char* selection : {"", "Auto", "4800"}) {
        link_.calls.clear();
        controller.Connect(kPort, selection);
        EXPECT_EQ(link_.calls.back(), "connect " + kPort + " 57600") << selection;
        EXPECT_EQ(controller.BaudSetting(), 57600);
        EXPECT_EQ(TicksUntilDone(controller), 1);
        EXPECT_EQ(controller.Status().text, "Connected (VexaLoc)");
    }
}

TEST_F(ConnectionControllerTest, ButtonsOnlyAnswerPleaseWaitWhileTesting) {
    auto controller = MakeController();
    controller.Connect(kPort, "Auto");
    const std::size_t callsBefore = link_.calls.size();
    controller.Connect(kPort, "4800");
    controller.Disconnect();
    EXPECT_FALSE(controller.Done());
    EXPECT_EQ(messages_, std::vector<std::string>(3, "Please wait."));
    EXPECT_EQ(link_.calls.size(), callsBefore);
    EXPECT_TRUE(controller.Testing());
    TicksUntilDone(controller);
    EXPECT_TRUE(controller.Done());
}

TEST_F(ConnectionControllerTest, IncompleteSelectionsAreRefused) {
    auto controller = MakeController();
    controller.Connect("", "Auto");
    controller.Connect(kPort, "");
    controller.Connect(kPort, "1234");
    EXPECT_EQ(messages_, std::vector<std::string>(3, "Please enter all fields."));
    EXPECT_TRUE(link_.calls.empty());
}

TEST_F(ConnectionControllerTest, UnopenablePortIsReportedAndNotWatched) {
    link_.unopenableRate = ScriptedLink::kAnyRate;
    link_.connectError = ENOENT;
    context_.LinkProtocol = kNmeaProtocol;
    auto controller = MakeController();
    controller.Connect(kPort, "4800");
    EXPECT_EQ(messages_, std::vector<std::string>{"Could not open specified port. \n/dev/ttyUSB0: No such file or "
                                                  "directory.\nThe serial ports found:\n  /dev/ttyVexa3"});
    EXPECT_FALSE(controller.Testing());
    EXPECT_EQ(link_.calls.front(), "disconnect");  // the previous connection is closed first
    EXPECT_EQ(repaints_, 1);
    controller.Tick();
    EXPECT_EQ(controller.TestTicks(), 0);
    EXPECT_EQ(controller.Status().text, "Not connected");
}

// A network stream has no line speed: "Auto" watches for the protocol once, as a fixed rate does,
// and the setting stays "Auto" for the next time.
TEST_F(ConnectionControllerTest, ASourceWithoutLineSpeedIsOnlyWatchedForItsProtocol) {
    link_.baudChangeable = false;
    auto controller = MakeController();
    controller.Connect("tcp://gnss-box:4001", "Auto");
    EXPECT_EQ(controller.Status().text, "                Please wait...") << "no rate is being tested";
    EXPECT_EQ(TicksUntilDone(controller), 5);
    EXPECT_EQ(link_.calls, (std::vector<std::string>{"disconnect", "connect tcp://gnss-box:4001 57600", "disconnect"}));
    EXPECT_TRUE(saved_.empty());

    link_.calls.clear();
    link_.receiverRate = 57600;
    controller.Connect("tcp://gnss-box:4001", "Auto");
    EXPECT_EQ(TicksUntilDone(controller), 1);
    EXPECT_EQ(saved_, (std::vector<std::string>{"tcp://gnss-box:4001 0"}));
    EXPECT_EQ(settingsShown_, 0);
    EXPECT_EQ(controller.Status().text, "Connected (NMEA)");
}

TEST_F(ConnectionControllerTest, ASourceThatEndsWhileWatchedIsReportedWithItsReason) {
    link_.baudChangeable = false;
    auto controller = MakeController();
    controller.Connect("tcp://gnss-box:4001", "9600");
    controller.Tick();
    EXPECT_TRUE(controller.Testing());
    link_.endReason = "Connection refused by gnss-box:4001";
    controller.Tick();
    EXPECT_FALSE(controller.Testing()) << "no need to wait out the five ticks";
    EXPECT_EQ(messages_, (std::vector<std::string>{"Connection refused by gnss-box:4001"}));
    EXPECT_EQ(link_.calls.back(), "disconnect");
}

TEST_F(ConnectionControllerTest, ASourceThatCannotBeOpenedTellsItsOwnReason) {
    link_.baudChangeable = false;
    link_.unopenableRate = ScriptedLink::kAnyRate;
    link_.connectProblem = "gnss-box: the name does not resolve";
    auto controller = MakeController();
    controller.Connect("tcp://gnss-box:4001", "Auto");
    EXPECT_FALSE(controller.Testing());
    EXPECT_EQ(messages_, (std::vector<std::string>{"Could not open specified port. \ngnss-box: the name does not resolve"}));
}

// A network source that is not heard says why, whether it was never connected or went quiet; a serial
// port keeps its plain "Not connected".
TEST_F(ConnectionControllerTest, TheStatusOfASilentNetworkSourceSaysWhy) {
    struct Case {
        const char* legend;
        bool baudChangeable;
        bool bytesArrive;
        std::string endReason;
        std::string connectProblem;
        std::string status;
    };
    const std::string source = "tcp://gnss-box:4001";
    const Case cases[] = {
        {"silent server", false, false, "", "", "Not connected: No data from " + source + " for 5 s"},
        {"bytes but no protocol", false, true, "", "", "Not connected"},
        {"ended while watched", false, false, "Connection closed by gnss-box:4001", "",
         "Not connected: Connection closed by gnss-box:4001"},
        {"not reached", false, false, "", "Connection refused by gnss-box:4001",
         "Not connected: Connection refused by gnss-box:4001"},
        {"silent serial port", true, false, "", "", "Not connected"},
    };
    for (const Case& c : cases) {
        link_.baudChangeable = c.baudChangeable;
        link_.bytesReceived = 100;
        link_.endReason.clear();
        link_.connectProblem = c.connectProblem;
        link_.unopenableRate = c.connectProblem.empty() ? 0 : ScriptedLink::kAnyRate;
        auto controller = MakeController();
        controller.Connect(source, "9600");
        for (int tick = 0; tick < 5 && controller.Testing(); ++tick) {
            if (c.bytesArrive) *link_.bytesReceived += 10;
            if (tick == 2) link_.endReason = c.endReason;
            controller.Tick();
        }
        EXPECT_FALSE(controller.Testing()) << c.legend;
        EXPECT_EQ(controller.Status().text, c.status) << c.legend;
    }
}

TEST_F(ConnectionControllerTest, ANetworkSourceThatGoesQuietIsShownSoUntilBytesComeAgain) {
    auto controller = HeardOnce("tcp://gnss-box:4001");
    ASSERT_EQ(controller.Status().text, "Connected (NMEA)");
    for (int tick = 1; tick <= 4; ++tick) {
        controller.Tick();
        EXPECT_EQ(controller.Status().text, "Connected (NMEA)") << tick;
    }
    controller.Tick();
    EXPECT_EQ(controller.Status().text, "No data from tcp://gnss-box:4001 for 5 s");
    EXPECT_EQ(controller.Status().fill, (StatusColour{255, 255, 0}));
    *link_.bytesReceived += 1;
    controller.Tick();
    EXPECT_EQ(controller.Status().text, "Connected (NMEA)");
}

TEST_F(ConnectionControllerTest, APausedReplayIsNotShownQuietAndCountsItsQuietFromTheResume) {
    auto controller = HeardOnce("replay:/data/drive.nmea");
    link_.paused = true;
    for (int tick = 0; tick < 20; ++tick) controller.Tick();
    EXPECT_EQ(controller.Status().text, "Connected (NMEA)");
    link_.paused = false;
    for (int tick = 1; tick <= 4; ++tick) controller.Tick();
    EXPECT_EQ(controller.Status().text, "Connected (NMEA)");
    controller.Tick();
    EXPECT_EQ(controller.Status().text, "No data from replay:/data/drive.nmea for 5 s");
}

TEST_F(ConnectionControllerTest, ConnectAndDisconnectRestartTheToggleCounters) {
    auto controller = MakeController();
    for (const bool connect : {true, false}) {
        context_.LinkProtocol = kBinaryProtocol;
        context_.DebugToggleCount = context_.NavLibToggleCount = context_.NmeaChannelCount = 0;
        connect ? controller.Connect(kPort, "4800") : controller.Disconnect();
        TicksUntilDone(controller);
        EXPECT_EQ(context_.LinkProtocol, kNotConnected);
        EXPECT_EQ(context_.DebugToggleCount, 10);
        EXPECT_EQ(context_.NavLibToggleCount, 20);
        EXPECT_EQ(context_.NmeaChannelCount, 5);
    }
}

TEST(ConnectionStatus, ShowsEveryConditionOfTheStatusLine) {
    const StatusColour yellow{255, 255, 0};
    const StatusColour green{0, 255, 0};
    const StatusColour red{255, 0, 0};
    struct Case {
        ConnectionState state;
        StatusLine expected;
    };
    const Case cases[] = {
        {{true, kAutoBaud, 0, kNotConnected, kKestrel}, {yellow, "Please wait... testing 57600 baud", 25}},
        {{true, kAutoBaud, 5, kNotConnected, kMerlin}, {yellow, "Please wait... testing 115200 baud", 25}},
        {{true, 4800, 3, kNmeaProtocol, kKestrel}, {yellow, "                Please wait...", 25}},
        {{false, 4800, 0, kBinaryProtocol, kKestrel}, {green, "Connected (Vexa Binary)", 50}},
        {{false, 4800, 0, kBinaryProtocol, kMerlin}, {green, "Connected (Vexa Binary)", 50}},
        {{false, 57600, 0, kBinaryProtocol, kOsprey}, {green, "Connected (VexaLoc)", 55}},
        {{false, 57600, 0, kBinaryProtocol, kHarrier}, {green, "", 0}},
        {{false, 57600, 0, kBinaryProtocol, kVexaLoc}, {green, "", 0}},
        {{false, kAutoBaud, 2, kNmeaProtocol, kOsprey}, {green, "Connected (NMEA)", 65}},
        {{false, kAutoBaud, 6, kNotConnected, kKestrel}, {red, "Not connected", 75}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StatusLineFor(c.state), c.expected) << c.expected.text;
    }
}

TEST(BaudSettings, ComboEntriesFollowTheProductAndReadBack) {
    const BaudComboContent kestrel = BaudComboForProduct(kKestrel);
    EXPECT_EQ(kestrel.visibility, BaudComboVisibility::kShown);
    EXPECT_EQ(std::vector<std::string_view>(kestrel.entries.begin(), kestrel.entries.end()),
              (std::vector<std::string_view>{"Auto", "4800", "9600", "19200", "38400", "57600", "115200", "230400",
                                             "460800", "921600"}));
    for (std::string_view entry : kestrel.entries) {
        const std::optional<int> setting = ParseBaudSelection(entry);
        ASSERT_TRUE(setting) << entry;
        EXPECT_EQ(BaudSettingText(*setting), entry);
    }
    for (std::string_view unusable : {"", "auto", "1234", "4800 ", "+4800", "0", "99999999999"}) {
        EXPECT_FALSE(ParseBaudSelection(unusable)) << unusable;
    }
    EXPECT_EQ(BaudComboForProduct(kMerlin).entries.size(), kestrel.entries.size());
    EXPECT_EQ(BaudComboForProduct(kOsprey).visibility, BaudComboVisibility::kHidden);
    EXPECT_EQ(BaudComboForProduct(kVexaLoc).visibility, BaudComboVisibility::kUnchanged);
    EXPECT_TRUE(BaudComboForProduct(kHarrier).entries.empty());
}

}  // namespace
}  // namespace vexa
