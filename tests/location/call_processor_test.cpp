#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "support/client_harness.h"
#include "location/session/call_processor.h"

namespace vexa {
namespace {

using test::aidingBlock;
using test::aidingFrame;
using test::Bytes;
using test::ClientHarness;
using test::positionAnswer;

constexpr std::uint8_t kF = 0x02;
constexpr std::uint8_t kAi3 = 0x01;
constexpr std::uint8_t kRequest = 1;
constexpr std::uint8_t kAck = 3;
constexpr std::uint8_t kCloseRequest = 1;
constexpr std::uint8_t kTimeTransfer = 17;
constexpr std::uint8_t kReject = 21;
constexpr std::uint8_t kEndTest = 6;
constexpr std::uint8_t kHwConfig = 16;
constexpr char kR = ClientHarness::kToReceiver;
constexpr char kS = ClientHarness::kToServer;

// The receiver opens its session: the client asks for a position.
void openReceiverSession(ClientHarness& harness) { harness.fromReceiver({kF, 0, 0}); }

ClientProfile networkProfile() {
    ClientProfile profile;
    profile.hostAiding = 0;
    return profile;
}

// A network session whose server is ready and has brought orbit data and time; true once the client
// has ended its test.
bool aidedByTheServer(ClientHarness& harness) {
    harness.client().startNetworkSession();
    harness.fromServer(8, {0});
    harness.fromServer(3, aidingBlock(true, true));
    return harness.awaitServerFrames(kEndTest);
}

// Whether the 59-byte orbit record of satellite 5 sits in the (single-fragment) position request.
bool requestCarriesOrbit(const Bytes& fragment) {
    Bytes payload;
    const Bytes blocks(fragment.begin() + 8, fragment.end() - 4);
    if (!decodeRunLength(blocks, payload, 4000)) return false;
    return payload.size() == 3227 && payload[19 + 5 * 60] == 1 && payload[19 + 5 * 60 + 1] == 5;
}

TEST(CallProcessor, AutonomousSessionEndsAfterItsFix) {
    ClientHarness harness;
    ASSERT_TRUE(harness.created());
    ASSERT_TRUE(harness.client().startNetworkSession());
    ASSERT_TRUE(harness.awaitText(status::kStartAutonomous));
    ASSERT_TRUE(harness.awaitReceiverFrames(kF, 22));  // the reset
    openReceiverSession(harness);
    ASSERT_TRUE(harness.awaitText(status::kWaitingAutonomous));
    ASSERT_TRUE(harness.awaitReceiverFrames(kAi3, kRequest));
    EXPECT_FALSE(requestCarriesOrbit(harness.lastReceiverFrame(kAi3, kRequest)));

    harness.fromReceiver(positionAnswer(37.3875, -121.9720, 25));
    ASSERT_TRUE(harness.awaitFixes(1));
    EXPECT_TRUE(harness.awaitText(status::kFixReceived));
    EXPECT_TRUE(harness.awaitReceiverFrames(kAi3, kAck));
    EXPECT_TRUE(harness.awaitReceiverFrames(kF, kCloseRequest));
    const PositionResult fix = harness.fixes().front();
    EXPECT_NEAR(fix.latitude, 37.3875, 1e-5);
    EXPECT_NEAR(fix.longitude, -121.9720, 1e-5);
    EXPECT_EQ(fix.altitude, 25);
    EXPECT_EQ(harness.client().isSessionActive(), 1);
}

TEST(CallProcessor, SessionClosesAfterItsNumberOfFixes) {
    struct Case {
        const char* legend;
        bool autonomousOperation;
        std::array<std::size_t, 3> closesAfterFix;
    };
    const Case cases[] = {
        {"network-session operation keeps the session for numFixes", false, {0, 0, 1}},
        {"autonomous-session operation closes after every fix", true, {1, 2, 3}},
    };
    for (const auto& c : cases) {
        ClientProfile profile = networkProfile();
        profile.numFixes = 3;
        ClientHarness harness(profile, false);
        ASSERT_TRUE(c.autonomousOperation ? harness.client().startAutonomousSession()
                                          : harness.client().startNetworkSession())
            << c.legend;
        ASSERT_TRUE(harness.awaitText(status::kStartAutonomous)) << c.legend;
        openReceiverSession(harness);
        for (std::size_t fix = 1; fix <= 3; ++fix) {
            harness.fromReceiver(positionAnswer(1.0, 2.0, 3));
            ASSERT_TRUE(harness.awaitFixes(fix)) << c.legend;
            ASSERT_TRUE(harness.settle()) << c.legend;
            EXPECT_EQ(harness.receiverCount(kF, kCloseRequest), c.closesAfterFix[fix - 1])
                << c.legend << ", fix " << fix;
        }
    }
}

TEST(CallProcessor, NetworkSessionWithAiding) {
    ClientHarness harness(networkProfile());
    ASSERT_TRUE(harness.client().startNetworkSession());
    ASSERT_TRUE(harness.awaitText(status::kStartNetwork));
    ASSERT_TRUE(harness.awaitServerFrames(7));  // the station's name
    harness.fromServer(2, {0x12, 0x34});
    ASSERT_TRUE(harness.awaitServerFrames(2));
    EXPECT_EQ(harness.lastServerFrame(2), (Bytes{0xA0, 0xA2, 0x00, 0x03, 0x02, 0x12, 0x34, 0xB0, 0xB3}));
    harness.fromServer(8, {0});
    ASSERT_TRUE(harness.awaitServerFrames(1));  // the test starts
    harness.fromServer(3, aidingBlock(true, true));
    ASSERT_TRUE(harness.awaitText(status::kAidingReceived));
    ASSERT_TRUE(harness.awaitServerFrames(kEndTest));

    openReceiverSession(harness);
    ASSERT_TRUE(harness.awaitText(status::kWaitingAutonomous));  // no time given to the receiver yet
    harness.fromReceiver({kF, kTimeTransfer});
    ASSERT_TRUE(harness.awaitReceiverFrames(kF, kTimeTransfer));
    const Bytes answer = harness.lastReceiverFrame(kF, kTimeTransfer);
    ASSERT_EQ(answer.size(), 22U);
    EXPECT_EQ(Bytes(answer.begin() + 6, answer.begin() + 18),
              (Bytes{0, 0x05, 0x39, 0x00, 0x05, 0x26, 0x5C, 0x00, 0x00, 0x00, 0x0D, 0xF5}));
    ASSERT_TRUE(harness.awaitText(status::kWaitingAided));
    ASSERT_TRUE(harness.awaitReceiverFrames(kAi3, kRequest, 2));
    EXPECT_TRUE(requestCarriesOrbit(harness.lastReceiverFrame(kAi3, kRequest)));

    harness.fromReceiver(positionAnswer(-33.5, 151.25, 40));
    ASSERT_TRUE(harness.awaitFixes(1));
    EXPECT_NEAR(harness.fixes().front().longitude, 151.25, 1e-5);
}

// What the client answers to the receiver's time transfer request, by how the session stands.
TEST(CallProcessor, TimeTransferAnswers) {
    struct Case {
        const char* legend;
        bool startSession;
        std::vector<Bytes> aiding;  // aiding blocks from the server, in order
        bool serverCloses;
        int reason;  // 0: answered with the time
    };
    const Case cases[] = {
        {"no session", false, {}, false, 4},
        {"session without aiding", true, {}, false, 2},
        {"time without orbit data (test state 3)", true, {aidingBlock(false, true)}, false, 2},
        {"orbit data without time", true, {aidingBlock(true, false)}, false, 4},
        {"unusable aiding", true, {Bytes{1, 0, 0, 1}}, false, 4},
        {"orbit data and time", true, {aidingBlock(true, true)}, false, 0},
        {"closed by the server after orbit data and time", true, {aidingBlock(true, true)}, true, 0},
        {"closed by the server before any aiding (test state 7)", true, {}, true, 4},
    };
    for (const auto& c : cases) {
        ClientHarness harness(networkProfile());
        if (c.startSession) {
            harness.client().startNetworkSession();
            ASSERT_TRUE(harness.awaitServerFrames(7)) << c.legend;
        }
        for (const auto& block : c.aiding) harness.fromServer(3, block);
        if (c.serverCloses) harness.fromServer(4, {0, 9});
        harness.fromReceiver({kF, kTimeTransfer});
        if (c.reason == 0) {
            EXPECT_TRUE(harness.awaitReceiverFrames(kF, kTimeTransfer)) << c.legend;
            continue;
        }
        ASSERT_TRUE(harness.awaitReceiverFrames(kF, kReject)) << c.legend;
        const Bytes reject = harness.lastReceiverFrame(kF, kReject);
        EXPECT_EQ(reject[6], kTimeTransfer) << c.legend;
        EXPECT_EQ(reject[7], c.reason) << c.legend;
    }
}

TEST(CallProcessor, ServerCloseAfterAidingEndsTheTestOnce) {
    ClientHarness harness(networkProfile());
    harness.client().startNetworkSession();
    harness.fromServer(3, aidingBlock(true, true));
    ASSERT_TRUE(harness.awaitServerFrames(kEndTest));
    harness.fromServer(4, {0x00, 0x07});
    ASSERT_TRUE(harness.awaitServerFrames(4));
    EXPECT_EQ(harness.lastServerFrame(4), (Bytes{0xA0, 0xA2, 0x00, 0x03, 0x04, 0x00, 0x07, 0xB0, 0xB3}));
    harness.client().stopSession();
    ASSERT_TRUE(harness.awaitReceiverFrames(kF, kCloseRequest));
    ASSERT_TRUE(harness.settle());
    EXPECT_EQ(harness.serverCount(kEndTest), 1U);
}

TEST(CallProcessor, NetworkTimerStopsTheSessionOnce) {
    ClientProfile profile = networkProfile();
    profile.networkTimeout = 5;
    ClientHarness harness(profile);
    harness.client().startNetworkSession();
    harness.fromServer(8, {0});  // the test runs, so stopping would end it if the network still counted
    ASSERT_TRUE(harness.awaitServerFrames(1));
    harness.advanceClock(std::chrono::seconds(5));
    ASSERT_TRUE(harness.awaitText("WARNING: Network Timer of (5)s expired. Stopping Session."));
    ASSERT_TRUE(harness.awaitReceiverFrames(kF, kCloseRequest));
    harness.advanceClock(std::chrono::seconds(10));
    ASSERT_TRUE(harness.settle());
    ASSERT_TRUE(harness.settle());
    EXPECT_EQ(harness.receiverCount(kF, kCloseRequest), 1U);
    EXPECT_EQ(harness.serverCount(kEndTest), 0U);
    const auto texts = harness.texts();
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const std::string& t) { return t.starts_with("WARNING"); }), 1);
}

TEST(CallProcessor, ServerVanishingEndsItsPartOfTheSession) {
    ClientHarness harness(networkProfile());
    harness.client().startNetworkSession();
    harness.fromServer(8, {0});
    ASSERT_TRUE(harness.awaitServerFrames(1));
    harness.serverVanishes();
    openReceiverSession(harness);
    harness.fromReceiver({kF, kTimeTransfer});
    ASSERT_TRUE(harness.awaitReceiverFrames(kF, kReject));
    EXPECT_EQ(harness.lastReceiverFrame(kF, kReject)[7], 4) << "refused: the server closed before aiding";
    harness.fromReceiver(positionAnswer(1.0, 2.0, 3));
    ASSERT_TRUE(harness.awaitFixes(1));
    ASSERT_TRUE(harness.awaitReceiverFrames(kF, kCloseRequest));
    ASSERT_TRUE(harness.settle());
    EXPECT_EQ(harness.serverCount(kEndTest), 0U);
}

TEST(CallProcessor, SerialTimerOnlyWarns) {
    ClientProfile profile;
    profile.serialTimeout = 2;
    ClientHarness harness(profile);
    harness.client().startNetworkSession();
    harness.advanceClock(std::chrono::seconds(2));
    ASSERT_TRUE(harness.awaitText("ERROR: Serial Timer of (2)s expired. Reseting timer."));
    EXPECT_EQ(harness.receiverCount(kF, kCloseRequest), 0U);
}

TEST(CallProcessor, HostAidingIsRefusedWhenShort) {
    ClientHarness harness;
    harness.client().startNetworkSession();
    struct Case {
        const char* legend;
        Bytes frame;
        bool usable;
    };
    const Case cases[] = {
        {"a frame shorter than 8 bytes", {0xA0, 0xA2, 0x00, 0x01, 0x03, 0xB0, 0xB3}, false},
        {"nothing", {}, false},
        {"orbit data and time", aidingFrame(aidingBlock(true, true)), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(harness.client().postAiding(c.frame.data(), c.frame.size()), c.usable) << c.legend;
    }
    EXPECT_TRUE(harness.awaitText(status::kAidingReceived));
    harness.fromReceiver({kF, kTimeTransfer});
    EXPECT_TRUE(harness.awaitReceiverFrames(kF, kTimeTransfer));
}

TEST(CallProcessor, TunnelSwitches) {
    struct Case {
        const char* legend;
        std::function<void(LocationClient&)> action;
        std::string_view text;
        std::uint8_t id;
        Bytes payload;
    };
    const Case cases[] = {
        {"NMEA on", [](LocationClient& c) { c.setNmea(true); }, status::kNmeaEnabled, 160, {0, 0xDD, 0}},
        {"NMEA off", [](LocationClient& c) { c.setNmea(false); }, status::kNmeaDisabled, 161, {0, 0xDD}},
        {"binary on", [](LocationClient& c) { c.setBinary(true); }, "DEBUG: Enabling Vexa Binary", 160, {0, 0xEE, 0}},
        {"binary off", [](LocationClient& c) { c.setBinary(false); }, "DEBUG: Disabling Vexa Binary", 161, {0, 0xEE}},
    };
    for (const auto& c : cases) {
        ClientHarness harness;
        c.action(harness.client());
        ASSERT_TRUE(harness.awaitReceiverFrames(kF, c.id)) << c.legend;
        const Bytes frame = harness.lastReceiverFrame(kF, c.id);
        EXPECT_EQ(Bytes(frame.begin() + 6, frame.end() - 4), c.payload) << c.legend;
        EXPECT_EQ(harness.texts().back(), c.text) << c.legend;
    }
}

TEST(CallProcessor, ReceiverVersionsAndNmeaReachTheHost) {
    ClientHarness harness;
    EXPECT_EQ(harness.client().getReceiverVersion1(), "");
    harness.fromReceiver({kF, 23, 3, 4, 'A', 'B', 'C', 'w', 'x', 'y', 'z'});
    harness.fromReceiver({0xDD, 0x41, '$', 'G', 'P'});
    ASSERT_TRUE(harness.settle());
    EXPECT_EQ(harness.client().getReceiverVersion1(), "ABC");
    EXPECT_EQ(harness.client().getReceiverVersion2(), "wxyz");
    ASSERT_EQ(harness.nmea().size(), 1U);
    const NmeaRecord record = harness.nmea().front();
    EXPECT_EQ(Bytes(record.bytes.begin(), record.bytes.begin() + 5), (Bytes{0x41, '$', 'G', 'P', 0}));
}

TEST(CallProcessor, ApproximatePositionRequest) {
    for (const std::uint8_t valid : {0, 1}) {
        ClientProfile profile;
        profile.approxPositionValid = valid;
        ClientHarness harness(profile);
        harness.fromReceiver({kF, 19});
        ASSERT_TRUE(harness.awaitReceiverFrames(kF, 0));  // the session open request follows either answer
        EXPECT_EQ(harness.receiverCount(kF, valid ? 19 : kReject), 1U) << int{valid};
    }
}

// The server asks to close and hangs up at once: the close request, received first, closes the test,
// once, so the time it brought still reaches the receiver.
TEST(CallProcessor, CloseRequestAndHangUpCloseTheTestOnce) {
    ClientHarness harness(networkProfile(), true, ClientHarness::Logging::On);
    ASSERT_TRUE(aidedByTheServer(harness));
    // Both are there when the client next looks: it is held in the host's callback meanwhile.
    harness.holdNextNmea();
    harness.fromReceiver({0xDD, 0x41, '$'});
    ASSERT_TRUE(harness.awaitHeld());
    harness.fromServer(4, {0x00, 0x09});
    harness.serverVanishes();
    harness.release();
    harness.fromReceiver({kF, kTimeTransfer});
    ASSERT_TRUE(harness.awaitReceiverFrames(kF, kTimeTransfer)) << "answered with the time";
    EXPECT_EQ(harness.receiverCount(kF, kReject), 0U);
    EXPECT_EQ(harness.errorLog().find("Network connection lost."), std::string::npos) << harness.errorLog();
}

// Messages leave in the order the client builds them, whichever thread builds them and whichever
// peer they go to.
TEST(CallProcessor, MessagesLeaveInTheOrderBuilt) {
    ClientHarness harness(networkProfile());
    harness.client().startNetworkSession();
    ASSERT_TRUE(harness.awaitReceiverFrames(kF, 22));
    ASSERT_TRUE(harness.awaitServerFrames(7));
    EXPECT_EQ(harness.sendOrder(), (Bytes{kS, kR})) << "station information, then the receiver's reset";

    harness.fromServer(8, {0});
    ASSERT_TRUE(harness.awaitServerFrames(1));
    harness.fromServer(3, aidingBlock(true, true));
    ASSERT_TRUE(harness.awaitServerFrames(kEndTest));
    harness.client().stopSession();
    ASSERT_TRUE(harness.awaitServerFrames(kEndTest, 3));
    // Start of test (ready), end of test (aiding), then the receiver's close and the end of test twice.
    EXPECT_EQ(harness.sendOrder(), (Bytes{kS, kR, kS, kS, kR, kS, kS}));
}

// Each timer is looked at while the client handles a message that does not restart it: one step
// before its limit nothing happens, at the limit it fires. A limit taken as milliseconds fires early.
TEST(CallProcessor, SessionTimersFireAtTheirLimitNotBefore) {
    struct Case {
        const char* legend;
        std::uint8_t serialTimeout;
        std::uint8_t networkTimeout;
        std::chrono::milliseconds limit;
        bool settleByServer;  // a server message leaves the serial timer running on, a receiver one the network timer
        std::string_view text;
    };
    const Case cases[] = {
        {"serial timer", 2, 255, std::chrono::seconds(2), true, "ERROR: Serial Timer of (2)s expired. Reseting timer."},
        {"network timer", 255, 5, std::chrono::seconds(5), false,
         "WARNING: Network Timer of (5)s expired. Stopping Session."},
    };
    for (const auto& c : cases) {
        ClientProfile profile = networkProfile();
        profile.serialTimeout = c.serialTimeout;
        profile.networkTimeout = c.networkTimeout;
        ClientHarness harness(profile);
        harness.client().startNetworkSession();
        ASSERT_TRUE(harness.awaitServerFrames(7)) << c.legend;
        harness.advanceClock(c.limit - std::chrono::milliseconds(1));
        ASSERT_TRUE(c.settleByServer ? harness.settleByServer() : harness.settle()) << c.legend;
        const auto texts = harness.texts();
        EXPECT_EQ(std::find(texts.begin(), texts.end(), c.text), texts.end()) << c.legend << ": fired early";
        EXPECT_EQ(harness.receiverCount(kF, kCloseRequest), 0U) << c.legend;
        harness.advanceClock(std::chrono::milliseconds(1));
        EXPECT_TRUE(harness.awaitText(c.text)) << c.legend;
    }
}

// The hardware configuration answer: 0x70 for a session with the server (network or aided), else 0x30.
TEST(CallProcessor, HardwareConfigurationAnswerFollowsTheSessionKind) {
    struct Case {
        const char* legend;
        bool useServer;
        bool startSession;
        bool aidingWithTime;
        bool channelClosed;  // the receiver confirmed a channel close (F 161)
        std::uint8_t configuration;
    };
    const Case cases[] = {
        {"no session (kind 0)", false, false, false, false, 0x30},
        {"autonomous session (kind 1)", false, true, false, false, 0x30},
        {"network session (kind 2)", true, true, false, false, 0x70},
        {"aided session (kind 3)", true, true, true, false, 0x70},
        {"network session after a channel close", true, true, false, true, 0x30},
    };
    for (const auto& c : cases) {
        ClientHarness harness(c.useServer ? networkProfile() : ClientProfile{});
        if (c.startSession) {
            harness.client().startNetworkSession();
            ASSERT_TRUE(harness.awaitReceiverFrames(kF, 22)) << c.legend;
        }
        if (c.aidingWithTime) harness.fromServer(3, aidingBlock(true, true));
        if (c.channelClosed) harness.fromReceiver({kF, 161, 0x00, 0xDD});
        ASSERT_TRUE(harness.settle()) << c.legend;
        const Bytes answer = harness.lastReceiverFrame(kF, kHwConfig);
        ASSERT_EQ(answer.size(), 16U) << c.legend;
        EXPECT_EQ(Bytes(answer.begin() + 6, answer.begin() + 12), (Bytes{c.configuration, 0, 0, 0, 0, 0})) << c.legend;
    }
}

// The receiver's channel close confirmation ends the session kind: no time, no position request.
TEST(CallProcessor, ChannelCloseResponseLeavesNoSession) {
    ClientHarness harness(networkProfile());
    ASSERT_TRUE(aidedByTheServer(harness));
    harness.fromReceiver({kF, 161, 0x00, 0xEE});
    harness.fromReceiver({kF, kTimeTransfer});
    ASSERT_TRUE(harness.awaitReceiverFrames(kF, kReject));
    const Bytes reject = harness.lastReceiverFrame(kF, kReject);
    EXPECT_EQ((Bytes{reject[6], reject[7]}), (Bytes{kTimeTransfer, 4}));
    openReceiverSession(harness);
    ASSERT_TRUE(harness.settle());
    EXPECT_EQ(harness.receiverCount(kAi3, kRequest), 0U);
    EXPECT_EQ(harness.receiverCount(kF, kTimeTransfer), 0U);
}

// The receiver's close notification: the time given before no longer makes the next request aided,
// and the serial timer stops.
TEST(CallProcessor, CloseSessionNotificationClearsTheFlagsAndStopsTheSerialTimer) {
    for (const bool closed : {false, true}) {
        ClientProfile profile = networkProfile();
        profile.serialTimeout = 2;
        ClientHarness harness(profile);
        ASSERT_TRUE(aidedByTheServer(harness)) << closed;
        harness.fromReceiver({kF, kTimeTransfer});
        ASSERT_TRUE(harness.awaitReceiverFrames(kF, kTimeTransfer)) << closed;
        if (closed) harness.fromReceiver({kF, kCloseRequest, 0});
        openReceiverSession(harness);
        ASSERT_TRUE(harness.awaitReceiverFrames(kAi3, kRequest)) << closed;
        EXPECT_TRUE(harness.awaitText(closed ? status::kWaitingAutonomous : status::kWaitingAided)) << closed;

        harness.advanceClock(std::chrono::seconds(5));
        ASSERT_TRUE(harness.settleByServer()) << closed;
        const auto texts = harness.texts();
        const bool warned = std::find(texts.begin(), texts.end(),
                                      "ERROR: Serial Timer of (2)s expired. Reseting timer.") != texts.end();
        EXPECT_EQ(warned, !closed) << closed;
    }
}

}  // namespace
}  // namespace vexa
