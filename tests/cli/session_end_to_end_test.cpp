// Positioning sessions run the whole way: the session runner's link on the simulated Osprey receiver's
// pseudo-terminal, and the location client's own network module talking to the simulated assistance
// server on loopback. One more session runs against a scripted receiver and server whose bytes are
// written out here by hand, so that an offset both sides of our own code get wrong cannot pass.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <future>
#include <iterator>
#include <mutex>
#include <numbers>
#include <optional>
#include <sstream>
#include <thread>

#include "support/frame_bytes.h"
#include "support/pseudo_terminal.h"
#include "support/loopback_server.h"
#include "cli/session_command.h"
#include "link/gps_comm.h"
#include "link/location_client_host.h"
#include "location/messages/run_length.h"
#include "platform/result_codes.h"
#include "receiver/product/receiver_context.h"
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

using test::Bytes;
using test::Join;

std::string Hex(const Bytes& bytes) {
    std::ostringstream text;
    for (std::uint8_t byte : bytes) text << ' ' << std::hex << std::uppercase << (byte < 16 ? "0" : "") << int{byte};
    return text.str();
}

// What one scripted peer found wrong, read by the test once the session is over.
class Script {
public:
    void Expect(const std::string& step, const Bytes& expected, const Bytes& got) {
        if (expected == got) return;
        std::lock_guard lock(mutex_);
        faults_ += step + ":\n  expected" + Hex(expected) + "\n  got     " + Hex(got) + "\n";
    }
    void Fail(const std::string& text) {
        std::lock_guard lock(mutex_);
        faults_ += text + "\n";
    }
    std::string Faults() {
        std::lock_guard lock(mutex_);
        return faults_;
    }

private:
    std::mutex mutex_;
    std::string faults_;
};

// The next whole frame the client wrote to the receiver: A0 A2, length, content, checksum, B0 B3.
Bytes ReceiverFrame(const test::PseudoTerminal& pty) {
    Bytes frame = pty.Receive(4, 20s);
    if (frame.size() < 4) return frame;
    const Bytes rest = pty.Receive(static_cast<std::size_t>(frame[2] << 8 | frame[3]) + 4, 20s);
    frame.insert(frame.end(), rest.begin(), rest.end());
    return frame;
}

// Satellite 5's orbit record as the server sends it: the satellite number, then 58 bytes.
Bytes OrbitRecord() { return Join({{0x05}, Bytes(58, 0x3C)}); }

// Server side, by hand. Frames: A0 A2, length (id and payload), id, payload, B0 B3.
void ServeByScript(test::LoopbackServer& server, Script& script, std::promise<void>& closed) {
    if (!server.accept(20s)) {
        script.Fail("server: the client never connected");
        closed.set_value();
        return;
    }
    // Station information: 0x28, 0, name length 6, "QTRAIL".
    script.Expect("MS info", {0xA0, 0xA2, 0x00, 0x0A, 0x07, 0x28, 0x00, 0x06, 'Q', 'T', 'R', 'A', 'I', 'L', 0xB0, 0xB3},
                  server.receive(16, 20s));
    // Open request with session id 0x0B17: the answer echoes it.
    server.send({0xA0, 0xA2, 0x00, 0x03, 0x02, 0x0B, 0x17, 0xB0, 0xB3});
    script.Expect("open response", {0xA0, 0xA2, 0x00, 0x03, 0x02, 0x0B, 0x17, 0xB0, 0xB3}, server.receive(9, 20s));
    // Ready: the client starts its test with the profile's approximate position (37.3875, -121.972,
    // 0 m), uncertainty 500, aux 0, 1 fix, request parameter 0, then 255, 100, 100, 0.
    server.send({0xA0, 0xA2, 0x00, 0x02, 0x08, 0x00, 0xB0, 0xB3});
    script.Expect("start test",
                  {0xA0, 0xA2, 0x00, 0x1F, 0x01, 0x07, 0x00, 0x01, 0x35, 0x2C, 0x5F, 0xA4, 0xA9, 0x43, 0xAC, 0xCD,
                   0x13, 0x88, 0x01, 0xF4, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x64,
                   0x00, 0x64, 0x00, 0xB0, 0xB3},
                  server.receive(37, 20s));
    // Aiding in two blocks: orbit records (one record, then 13 more bytes) and time (valid, week 1337,
    // 86400 s). The client ends its test once the aiding is in.
    server.send(Join({{0xA0, 0xA2, 0x00, 0x5F, 0x03, 0x02, 0x00},
                      {0x00, 0x01, 0x00, 0x00, 0x00, 0x49, 0x01},
                      OrbitRecord(),
                      Bytes(13, 0x00),
                      {0x00, 0x02, 0x00, 0x00, 0x00, 0x07, 0x01, 0x05, 0x39, 0x00, 0x01, 0x51, 0x80},
                      {0xB0, 0xB3}}));
    script.Expect("end test", {0xA0, 0xA2, 0x00, 0x01, 0x06, 0xB0, 0xB3}, server.receive(7, 20s));
    // Close request: the answer echoes the session id; then the server goes.
    server.send({0xA0, 0xA2, 0x00, 0x03, 0x04, 0x0B, 0x17, 0xB0, 0xB3});
    script.Expect("close response", {0xA0, 0xA2, 0x00, 0x03, 0x04, 0x0B, 0x17, 0xB0, 0xB3}, server.receive(9, 20s));
    server.hangUp();
    closed.set_value();
}

// The aided position request's payload: the header (type 0x16, 1, 1 fix, parameter 0, 7, 7, 255, 0, 1,
// 0, 0) and satellite 5's slot (present, then its record) at 19 + 5 * 60.
Bytes AidedRequestPayload() {
    Bytes payload(3227, 0x00);
    const Bytes header{0x16, 0x01, 0x01, 0x00, 0x07, 0x07, 0xFF, 0x00, 0x01, 0x00, 0x00};
    std::copy(header.begin(), header.end(), payload.begin());
    payload[319] = 0x01;
    const Bytes record = OrbitRecord();
    std::copy(record.begin(), record.end(), payload.begin() + 320);
    return payload;
}

// Receiver side, by hand. Frames: A0 A2, length, channel, id, payload, 15-bit sum, B0 B3.
void ReceiveByScript(const test::PseudoTerminal& pty, Script& script, std::future<void> serverClosed) {
    // The version answer (texts "ABC" and "wxyz") brings the binary link up and the client opens its
    // tunnel. The port may not be open yet, so the answer is repeated until the tunnel opens.
    const Bytes version{0xA0, 0xA2, 0x00, 0x0B, 0x02, 0x17, 0x03, 0x04, 'A', 'B',  'C',
                        'w',  'x',  'y',  'z',  0x02, 0xC8, 0xB0, 0xB3};
    Bytes opened;
    for (int attempt = 0; attempt < 100 && opened.empty(); ++attempt) {
        pty.Send(version);
        opened = pty.Receive(1, 200ms);
    }
    if (!opened.empty()) {
        const Bytes rest = pty.Receive(12, 5s);
        opened.insert(opened.end(), rest.begin(), rest.end());
    }
    script.Expect("XTN channel open", {0xA0, 0xA2, 0x00, 0x05, 0x02, 0xA0, 0x00, 0xEE, 0x00, 0x81, 0x90, 0xB0, 0xB3},
                  opened);
    script.Expect("GPS reset", {0xA0, 0xA2, 0x00, 0x03, 0x02, 0x16, 0x00, 0x80, 0x18, 0xB0, 0xB3}, ReceiverFrame(pty));
    if (serverClosed.wait_for(30s) != std::future_status::ready) script.Fail("receiver: the server script never ended");

    // Hardware configuration: 0x70 for an aided session, then a uint40 of zero.
    pty.Send(Bytes{0xA0, 0xA2, 0x00, 0x02, 0x02, 0x10, 0x00, 0x12, 0xB0, 0xB3});
    script.Expect("HW config response",
                  {0xA0, 0xA2, 0x00, 0x08, 0x02, 0x10, 0x70, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x82, 0xB0, 0xB3},
                  ReceiverFrame(pty));
    // Time transfer after the server closed: 0, week 1337, 86400000 ms as uint40, 13 in 24 bits, 0xF5.
    pty.Send(Bytes{0xA0, 0xA2, 0x00, 0x02, 0x02, 0x11, 0x00, 0x13, 0xB0, 0xB3});
    script.Expect("time transfer response",
                  {0xA0, 0xA2, 0x00, 0x0E, 0x02, 0x11, 0x00, 0x05, 0x39, 0x00, 0x05, 0x26, 0x5C, 0x00, 0x00, 0x00,
                   0x0D, 0xF5, 0x81, 0xDA, 0xB0, 0xB3},
                  ReceiverFrame(pty));
    // Open session notification: the aided request follows, in one fragment whose sum leaves bit 15 clear.
    pty.Send(Bytes{0xA0, 0xA2, 0x00, 0x03, 0x02, 0x00, 0x00, 0x00, 0x02, 0xB0, 0xB3});
    const Bytes request = ReceiverFrame(pty);
    if (request.size() < 14) {
        script.Fail("aided request: only" + Hex(request));
        return;
    }
    const std::size_t length = static_cast<std::size_t>(request[2] << 8 | request[3]);
    script.Expect("aided request channel, id, count and index", {0x01, 0x01, 0x01, 0x01},
                  Bytes(request.begin() + 4, request.begin() + 8));
    unsigned sum = 0;
    for (std::size_t i = 4; i < 4 + length; ++i) sum += request[i];
    script.Expect("aided request sum and end",
                  {static_cast<std::uint8_t>((sum >> 8) & 0x7F), static_cast<std::uint8_t>(sum), 0xB0, 0xB3},
                  Bytes(request.end() - 4, request.end()));
    Bytes payload;
    if (!decodeRunLength({request.data() + 8, length - 4}, payload, 4096)) script.Fail("aided request: not run-length blocks");
    script.Expect("aided request payload", AidedRequestPayload(), payload);

    // The answer in two fragments: 248 bytes coded as a literal block of 26 (valid, flag, 45 degrees,
    // -90 degrees, altitude group with 5250 tenths, that is 25 m) and a run of 222 zeros, cut after 16.
    pty.Send(Bytes{0xA0, 0xA2, 0x00, 0x14, 0x01, 0x02, 0x02, 0x01, 0x00, 0x1A, 0x01, 0x00, 0x00, 0x01,
              0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x62, 0xB0, 0xB3});
    pty.Send(Bytes{0xA0, 0xA2, 0x00, 0x13, 0x01, 0x02, 0x02, 0x02, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x02,
              0x00, 0x00, 0x00, 0x14, 0x82, 0x19, 0x80, 0xDE, 0x00, 0x02, 0xD6, 0xB0, 0xB3});
    script.Expect("AI3 ack", {0xA0, 0xA2, 0x00, 0x03, 0x01, 0x03, 0x00, 0x00, 0x04, 0xB0, 0xB3}, ReceiverFrame(pty));
    script.Expect("session close request", {0xA0, 0xA2, 0x00, 0x03, 0x02, 0x01, 0x00, 0x80, 0x03, 0xB0, 0xB3},
                  ReceiverFrame(pty));
}

// What the client tells its host during the scripted session; read once the client is closed.
struct HostRecord {
    std::mutex mutex;
    std::vector<std::string> texts;
    std::vector<PositionResult> fixes;
};

// The receiver link and its location client run as the session runner runs them, but the port stays
// open until both scripts have read their last frame: closing it discards what the receiver has not read.
TEST(ScriptedSessionEndToEnd, AidedSessionAgainstHandWrittenPeers) {
    test::PseudoTerminal pty;
    test::LoopbackServer server;
    Script script;
    std::promise<void> serverClosed;
    std::thread serverSide([&] { ServeByScript(server, script, serverClosed); });
    std::thread receiverSide([&] { ReceiveByScript(pty, script, serverClosed.get_future()); });

    HostRecord host;
    ClientProfile profile;
    profile.hostAiding = 0;
    profile.serverPort = server.port();
    profile.callbacks.display = [&host](std::string_view text) {
        std::lock_guard lock(host.mutex);
        host.texts.emplace_back(text);
    };
    profile.callbacks.position = [&host](const PositionResult& fix) {
        std::lock_guard lock(host.mutex);
        host.fixes.push_back(fix);
    };
    ReceiverContext context;
    context.ProductSelection = kOsprey;
    std::unique_ptr<GpsComm> comm = GpsComm::Create(context);
    ASSERT_NE(comm, nullptr);
    std::optional<LocationClientHost> location(std::in_place, *comm, profile);
    EXPECT_EQ(comm->Connect(pty.SlavePath(), 57600), kResultOk);
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (context.LinkProtocol.load() != kBinaryProtocol && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    location->client().startNetworkSession();
    receiverSide.join();
    serverSide.join();
    location.reset();
    comm.reset();

    EXPECT_EQ(script.Faults(), "");
    std::vector<std::string> progress;
    std::copy_if(host.texts.begin(), host.texts.end(), std::back_inserter(progress),
                 [](const std::string& text) { return text.starts_with("00"); });
    EXPECT_EQ(progress, (std::vector<std::string>{"0004:START NETWORK SESSION", "0008:AIDING RECEIVED",
                                                  "0032:WAITING FOR AIDED POSITION FIX", "0064:POSITION FIX RECEIVED"}));
    ASSERT_EQ(host.fixes.size(), 1u);
    EXPECT_FLOAT_EQ(host.fixes[0].latitude, 45.0F);
    EXPECT_FLOAT_EQ(host.fixes[0].longitude, -90.0F);
    EXPECT_EQ(host.fixes[0].altitude, 25);
}

}  // namespace
}  // namespace vexa
