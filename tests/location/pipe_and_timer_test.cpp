#include <gtest/gtest.h>

#include <thread>

#include "counted_message.h"
#include "location/session/session_timer.h"
#include "support/manual_clock.h"
#include "location/transport/message_pipe.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;
using test::CountedMessage;

std::unique_ptr<Message> numbered(int n, std::atomic<int>* released = nullptr) {
    return std::make_unique<CountedMessage>(0x02, static_cast<std::uint8_t>(n), released);
}

TEST(MessagePipe, ThirtyThirdPutIsRefusedAndReleased) {
    MessagePipe pipe;
    std::atomic<int> released{0};
    for (int n = 0; n < 32; ++n) EXPECT_EQ(pipe.put(numbered(n, &released)), static_cast<std::size_t>(n + 1));
    EXPECT_EQ(pipe.put(numbered(32, &released)), 32U);
    EXPECT_EQ(released, 1);
    for (int n = 0; n < 32; ++n) {
        auto message = pipe.take();
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->id(), n);
    }
    EXPECT_EQ(pipe.take(), nullptr);
}

TEST(MessagePipe, IndexesWrap) {
    MessagePipe pipe;
    for (int n = 0; n < 40; ++n) {
        pipe.put(numbered(n));
        EXPECT_TRUE(pipe.signalled());
        EXPECT_TRUE(pipe.holds(0x02) && !pipe.holds(0xAA)) << n;
        EXPECT_EQ(pipe.take()->id(), n);
        EXPECT_FALSE(pipe.signalled());
    }
    EXPECT_EQ(pipe.readIndex(), 8U);
    EXPECT_EQ(pipe.writeIndex(), 8U);
    EXPECT_EQ(pipe.count(), 0U);
}

TEST(MessagePipe, WaitTakeTimesOutOnceTheLastMessageIsTaken) {
    MessagePipe pipe;
    pipe.put(numbered(1));
    EXPECT_NE(pipe.waitTake(0ms), nullptr);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(pipe.waitTake(20ms), nullptr);
    EXPECT_GE(std::chrono::steady_clock::now() - before, 20ms);
}

TEST(MessagePipe, WaitTakeWakesForAMessageFromAnotherThread) {
    MessagePipe pipe;
    std::thread transport([&pipe] { pipe.put(numbered(7)); });
    auto message = pipe.waitTake(10s);
    transport.join();
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->id(), 7);
}

// A stopping reader must not wait out its time-out; an interruption before the wait ends it too.
TEST(MessagePipe, AnInterruptedWaitEndsWithoutAMessage) {
    MessagePipe pipe;
    std::thread stopper([&] { pipe.interruptWait(); });
    EXPECT_EQ(pipe.waitTake(std::chrono::hours(1)), nullptr);
    stopper.join();
    pipe.interruptWait();
    EXPECT_EQ(pipe.waitTake(std::chrono::hours(1)), nullptr);
}

TEST(MessagePipe, FlushReleasesEverything) {
    MessagePipe pipe;
    std::atomic<int> released{0};
    for (int n = 0; n < 5; ++n) pipe.put(numbered(n, &released));
    pipe.take();
    pipe.flush();
    EXPECT_EQ(released, 5);
    EXPECT_EQ(pipe.count() + pipe.readIndex() + pipe.writeIndex(), 0U);
    EXPECT_FALSE(pipe.signalled());
}

class SessionTimerTest : public ::testing::Test {
protected:
    test::ManualClock clock;
    SessionTimer timer{clock};
};

TEST_F(SessionTimerTest, AdvancesInWholeSecondsWhileRunning) {
    timer.setLimit(3000);
    EXPECT_TRUE(timer.start());
    const std::pair<int, std::uint32_t> steps[] = {{0, 0}, {999, 0}, {1000, 1000}, {2999, 2000}, {3000, 3000}};
    const auto started = clock.SteadyNow();
    for (const auto& [after, elapsed] : steps) {
        clock.SetSteady(started + std::chrono::milliseconds(after));
        EXPECT_EQ(timer.elapsedMs(), elapsed) << after;
        EXPECT_EQ(timer.expired(), elapsed >= 3000) << after;
    }
}

TEST_F(SessionTimerTest, StartingARunningTimerChangesNothing) {
    timer.start();
    clock.Advance(2500ms);
    EXPECT_FALSE(timer.start());
    EXPECT_EQ(timer.elapsedMs(), 2000U);
}

TEST_F(SessionTimerTest, StopKeepsTheCountAndResetStartsAgain) {
    timer.setLimit(1000);
    timer.start();
    clock.Advance(1500ms);
    timer.stop();
    clock.Advance(10s);
    EXPECT_EQ(timer.elapsedMs(), 1000U);
    EXPECT_FALSE(timer.expired());
    EXPECT_TRUE(timer.start());
    clock.Advance(1000ms);
    EXPECT_EQ(timer.elapsedMs(), 2000U);
    clock.Advance(200ms);
    timer.reset();
    EXPECT_EQ(timer.elapsedMs(), 0U);
    clock.Advance(1000ms);
    EXPECT_EQ(timer.elapsedMs(), 1000U);
}

}  // namespace
}  // namespace vexa
