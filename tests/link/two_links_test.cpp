// Two links side by side, each with its own context and model, on two simulated receivers running
// at once on real pseudo-terminals: nothing of one receiver leaks into the other's.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <optional>
#include <string>
#include <thread>

#include "link/gps_comm.h"
#include "platform/result_codes.h"
#include "sim/receiver_simulator.h"
#include "support/link_fixture.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;

struct ReceiverCase {
    sim::Protocol protocol;
    int baud;
    double latitude;
    double longitude;
};

// A receiver that wakes with a fix after a second, at a place of its own.
sim::SimulatorOptions Receiver(const ReceiverCase& receiver) {
    sim::SimulatorOptions options;
    options.receiver.protocol = receiver.protocol;
    options.receiver.baud = receiver.baud;
    options.receiver.origin = {receiver.latitude, receiver.longitude, 25.0};
    options.receiver.startUnixSeconds = 1.7e9;
    options.receiver.timesToFirstFix = {1, 2, 3, 4};
    return options;
}

struct LinkOnSimulator {
    explicit LinkOnSimulator(const ReceiverCase& receiver) : simulator(Receiver(receiver)) {}

    // The latest fix with a position, waiting for one at most `patience`.
    std::optional<GnssFix> AwaitFix(std::chrono::seconds patience) {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (std::chrono::steady_clock::now() < deadline) {
            if (std::optional<GnssFix> fix = link.comm->Model().LatestFix(); fix && fix->hasPosition()) return fix;
            std::this_thread::sleep_for(20ms);
        }
        return std::nullopt;
    }

    sim::ReceiverSimulator simulator;
    test::LinkUnderTest link;
};

TEST(TwoLinks, ABinaryAndAnNmeaReceiverAtOnceEachFillTheirOwnModel) {
    const ReceiverCase binaryReceiver{sim::Protocol::Binary, 57600, 37.3875, -121.9720};
    const ReceiverCase nmeaReceiver{sim::Protocol::Nmea, 4800, 45.2058, 7.5761};
    LinkOnSimulator binary(binaryReceiver);
    LinkOnSimulator nmea(nmeaReceiver);
    ASSERT_EQ(binary.link.comm->Connect(binary.simulator.slavePath(), binaryReceiver.baud), kResultOk);
    ASSERT_EQ(nmea.link.comm->Connect(nmea.simulator.slavePath(), nmeaReceiver.baud), kResultOk);
    binary.simulator.start();
    nmea.simulator.start();

    const std::optional<GnssFix> binaryFix = binary.AwaitFix(60s);
    const std::optional<GnssFix> nmeaFix = nmea.AwaitFix(60s);
    binary.simulator.stop();
    nmea.simulator.stop();
    ASSERT_TRUE(binaryFix);
    ASSERT_TRUE(nmeaFix);
    // A few kilometres at most from where each receiver is: never the other's place.
    EXPECT_NEAR(*binaryFix->latitude, binaryReceiver.latitude, 0.05);
    EXPECT_NEAR(*binaryFix->longitude, binaryReceiver.longitude, 0.05);
    EXPECT_NEAR(*nmeaFix->latitude, nmeaReceiver.latitude, 0.05);
    EXPECT_NEAR(*nmeaFix->longitude, nmeaReceiver.longitude, 0.05);

    EXPECT_EQ(binary.link.context.LinkProtocol, kBinaryProtocol);
    EXPECT_EQ(nmea.link.context.LinkProtocol, kNmeaProtocol);
    EXPECT_TRUE(binary.link.comm->Model().Snapshot().nav) << "the binary records stay with the binary link";
    EXPECT_FALSE(nmea.link.comm->Model().Snapshot().nav);
    EXPECT_TRUE(binary.link.comm->Model().LatestSky());
    EXPECT_TRUE(nmea.link.comm->Model().LatestSky());
    ASSERT_EQ(binary.link.comm->Disconnect(), kResultOk);
    ASSERT_EQ(nmea.link.comm->Disconnect(), kResultOk);
    EXPECT_EQ(binary.link.comm->CountsAtLastPause().received.sentences, 0u) << "no sentence crossed over";
    EXPECT_EQ(nmea.link.comm->CountsAtLastPause().received.frames, 0u) << "no frame crossed over";
}

}  // namespace
}  // namespace vexa
