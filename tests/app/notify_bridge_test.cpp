#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <thread>
#include <variant>
#include <vector>

#include "app/notify_bridge.h"

namespace vexa {
namespace {

// A burst from the reader thread reaches the user interface after the gathering time, each kind once:
// text lines at once, the receiver's state no more often than a showing is due. None is lost.
TEST(NotifyBridgeTest, TextLinesComeWithTheBurstAndTheStateAtMostOncePerShowing) {
    NotifyBridge bridge(UpdatePace{std::chrono::milliseconds(300), std::chrono::milliseconds(3000)});
    std::vector<LinkUpdate> taken;
    QObject::connect(&bridge, &NotifyBridge::Updated, [&](const LinkUpdate& update) { taken.push_back(update); });
    const auto burst = [&] {
        std::thread reader([&] {
            for (int line = 0; line < 100; ++line) bridge.post(TextLinesWaiting{});
            bridge.post(FixUpdated{});
            bridge.post(SkyUpdated{});
            bridge.post(FixUpdated{});
        });
        reader.join();
    };

    burst();
    QCoreApplication::processEvents();
    EXPECT_TRUE(taken.empty()) << "taken before the burst's gathering time ended";
    // The first showing is due at once.
    QTRY_COMPARE_WITH_TIMEOUT(taken.size(), 3u, 5000);
    EXPECT_TRUE(std::holds_alternative<TextLinesWaiting>(taken[0]));
    EXPECT_TRUE(std::holds_alternative<FixUpdated>(taken[1]));
    EXPECT_TRUE(std::holds_alternative<SkyUpdated>(taken[2]));

    // The next burst's lines come after its gathering time; its state waits for the next showing.
    burst();
    QTRY_COMPARE_WITH_TIMEOUT(taken.size(), 4u, 5000);
    EXPECT_TRUE(std::holds_alternative<TextLinesWaiting>(taken[3]));
    QTRY_COMPARE_WITH_TIMEOUT(taken.size(), 6u, 10000);
    EXPECT_TRUE(std::holds_alternative<FixUpdated>(taken[4]));
    EXPECT_TRUE(std::holds_alternative<SkyUpdated>(taken[5]));
}

}  // namespace
}  // namespace vexa
