#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <thread>
#include <variant>
#include <vector>

#include "app/notify_bridge.h"

namespace vexa {
namespace {

// Updates posted from the reader thread within one gathering time reach the user interface together,
// each kind once, and none is lost.
TEST(NotifyBridgeTest, UpdatesOfOneBurstAreTakenTogetherAfterTheGatheringTime) {
    NotifyBridge bridge(std::chrono::milliseconds(500));
    std::vector<LinkUpdate> taken;
    QObject::connect(&bridge, &NotifyBridge::Updated, [&](const LinkUpdate& update) { taken.push_back(update); });

    std::thread reader([&] {
        for (int line = 0; line < 100; ++line) bridge.post(TextLinesWaiting{});
        bridge.post(FixUpdated{});
        bridge.post(SkyUpdated{});
    });
    reader.join();
    QCoreApplication::processEvents();
    EXPECT_TRUE(taken.empty()) << "taken before the burst's gathering time ended";

    QTRY_VERIFY_WITH_TIMEOUT(!taken.empty(), 5000);
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_TRUE(std::holds_alternative<TextLinesWaiting>(taken[0]));
    EXPECT_TRUE(std::holds_alternative<FixUpdated>(taken[1]));
    EXPECT_TRUE(std::holds_alternative<SkyUpdated>(taken[2]));

    // The next burst starts a gathering time of its own.
    bridge.post(ClockTick{});
    QTRY_COMPARE_WITH_TIMEOUT(taken.size(), 4u, 5000);
}

}  // namespace
}  // namespace vexa
