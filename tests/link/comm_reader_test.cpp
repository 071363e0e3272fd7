#include "link/comm_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "link/sources/serial_port.h"
#include "platform/result_codes.h"
#include "support/pseudo_terminal.h"

namespace vexa {
namespace {

using test::PseudoTerminal;
using namespace std::chrono_literals;

// A serial port that remembers how each of the reader's waits on it ended.
class WatchedPort : public SerialPort {
public:
    using SerialPort::SerialPort;
    WakeEvent::Wait WaitReadable(const WakeEvent& wake, std::chrono::milliseconds timeout) override {
        const WakeEvent::Wait outcome = SerialPort::WaitReadable(wake, timeout);
        std::lock_guard guard(mutex_);
        waits_.push_back(outcome);
        return outcome;
    }
    std::vector<WakeEvent::Wait> Waits() const {
        std::lock_guard guard(mutex_);
        return waits_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<WakeEvent::Wait> waits_;
};

struct Collector : ReceivedBytes {
    std::mutex mutex;
    std::string bytes;
    std::atomic<int> ends{0};
    std::atomic<int> idles{0};
    void onBytes(std::span<const std::uint8_t> chunk) override {
        std::lock_guard guard(mutex);
        bytes.append(chunk.begin(), chunk.end());
    }
    void onIdle() override { ++idles; }
    void onEnded() override { ++ends; }
    std::string Received() {
        std::lock_guard guard(mutex);
        return bytes;
    }
};

template <typename Condition>
bool WaitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

struct ReaderOnPty : ::testing::Test {
    PseudoTerminal pty;
    WatchedPort port{pty.SlavePath()};
    Collector consumer;
    CommReader reader{consumer};

    void StartReadingFromPort(int baud = 57600) {
        ASSERT_EQ(reader.Start(), kResultOk);
        reader.BetweenChunks([&] {
            reader.UseSource(&port);
            ASSERT_EQ(port.Open(baud), kResultOk);
        });
    }
};

// The reader wakes for the bytes themselves, for an action between chunks and for Stop; none of
// them waits out the idle wait.
TEST_F(ReaderOnPty, WaitsEndForBytesActionsAndStopNotForTheTimeOut) {
    StartReadingFromPort();
    pty.Send("$GPGGA,1*00\r\n");
    ASSERT_TRUE(WaitFor([&] { return consumer.Received() == "$GPGGA,1*00\r\n"; }));
    // Bytes that come while the reader is still reading are read without a wait; these come once it
    // has gone idle again, so a wait must end for them.
    const int idles = consumer.idles;
    ASSERT_TRUE(WaitFor([&] { return consumer.idles > idles; }));
    pty.Send("$GPGGA,2*00\r\n");
    ASSERT_TRUE(WaitFor([&] { return consumer.Received().size() == 26; }));
    const std::vector<WakeEvent::Wait> waitsForBytes = port.Waits();
    EXPECT_NE(std::find(waitsForBytes.begin(), waitsForBytes.end(), WakeEvent::Wait::Readable), waitsForBytes.end())
        << "the bytes ended a wait";

    ASSERT_TRUE(WaitFor([&] { return port.Waits().size() >= 2; })) << "the reader waits again";
    const std::size_t waitsBefore = port.Waits().size();
    reader.BetweenChunks([] {});
    ASSERT_TRUE(WaitFor([&] { return port.Waits().size() > waitsBefore; }));
    EXPECT_EQ(port.Waits()[waitsBefore], WakeEvent::Wait::Woken) << "the action ended the wait";

    const std::size_t waitsAtStop = port.Waits().size();
    EXPECT_EQ(reader.Stop(), kResultOk);
    EXPECT_FALSE(reader.Running());
    const std::vector<WakeEvent::Wait> waits = port.Waits();
    for (std::size_t i = waitsAtStop; i < waits.size(); ++i) {
        EXPECT_NE(waits[i], WakeEvent::Wait::TimedOut) << "Stop does not wait out a wait";
    }
    EXPECT_EQ(port.Close(), kResultOk);
}

TEST_F(ReaderOnPty, ReadsFromTheSourceItIsHandedAndNoLongerFromTheOneBefore) {
    StartReadingFromPort();
    pty.Send("first ");
    ASSERT_TRUE(WaitFor([&] { return consumer.Received() == "first "; }));

    PseudoTerminal nextPty;
    SerialPort next(nextPty.SlavePath());
    reader.BetweenChunks([&] {
        reader.UseSource(&next);
        ASSERT_EQ(next.Open(57600), kResultOk);
    });
    pty.Send("stale ");
    nextPty.Send("second");
    ASSERT_TRUE(WaitFor([&] { return consumer.Received().size() >= 12; }));
    EXPECT_EQ(consumer.Received(), "first second");
    EXPECT_EQ(reader.Stop(), kResultOk);
    EXPECT_EQ(next.Close(), kResultOk);
    EXPECT_EQ(port.Close(), kResultOk);
}

// Without a source the consumer hears nothing, so that its owner may feed it meanwhile.
TEST(CommReaderWithoutSource, WaitsForOneAndStopsAtOnce) {
    Collector consumer;
    CommReader reader(consumer);
    ASSERT_EQ(reader.Start(), kResultOk);
    EXPECT_EQ(reader.Start(), kResultOk) << "a second start keeps the running thread";
    reader.BetweenChunks([] {});
    EXPECT_EQ(reader.Stop(), kResultOk);
    EXPECT_EQ(reader.Stop(), kResultOk) << "stopping a stopped reader is no failure";
    EXPECT_EQ(consumer.Received(), "");
    EXPECT_EQ(consumer.idles, 0);
}

// The reader closes a port whose device went away and says so once, not at every wait.
TEST_F(ReaderOnPty, TheReaderClosesAVanishedPortAndReportsItOnce) {
    StartReadingFromPort();
    pty.CloseMaster();
    ASSERT_TRUE(WaitFor([&] { return consumer.ends > 0; }));
    EXPECT_EQ(consumer.ends, 1);
    EXPECT_FALSE(port.IsOpen());
    const int idlesThen = consumer.idles;
    ASSERT_TRUE(WaitFor([&] { return consumer.idles >= idlesThen + 3; }));
    EXPECT_EQ(consumer.ends, 1) << "later waits find a closed port, not a new end";
}

// A protocol switch or a close runs between the reader's chunks: a chunk read before it is handed on
// whole first, so nothing read at the old speed reaches the receive path afterwards.
TEST_F(ReaderOnPty, AnActionBetweenChunksWaitsForTheChunkInHand) {
    struct SlowConsumer : ReceivedBytes {
        std::atomic<bool> inChunk{false};
        std::atomic<int> chunks{0};
        void onBytes(std::span<const std::uint8_t>) override {
            inChunk = true;
            std::this_thread::sleep_for(100ms);
            inChunk = false;
            ++chunks;
        }
        void onIdle() override {}
        void onEnded() override {}
    } slow;
    CommReader slowReader(slow);
    ASSERT_EQ(slowReader.Start(), kResultOk);
    slowReader.BetweenChunks([&] {
        slowReader.UseSource(&port);
        ASSERT_EQ(port.Open(57600), kResultOk);
    });
    pty.Send(std::vector<std::uint8_t>(10, 0x55));
    ASSERT_TRUE(WaitFor([&] { return slow.inChunk.load(); }));
    bool overlapped = true;
    slowReader.BetweenChunks([&] { overlapped = slow.inChunk; });
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(slow.chunks, 1);
    EXPECT_EQ(slowReader.Stop(), kResultOk);
    EXPECT_EQ(port.Close(), kResultOk);
}

}  // namespace
}  // namespace vexa
