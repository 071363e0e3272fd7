#include "link/serial_port.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <span>
#include <thread>
#include <vector>

#include "link/comm_reader.h"
#include "platform/result_codes.h"
#include "platform/serial_device.h"
#include "support/pseudo_terminal.h"

namespace vexa {
namespace {

using test::PseudoTerminal;

struct SerialPortOnPty : ::testing::Test {
    SerialPortOnPty() : port(TakePort()) {}
    ~SerialPortOnPty() override { GiveBackPort(port); }
    SerialPort* port;
    PseudoTerminal pty;
};

TEST(SerialSpeed, EveryRateOfTheProgramMapsAndNoOther) {
    const struct {
        int baud;
        speed_t speed;
    } rates[] = {{4800, B4800}, {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}};
    for (const auto& rate : rates) EXPECT_EQ(TermiosSpeed(rate.baud), rate.speed) << rate.baud;
    for (int baud : {0, -1, 300, 2400, 14400, 230400}) EXPECT_FALSE(TermiosSpeed(baud)) << baud;
}

TEST_F(SerialPortOnPty, OpensThePseudoTerminalAtTheRequestedSpeed) {
    ASSERT_EQ(port->Open(pty.SlavePath(), 57600), kResultOk);
    EXPECT_TRUE(port->IsOpen());
    EXPECT_EQ(pty.SlaveSpeed(), B57600);
    EXPECT_EQ(port->Baud(), 57600);
}

TEST_F(SerialPortOnPty, OpenFailsForMissingPathsNonTerminalsAndUnknownRates) {
    EXPECT_EQ(port->Open("/dev/does-not-exist", 4800), kResultCommFailure);
    EXPECT_FALSE(port->IsOpen());
    EXPECT_EQ(port->Open("/dev/null", 4800), kResultCommFailure);
    EXPECT_FALSE(port->IsOpen());
    EXPECT_EQ(port->Open(pty.SlavePath(), 14400), kResultCommFailure);
    EXPECT_FALSE(port->IsOpen());
}

TEST_F(SerialPortOnPty, ClosedPortFailsEveryOperation) {
    std::uint8_t byte = 0;
    std::size_t count = 7;
    EXPECT_EQ(port->Write(&byte, 1), kResultCommFailure);
    EXPECT_EQ(port->Read(&byte, 1, count), ReadOutcome::kNothing) << "a closed port has nothing to read";
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(port->Configure(4800), kResultCommFailure);
    EXPECT_EQ(port->Close(), kResultCommFailure);
    ASSERT_EQ(port->Open(pty.SlavePath(), 4800), kResultOk);
    ASSERT_EQ(port->Close(), kResultOk);
    EXPECT_EQ(port->Write(&byte, 1), kResultCommFailure);
    EXPECT_TRUE(pty.Receive(1, std::chrono::milliseconds(50)).empty());
}

TEST_F(SerialPortOnPty, ReadTakesAtMostTheBufferAndLeavesTheRestQueued) {
    ASSERT_EQ(port->Open(pty.SlavePath(), 115200), kResultOk);
    std::vector<std::uint8_t> sent(3000);
    for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<std::uint8_t>(i * 7);
    pty.Send(sent);
    std::vector<std::uint8_t> received;
    std::uint8_t buffer[1024];
    std::size_t count = 0;
    for (int attempts = 0; received.size() < sent.size() && attempts < 1000; ++attempts) {
        if (port->Read(buffer, sizeof buffer, count) != ReadOutcome::kBytes) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        EXPECT_LE(count, sizeof buffer);
        received.insert(received.end(), buffer, buffer + count);
    }
    EXPECT_EQ(received, sent);
    EXPECT_EQ(port->Read(buffer, sizeof buffer, count), ReadOutcome::kNothing);
}

TEST_F(SerialPortOnPty, BaudChangeKeepsThePortOpenAndDiscardsWaitingInput) {
    ASSERT_EQ(port->Open(pty.SlavePath(), 57600), kResultOk);
    pty.Send("$GPGGA,stale*00\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(port->Configure(4800), kResultOk);
    EXPECT_TRUE(port->IsOpen());
    EXPECT_EQ(pty.SlaveSpeed(), B4800);
    std::uint8_t buffer[64];
    std::size_t count = 0;
    EXPECT_EQ(port->Read(buffer, sizeof buffer, count), ReadOutcome::kNothing);
    pty.Send("x");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(port->Read(buffer, sizeof buffer, count), ReadOutcome::kBytes);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(port->Configure(2400), kResultCommFailure);
    EXPECT_TRUE(port->IsOpen());
}

TEST_F(SerialPortOnPty, ReadsReportTheEndOnceTheDeviceIsGone) {
    ASSERT_EQ(port->Open(pty.SlavePath(), 9600), kResultOk);
    pty.CloseMaster();
    std::uint8_t buffer[16];
    std::size_t count = 0;
    EXPECT_EQ(port->Read(buffer, sizeof buffer, count), ReadOutcome::kEnded);
    EXPECT_TRUE(port->IsOpen()) << "the port is closed by its owner, not by a read";
    EXPECT_EQ(port->Close(), kResultOk);
}

// The reader closes a port whose device went away and says so once, not at every poll.
TEST_F(SerialPortOnPty, TheReaderClosesAVanishedPortAndReportsItOnce) {
    struct EndCounter : ReceivedBytes {
        std::atomic<int> ends{0};
        std::atomic<int> idles{0};
        void onBytes(std::span<const std::uint8_t>) override {}
        void onIdle() override { ++idles; }
        void onEnded() override { ++ends; }
    } consumer;
    CommReader reader(consumer);
    ASSERT_EQ(reader.Start(), kResultOk);
    ASSERT_EQ(reader.Port()->Open(pty.SlavePath(), 57600), kResultOk);
    pty.CloseMaster();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (consumer.ends == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(consumer.ends, 1);
    EXPECT_FALSE(reader.Port()->IsOpen());
    const int idlesThen = consumer.idles;
    while (consumer.idles < idlesThen + 3 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(consumer.ends, 1) << "later polls find a closed port, not a new end";
}

TEST(PortTable, HandsOutPortsInOrderWhileTheLockPoolLasts) {
    std::vector<SerialPort*> ports;
    // Each port also takes a lock from the pool of ten.
    for (SerialPort* port = TakePort(); port != nullptr; port = TakePort()) ports.push_back(port);
    EXPECT_EQ(ports.size(), 10u) << "the lock pool is the limit";
    for (std::size_t i = 1; i < ports.size(); ++i) EXPECT_EQ(ports[i], ports[i - 1] + 1);
    SerialPort* last = ports.back();
    GiveBackPort(last);
    ports.pop_back();
    EXPECT_EQ(TakePort(), last) << "the last one given back is the next one taken";
    ports.push_back(last);
    for (auto it = ports.rbegin(); it != ports.rend(); ++it) GiveBackPort(*it);
}

// A protocol switch or a close runs between the reader's chunks: a chunk read before it is handed on
// whole first, so nothing read at the old speed reaches the receive path afterwards.
TEST_F(SerialPortOnPty, AnActionBetweenChunksWaitsForTheChunkInHand) {
    struct SlowConsumer : ReceivedBytes {
        std::atomic<bool> inChunk{false};
        std::atomic<int> chunks{0};
        void onBytes(std::span<const std::uint8_t>) override {
            inChunk = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            inChunk = false;
            ++chunks;
        }
        void onIdle() override {}
        void onEnded() override {}
    } consumer;
    CommReader reader(consumer);
    ASSERT_EQ(reader.Start(), kResultOk);
    ASSERT_EQ(reader.Port()->Open(pty.SlavePath(), 57600), kResultOk);
    pty.Send(std::vector<std::uint8_t>(10, 0x55));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!consumer.inChunk && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(consumer.inChunk);
    bool overlapped = true;
    reader.BetweenChunks([&] { overlapped = consumer.inChunk; });
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(consumer.chunks, 1);
    reader.Port()->Close();
}

}  // namespace
}  // namespace vexa
