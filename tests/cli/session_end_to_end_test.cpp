// Positioning sessions run the whole way: the session runner's link on the simulated Osprey receiver's
// pseudo-terminal, and the location client's own network module talking to the simulated assistance
// server on loopback.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>

#include "cli/session_command.h"
#include "session_run.h"
#include "sim/assistance_server.h"
#include "sim/receiver_simulator.h"
#include "sim/world_model.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;

constexpr sim::Geodetic kOrigin{48.1173, 11.5167, 545.0};
constexpr std::uint32_t kSeed = 7;

using test::RunOn;
using test::SessionRun;
using Fix = SessionRun::Fix;

// The receiver walks around its origin; a fix must be where it was at one of its output seconds.
double MetresFromTheWalk(const Fix& fix) {
    sim::WorldModel world(kOrigin, kSeed);
    const sim::FixAcquisition acquisition(sim::TimesToFirstFix{0, 0, 0, 0});
    constexpr double kMetresPerDegree = 111'320.0;
    const double metresPerLongitudeDegree = kMetresPerDegree * std::cos(kOrigin.latitudeDeg * std::numbers::pi / 180);
    double nearest = 1e9;
    for (int second = 0; second <= 300; ++second) {
        const sim::Geodetic truth = world.snapshot(second, 0, acquisition, {}).position;
        const double north = (fix.latitude - truth.latitudeDeg) * kMetresPerDegree;
        const double east = (fix.longitude - truth.longitudeDeg) * metresPerLongitudeDegree;
        nearest = std::min(nearest, std::hypot(north, east));
    }
    return nearest;
}

class SessionEndToEnd : public ::testing::Test {
protected:
    SessionEndToEnd() : simulator_(Receiver()) { simulator_.start(); }
    ~SessionEndToEnd() override { simulator_.stop(); }

    static sim::SimulatorOptions Receiver() {
        sim::SimulatorOptions options;
        options.receiver.productName = "Osprey";
        options.receiver.origin = kOrigin;
        options.receiver.seed = kSeed;
        options.receiver.timesToFirstFix = {1.0, 1.0, 1.0, 1.0};
        return options;
    }

    static sim::AssistanceServerConfig Server() {
        sim::AssistanceServerConfig config;
        config.seed = kSeed;
        return config;
    }

    SessionOptions Session(bool network, unsigned fixes) const {
        SessionOptions options;
        options.network = network;
        options.portPath = simulator_.slavePath();
        options.fixes = fixes;
        options.seconds = 30;
        return options;
    }

    sim::ReceiverSimulator simulator_;
};

TEST_F(SessionEndToEnd, AutonomousSessionFindsTheReceiversPosition) {
    const SessionRun run = RunOn(Session(false, 1));
    EXPECT_EQ(run.code, kExitSessionFixed) << run.output;
    EXPECT_TRUE(run.inOrder({"0002:START AUTONOMOUS SESSION", "0016:WAITING FOR AUTONOMOUS POSITION FIX",
                             "0064:POSITION FIX RECEIVED"}))
        << run.output;
    EXPECT_FALSE(run.has("0004:START NETWORK SESSION")) << run.output;
    ASSERT_EQ(run.fixes.size(), 1u) << run.output;
    EXPECT_LT(MetresFromTheWalk(run.fixes[0]), 1.0);
    EXPECT_NEAR(run.fixes[0].altitude, kOrigin.altitudeM, 1.0);
}

TEST_F(SessionEndToEnd, NetworkSessionIsAidedByTheServerAndClosesAfterTheLastFix) {
    sim::AssistanceServer server(Server());
    server.start();
    SessionOptions options = Session(true, 3);
    options.serverPort = server.port();
    const SessionRun run = RunOn(options);
    EXPECT_EQ(run.code, kExitSessionFixed) << run.output;
    EXPECT_TRUE(run.inOrder({"0004:START NETWORK SESSION", "0008:AIDING RECEIVED", "0032:WAITING FOR AIDED POSITION FIX",
                             "0064:POSITION FIX RECEIVED"}))
        << run.output;
    ASSERT_EQ(run.fixes.size(), 3u) << run.output;
    for (const Fix& fix : run.fixes) EXPECT_LT(MetresFromTheWalk(fix), 1.0);
    EXPECT_EQ(server.sessionsOpened(), 1u);
    // After the third fix the client ends its test, the server asks to close and the client answers.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (server.sessionsClosed() == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(20ms);
    EXPECT_EQ(server.sessionsClosed(), 1u);
    server.stop();
}

TEST_F(SessionEndToEnd, ServerVanishingMidSessionEndsItsPartWithoutAHang) {
    sim::AssistanceServer server(Server());
    server.start();
    SessionOptions options = Session(true, 1);
    options.serverPort = server.port();
    options.seconds = 10;
    std::thread vanish([&server] {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (server.sessionsOpened() == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
        server.stop();
    });
    const auto started = std::chrono::steady_clock::now();
    const SessionRun run = RunOn(options);
    vanish.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 15s);
    EXPECT_TRUE(run.has("0004:START NETWORK SESSION")) << run.output;
    // The receiver's part goes on with what the client has: the fix still comes.
    EXPECT_EQ(run.code, kExitSessionFixed) << run.output;
}

TEST_F(SessionEndToEnd, NetworkSessionWithoutAServerRunsAutonomously) {
    SessionOptions options = Session(true, 1);
    {
        sim::AssistanceServer gone(Server());
        options.serverPort = gone.port();
    }  // nobody listens on the port any more
    const SessionRun run = RunOn(options);
    EXPECT_EQ(run.code, kExitSessionFixed) << run.output;
    EXPECT_TRUE(run.has("0002:START AUTONOMOUS SESSION")) << run.output;
    EXPECT_FALSE(run.has("0008:AIDING RECEIVED")) << run.output;
}

}  // namespace
}  // namespace vexa
