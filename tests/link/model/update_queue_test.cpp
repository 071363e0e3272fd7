#include "link/model/update_queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace vexa {
namespace {

using namespace std::chrono_literals;

TEST(UpdateQueue, AFloodFoldsIntoOneUpdateOfEachKindInTheOrderTheKindsArrived) {
    int wakes = 0;
    UpdateQueue queue([&] { ++wakes; });
    for (int i = 0; i < 100000; ++i) {
        queue.post(MessageDelivered{MessageId::DevelopmentText});
        queue.post(TextLinesWaiting{});
        if (i % 10 == 0) queue.post(MessageDelivered{MessageId::NavData});
        if (i % 10 == 9) queue.post(FixUpdated{});
        queue.post(MessageToShow{"Disk is full. Log file will be closed."});
    }
    EXPECT_EQ(wakes, 1) << "one wake for every update until the take";
    EXPECT_EQ(queue.TakeAll(), (std::vector<LinkUpdate>{MessageDelivered{MessageId::DevelopmentText}, TextLinesWaiting{},
                                                        MessageDelivered{MessageId::NavData},
                                                        MessageToShow{"Disk is full. Log file will be closed."},
                                                        FixUpdated{}}));
    EXPECT_TRUE(queue.TakeAll().empty());
    queue.post(LinkLost{});
    EXPECT_EQ(wakes, 2) << "an update that finds the queue empty wakes it again";
    EXPECT_EQ(queue.TakeAll(), (std::vector<LinkUpdate>{LinkLost{}}));
}

TEST(UpdateQueue, DifferentMessagesToShowWaitUpToTheLimit) {
    UpdateQueue queue;
    for (int i = 0; i < 100; ++i) queue.post(MessageToShow{"failure " + std::to_string(i)});
    const std::vector<LinkUpdate> taken = queue.TakeAll();
    ASSERT_EQ(taken.size(), UpdateQueue::kMostMessages);
    EXPECT_EQ(taken.front(), LinkUpdate{MessageToShow{"failure 0"}}) << "the first ones are kept";
}

TEST(UpdateQueue, AWakeEndsAWaitWithoutAnUpdate) {
    UpdateQueue queue;
    std::thread waker([&] {
        std::this_thread::sleep_for(50ms);
        queue.Wake();
    });
    EXPECT_TRUE(queue.TakeAll(60s).empty());
    waker.join();
}

}  // namespace
}  // namespace vexa
