#include "link/connection/link_recovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "link/connection/baud_settings.h"
#include "link/connection/connection_controller.h"
#include "support/link_fixture.h"
#include "support/pseudo_terminal.h"
#include "scripted_link.h"

namespace vexa {
namespace {

using test::ScriptedLink;

const std::string kPort = "/dev/ttyUSB0";

// The user's connection attempt tells the recovery what worked, as the dialog and the command line do.
class LinkRecoveryTest : public ::testing::Test {
protected:
    LinkRecoveryTest()
        : user_(link_, context_,
                ConnectionCallbacks{.connected = [this](const std::string& port, int chosen) {
                    recovery_.Remember(port, chosen);
                }}),
          recovery_(link_, context_, [this] { ++statusChanges_; }) {}

    void ConnectAsTheUser(const std::string& baudSelection, const std::string& port = kPort) {
        user_.Connect(port, baudSelection);
        for (int tick = 0; tick < 40 && user_.Testing(); ++tick) user_.Tick();
        ASSERT_NE(context_.LinkProtocol, kNotConnected);
        link_.calls.clear();
    }
    // The receiver goes away: the comm reader's report reaches the front end.
    void LoseTheReceiver() {
        context_.LinkProtocol = kNotConnected;
        link_.receiverRate.reset();
        link_.unopenableRate = ScriptedLink::kAnyRate;
    }
    void LinkLostWhileConnected() {
        recovery_.LinkLost();
        LoseTheReceiver();
    }

    ReceiverContext context_;
    ScriptedLink link_{context_};
    ConnectionController user_;
    LinkRecovery recovery_;
    int statusChanges_ = 0;
};

TEST_F(LinkRecoveryTest, ALostReceiverIsDisconnectedAndItsPortTriedOncePerTick) {
    link_.receiverRate = 19200;
    ConnectAsTheUser("19200");
    recovery_.LinkLost();
    EXPECT_EQ(link_.calls, std::vector<std::string>{"disconnect"}) << "closed as the Disconnect button closes";
    EXPECT_EQ(context_.LinkProtocol, kNotConnected);
    EXPECT_TRUE(recovery_.Recovering());
    EXPECT_EQ(statusChanges_, 1);

    LoseTheReceiver();
    link_.calls.clear();
    for (int tick = 1; tick <= 3; ++tick) {
        recovery_.Tick();
        EXPECT_EQ(link_.calls.back(), "connect " + kPort + " 19200") << tick;
        EXPECT_EQ(std::count(link_.calls.begin(), link_.calls.end(), "connect " + kPort + " 19200"), tick);
    }
    EXPECT_TRUE(recovery_.Recovering());

    // Plugged in again.
    link_.unopenableRate = 0;
    link_.receiverRate = 19200;
    link_.receiverProtocol = kBinaryProtocol;
    recovery_.Tick();  // opens the port; the receiver answers within the attempt's ticks
    EXPECT_TRUE(recovery_.Recovering());
    recovery_.Tick();
    EXPECT_FALSE(recovery_.Recovering());
    EXPECT_EQ(context_.LinkProtocol, kBinaryProtocol);
    EXPECT_EQ(statusChanges_, 2);
    recovery_.Tick();
    EXPECT_EQ(link_.calls.back(), "connect " + kPort + " 19200") << "no attempts once the receiver is back";
}

// A network source that closes is looked for with the reason shown; a failed attempt's own reason
// takes its place. A search can also begin for a source never found.
TEST_F(LinkRecoveryTest, TheStatusWhileLookingSaysWhyTheSourceIsNotHeard) {
    const std::string source = "tcp://gnss-box:4001";
    link_.baudChangeable = false;
    link_.receiverRate = 57600;
    user_.Connect(source, "Auto");
    user_.Tick();
    ASSERT_EQ(context_.LinkProtocol, kNmeaProtocol);
    link_.endReason = "Connection closed by gnss-box:4001";
    recovery_.LinkLost();
    EXPECT_EQ(recovery_.Status().text, "Not connected: Connection closed by gnss-box:4001");

    link_.unopenableRate = ScriptedLink::kAnyRate;
    link_.connectProblem = "Connection refused by gnss-box:4001";
    recovery_.Tick();
    EXPECT_EQ(recovery_.Status().text, "Not connected: Connection refused by gnss-box:4001");

    recovery_.Stop();
    recovery_.Search(source, kAutoBaud, "No data from " + source + " for 5 s");
    EXPECT_TRUE(recovery_.Recovering());
    EXPECT_EQ(recovery_.Status().text, "Not connected: No data from " + source + " for 5 s");
    link_.unopenableRate = 0;
    recovery_.Tick();
    recovery_.Tick();
    EXPECT_FALSE(recovery_.Recovering());
    EXPECT_EQ(context_.LinkProtocol, kNmeaProtocol);
}

TEST_F(LinkRecoveryTest, AReceiverFoundAutomaticallyIsLookedForAutomaticallyAgain) {
    link_.receiverRate = 38400;
    ConnectAsTheUser("Auto");
    EXPECT_EQ(user_.BaudSetting(), 38400) << "the user's setting shows the rate found";
    LinkLostWhileConnected();
    // The device is back, now talking at 4800: automatic detection walks 57600 and 38400 first.
    link_.unopenableRate = 0;
    link_.receiverRate = 4800;
    link_.calls.clear();
    int ticks = 0;
    for (; ticks < 40 && recovery_.Recovering(); ++ticks) recovery_.Tick();
    EXPECT_FALSE(recovery_.Recovering());
    EXPECT_EQ(context_.LinkProtocol, kNmeaProtocol);
    const std::vector<std::string> opened(link_.calls.begin(), link_.calls.end());
    EXPECT_EQ(std::count(opened.begin(), opened.end(), "connect " + kPort + " 57600"), 1);
    EXPECT_EQ(std::count(opened.begin(), opened.end(), "connect " + kPort + " 38400"), 1);
    EXPECT_EQ(opened.back(), "connect " + kPort + " 4800");
    EXPECT_EQ(ticks, 1 + 5 + 5 + 1) << "the open, five ticks at each silent rate, the answer";
}

TEST_F(LinkRecoveryTest, AFixedRateFollowsTheProtocolSwitchAndAnAttemptWithoutAnswerIsRepeated) {
    link_.receiverRate = 57600;
    link_.receiverProtocol = kBinaryProtocol;
    ConnectAsTheUser("57600");
    recovery_.BaudChanged(4800);  // switched to NMEA
    LinkLostWhileConnected();
    link_.unopenableRate = 0;  // the port opens, but nobody answers
    recovery_.Tick();
    EXPECT_EQ(link_.calls.back(), "connect " + kPort + " 4800");
    for (int tick = 1; tick < ConnectionController::kTicksPerAttempt; ++tick) recovery_.Tick();
    EXPECT_EQ(link_.calls.back(), "connect " + kPort + " 4800") << "still watching the first attempt";
    recovery_.Tick();
    EXPECT_EQ(link_.calls.back(), "disconnect") << "five silent ticks end the attempt";
    recovery_.Tick();
    EXPECT_EQ(link_.calls.back(), "connect " + kPort + " 4800") << "and the next tick starts another";
    EXPECT_TRUE(recovery_.Recovering());
}

TEST_F(LinkRecoveryTest, ACaptureThatPlayedToItsEndIsNotStartedAgain) {
    link_.receiverRate = 57600;
    ConnectAsTheUser("57600", "replay:/data/drive.bin");
    LinkLostWhileConnected();
    EXPECT_EQ(link_.calls, std::vector<std::string>{"disconnect"});
    EXPECT_FALSE(recovery_.Recovering());
    recovery_.Tick();
    EXPECT_EQ(link_.calls, std::vector<std::string>{"disconnect"});
}

TEST_F(LinkRecoveryTest, OnlyAConnectedReceiverIsRecoveredAndTheUserEndsTheSearch) {
    recovery_.LinkLost();
    EXPECT_TRUE(link_.calls.empty()) << "nothing was connected";
    EXPECT_FALSE(recovery_.Recovering());

    link_.receiverRate = 9600;
    ConnectAsTheUser("9600");
    LinkLostWhileConnected();
    ASSERT_TRUE(recovery_.Recovering());
    link_.unopenableRate = 0;  // the port opens, nobody answers yet
    recovery_.Tick();
    recovery_.LinkLost();  // an attempt's own port going away changes nothing
    recovery_.Stop();      // the user pressed Connect or Disconnect
    EXPECT_EQ(statusChanges_, 2) << "the loss, then the end of the search";
    link_.calls.clear();
    recovery_.Tick();
    EXPECT_TRUE(link_.calls.empty());
    EXPECT_FALSE(recovery_.Recovering());
    // A receiver connected without the recovery learning of it: its loss is not searched for with the
    // forgotten settings.
    context_.LinkProtocol = kNmeaProtocol;
    recovery_.LinkLost();
    EXPECT_FALSE(recovery_.Recovering());

    // A later loss starts over: the attempt the user cut short is not carried on.
    link_.receiverRate = 9600;
    ConnectAsTheUser("9600");
    LinkLostWhileConnected();
    link_.unopenableRate = 0;
    recovery_.Tick();
    EXPECT_EQ(link_.calls.back(), "connect " + kPort + " 9600");
}

// The receiver on a real pseudo-terminal, reached through a fixed link name as a udev rule or
// vexasim --link gives one: it goes away mid-stream and comes back on another pseudo-terminal.
TEST(LinkRecoveryOnPty, AReceiverReopenedUnderTheSameLinkNameIsConnectedAgain) {
    test::LinkUnderTest link;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("vexa-recovery-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string linkName = (folder / "receiver").string();
    auto first = std::make_unique<test::PseudoTerminal>();
    std::filesystem::create_symlink(first->SlavePath(), linkName);

    LinkRecovery recovery(*link.comm, link.context);
    ConnectionController user(*link.comm, link.context,
                              ConnectionCallbacks{.connected = [&](const std::string& port, int chosen) {
                                  recovery.Remember(port, chosen);
                              }});
    // Connecting closes the link first, which announces blank records: wait for the receiver's own.
    const auto awaitBinary = [&link] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (link.context.LinkProtocol != kBinaryProtocol && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return link.context.LinkProtocol == kBinaryProtocol;
    };
    user.Connect(linkName, "Auto");
    first->Send(test::Frame(test::NavPayload(7)));
    ASSERT_TRUE(awaitBinary());
    user.Tick();
    ASSERT_EQ(link.context.LinkProtocol, kBinaryProtocol);

    first->Send(test::Frame(test::NavPayload(8)));
    first.reset();  // mid-stream: the receiver's end closes
    std::filesystem::remove(linkName);
    bool lost = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!lost && std::chrono::steady_clock::now() < deadline) {
        const auto notification = link.notifications.take(std::chrono::milliseconds(100));
        lost = notification == LinkUpdate{LinkLost{}};
    }
    ASSERT_TRUE(lost) << "a vanished device is reported, not taken for a quiet one";
    EXPECT_FALSE(link.comm->PortOpen());
    recovery.LinkLost();
    EXPECT_EQ(link.context.LinkProtocol, kNotConnected);
    recovery.Tick();  // the link name points at nothing that opens
    EXPECT_FALSE(link.comm->PortOpen());

    test::PseudoTerminal second;
    std::filesystem::create_symlink(second.SlavePath(), linkName);
    recovery.Tick();
    ASSERT_TRUE(link.comm->PortOpen());
    EXPECT_EQ(second.SlaveSpeed(), B57600) << "automatic detection starts over at its first rate";
    second.Send(test::Frame(test::NavPayload(9)));
    ASSERT_TRUE(awaitBinary());
    recovery.Tick();
    EXPECT_FALSE(recovery.Recovering());
    EXPECT_EQ(link.context.LinkProtocol, kBinaryProtocol);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vexa
