#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "receiver/binary/message_ids.h"
#include "receiver/frames/byte_order.h"
#include "receiver/nmea/nmea_checksum.h"
#include "sim/receiver_simulator.h"
#include "sim_test_support.h"

namespace vexa::sim {
namespace {

using namespace std::chrono_literals;
using simtest::CommandFrame;
using simtest::Deliver;
using simtest::Parse;
using simtest::PtyPeer;
using simtest::RunFor;

SimulatorOptions Options(Protocol protocol, int baud) {
    SimulatorOptions options;
    options.receiver.protocol = protocol;
    options.receiver.baud = baud;
    options.receiver.startUnixSeconds = 1.7e9;
    options.receiver.timesToFirstFix = {0, 2, 3, 4};
    return options;
}

bool ChecksumHolds(const std::string& sentence) {
    const std::size_t star = sentence.find('*');
    return star != std::string::npos &&
           std::strtoul(sentence.substr(star + 1, 2).c_str(), nullptr, 16) == NmeaChecksum(sentence.substr(0, star));
}

std::vector<int> Ids(const simtest::Received& received) {
    std::vector<int> ids;
    for (const auto& payload : received.frames) ids.push_back(payload[0]);
    return ids;
}

TEST(SimulatorOnPty, NmeaAtItsBaudIsReadableAndPacedByTheLine) {
    ReceiverSimulator simulator(Options(Protocol::Nmea, 4800));
    PtyPeer peer(simulator.slavePath(), 4800);
    const auto bytes = RunFor(simulator, peer, 3000ms);
    // Six sentences of about 70 characters each second: most of what 4800 baud can carry.
    EXPECT_LE(bytes.size(), 3u * 480u);
    EXPECT_GT(bytes.size(), 2u * 350u);
    const auto received = Parse(bytes);
    EXPECT_TRUE(received.frames.empty());
    ASSERT_GE(received.sentences.size(), 12u);
    for (const std::string& sentence : received.sentences) EXPECT_TRUE(ChecksumHolds(sentence)) << sentence;
    EXPECT_TRUE(received.sentences[0].starts_with("$GPGGA,"));
}

TEST(SimulatorOnPty, AtAnotherBaudOnlyNoiseArrivesAndCommandsAreNotUnderstood) {
    ReceiverSimulator simulator(Options(Protocol::Binary, 57600));
    PtyPeer peer(simulator.slavePath(), 9600);
    const auto bytes = RunFor(simulator, peer, 2000ms);
    ASSERT_GT(bytes.size(), 500u);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '$'), 0);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0xA0), 0);
    const auto received = Parse(bytes);
    EXPECT_TRUE(received.frames.empty());
    EXPECT_TRUE(received.sentences.empty());

    Deliver(simulator, peer, CommandFrame(SwitchToNmeaCommand()));
    EXPECT_EQ(simulator.protocol(), Protocol::Binary);
}

TEST(SimulatorOnPty, BinaryFramesEverySecond) {
    ReceiverSimulator simulator(Options(Protocol::Binary, 115200));
    PtyPeer peer(simulator.slavePath(), 115200);
    const auto received = Parse(RunFor(simulator, peer, 3050ms, 50ms));
    const auto ids = Ids(received);
    for (const int id : {2, 4, 41, 9}) EXPECT_EQ(std::count(ids.begin(), ids.end(), id), 4) << id;
    EXPECT_EQ(std::count(ids.begin(), ids.end(), 13), 1);
    EXPECT_TRUE(received.sentences.empty());
}

constexpr std::size_t kGeoNavTow = 7;  // id, navigation valid, type, week, then the time of week

// At every rate and in both protocols each epoch brings a fix, a 1/rate of a second after the one
// before; what went out is counted as the program on the other end cuts it.
TEST(SimulatorOnPty, EachRateSendsThatManyFixesASecondAndCountsWhatWentOut) {
    for (const Protocol protocol : {Protocol::Binary, Protocol::Nmea}) {
        for (const int rate : {1, 2, 5, 10, 20}) {
            SCOPED_TRACE(testing::Message() << (protocol == Protocol::Nmea ? "NMEA " : "binary ") << rate << " Hz");
            SimulatorOptions options = Options(protocol, 921600);
            options.receiver.fixesPerSecond = rate;
            options.receiver.constellations = {Constellation::Gps, Constellation::Glonass, Constellation::Galileo,
                                               Constellation::BeiDou};
            ReceiverSimulator simulator(options);
            PtyPeer peer(simulator.slavePath(), 921600);
            const auto bytes = RunFor(simulator, peer, 2000ms, 10ms);
            const auto received = Parse(bytes);
            // Times of the fixes in milliseconds of the week (binary) or of the day (GGA, hhmmss.ss).
            std::vector<long> times;
            for (const auto& payload : received.frames) {
                if (payload[0] == ToWire(MessageId::GeoNavData)) times.push_back(LoadBig32(payload.data() + kGeoNavTow));
            }
            for (const std::string& sentence : received.sentences) {
                if (!sentence.starts_with("$GNGGA,")) continue;
                const std::string hhmmss = sentence.substr(7, 9);
                times.push_back((std::stol(hhmmss.substr(0, 2)) * 3600 + std::stol(hhmmss.substr(2, 2)) * 60) * 1000 +
                                std::lround(std::stod(hhmmss.substr(4)) * 1000));
            }
            ASSERT_GE(times.size(), 2u * rate);
            for (std::size_t i = 1; i < times.size(); ++i) EXPECT_EQ(times[i] - times[i - 1], 1000 / rate) << i;

            const SentCounts sent = simulator.sentCounts();
            EXPECT_EQ(sent.bytes, bytes.size());
            EXPECT_EQ(sent.frames, received.frames.size());
            EXPECT_EQ(sent.sentences, received.sentences.size());
            EXPECT_EQ(sent.messagesOverLineRate, 0u);
            EXPECT_EQ(sent.bytesNotTaken, 0u);
        }
    }
}

TEST(SimulatorOnPty, NothingPilesUpWhileNobodyListens) {
    ReceiverSimulator simulator(Options(Protocol::Binary, 57600));
    for (int i = 0; i < 50; ++i) simulator.advance(100ms);
    EXPECT_EQ(simulator.bytesSent(), 0u);
    PtyPeer peer(simulator.slavePath(), 57600);
    const auto received = Parse(RunFor(simulator, peer, 1000ms));
    const auto ids = Ids(received);
    ASSERT_FALSE(ids.empty());
    EXPECT_EQ(ids.front(), 2);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), 2), 1) << "only the second in progress, nothing older";
}

TEST(SimulatorOnPty, ProtocolSwitchesChangeTheBaudAndTheProgramMustFollow) {
    ReceiverSimulator simulator(Options(Protocol::Binary, 57600));
    PtyPeer peer(simulator.slavePath(), 57600);
    RunFor(simulator, peer, 500ms);
    Deliver(simulator, peer, CommandFrame(SwitchToNmeaCommand()));
    ASSERT_EQ(simulator.protocol(), Protocol::Nmea);
    EXPECT_EQ(simulator.baud(), 4800);
    auto stale = Parse(RunFor(simulator, peer, 1000ms));
    EXPECT_TRUE(stale.sentences.empty());
    EXPECT_TRUE(stale.frames.empty());

    peer.setBaud(4800);
    const auto nmea = Parse(RunFor(simulator, peer, 2000ms));
    ASSERT_FALSE(nmea.sentences.empty());
    EXPECT_TRUE(nmea.frames.empty());

    Deliver(simulator, peer, test::Text("$PVXA100,0,57600,8,1,0*3E\r\n"));
    EXPECT_EQ(simulator.protocol(), Protocol::Nmea) << "a wrong checksum is ignored";
    Deliver(simulator, peer, test::Text(*SwitchToBinarySentence(kKestrel)));
    EXPECT_EQ(simulator.protocol(), Protocol::Binary);
    EXPECT_EQ(simulator.baud(), 57600);
    peer.setBaud(57600);
    RunFor(simulator, peer, 1000ms);  // the rest of the second in progress
    const auto binary = Parse(RunFor(simulator, peer, 1000ms));
    EXPECT_EQ(Ids(binary), (std::vector<int>{2, 4, 41, 9}));
}

TEST(SimulatorOnPty, ReplaySendsTheCaptureUnchangedAtTheLineRate) {
    const auto path = std::filesystem::temp_directory_path() / ("vexasim_replay_" + std::to_string(::getpid()));
    std::vector<std::uint8_t> capture(3000);
    std::mt19937 random(5);
    for (auto& byte : capture) byte = static_cast<std::uint8_t>(random());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(capture.data()), capture.size());

    SimulatorOptions options = Options(Protocol::Binary, 9600);
    options.replayPath = path.string();
    ReceiverSimulator simulator(options);
    PtyPeer peer(simulator.slavePath(), 9600);
    const auto first = RunFor(simulator, peer, 1000ms);
    EXPECT_NEAR(static_cast<double>(first.size()), 960.0, 1.0);
    auto all = first;
    const auto rest = RunFor(simulator, peer, 3000ms);
    all.insert(all.end(), rest.begin(), rest.end());
    EXPECT_EQ(all, capture);
    std::filesystem::remove(path);
}

TEST(SimulatorOnPty, CorruptionDamagesAboutTheRequestedShare) {
    SimulatorOptions options = Options(Protocol::Binary, 115200);
    options.corruptProbability = 0.3;
    ReceiverSimulator simulator(options);
    PtyPeer peer(simulator.slavePath(), 115200);
    simtest::Received received;
    FrameReceiver receiver(received);
    receiver.feed(RunFor(simulator, peer, 40500ms, 500ms));
    const auto& statistics = receiver.statistics();
    const double total = static_cast<double>(statistics.frames + statistics.refusedFrames());
    EXPECT_GT(total, 150.0);
    EXPECT_NEAR(static_cast<double>(statistics.refusedFrames()) / total, 0.3, 0.08);
    EXPECT_EQ(statistics.refusedFrames(), simulator.messagesDamaged());
}

TEST(SimulatorOnPty, RunsInRealTimeOnItsOwnThread) {
    ReceiverSimulator simulator(Options(Protocol::Binary, 115200));
    PtyPeer peer(simulator.slavePath(), 115200);
    simulator.start();
    std::vector<std::uint8_t> bytes;
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    while (std::chrono::steady_clock::now() < deadline && Parse(bytes).frames.size() < 4) {
        const auto read = peer.readUntilTotal(simulator.bytesSent());
        bytes.insert(bytes.end(), read.begin(), read.end());
        std::this_thread::sleep_for(10ms);
    }
    simulator.stop();
    const auto ids = Ids(Parse(bytes));
    ASSERT_GE(ids.size(), 4u);
    EXPECT_EQ(std::vector<int>(ids.begin(), ids.begin() + 4), (std::vector<int>{2, 4, 41, 9}));
}

}  // namespace
}  // namespace vexa::sim
