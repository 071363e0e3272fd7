#include "platform/serial_device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <numeric>
#include <thread>
#include <vector>

#include "support/pseudo_terminal.h"

namespace vexa {
namespace {

using test::PseudoTerminal;
using namespace std::chrono_literals;

// The device end of a pseudo-terminal, opened and set up as the link opens a receiver's port.
struct DeviceOnPty : ::testing::Test {
    void SetUp() override {
        fd = OpenSerialDevice(pty.SlavePath());
        ASSERT_GE(fd, 0);
        ASSERT_TRUE(ConfigureSerialDevice(fd, 115200));
    }
    void TearDown() override {
        if (fd >= 0) CloseSerialDevice(fd);
    }
    // Reads until something other than "nothing waiting" comes or a second has passed.
    ReadOutcome ReadSoon(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) const {
        const auto deadline = std::chrono::steady_clock::now() + 1s;
        ReadOutcome outcome = ReadOutcome::kNothing;
        while ((outcome = ReadSerialDevice(fd, buffer, capacity, count)) == ReadOutcome::kNothing &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
        return outcome;
    }

    PseudoTerminal pty;
    int fd = -1;
};

TEST_F(DeviceOnPty, ReadTellsBytesFromNothingWaitingFromAVanishedDevice) {
    std::uint8_t buffer[4];
    std::size_t count = 99;
    EXPECT_EQ(ReadSerialDevice(fd, buffer, sizeof buffer, count), ReadOutcome::kNothing);
    EXPECT_EQ(count, 0u);

    pty.Send(std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6});
    ASSERT_EQ(ReadSoon(buffer, sizeof buffer, count), ReadOutcome::kBytes);
    EXPECT_EQ(count, 4u) << "at most the buffer";
    EXPECT_EQ(ReadSerialDevice(fd, buffer, sizeof buffer, count), ReadOutcome::kBytes);
    EXPECT_EQ(count, 2u) << "the rest stayed queued";
    EXPECT_EQ(buffer[1], 6);
    EXPECT_EQ(ReadSerialDevice(fd, buffer, sizeof buffer, count), ReadOutcome::kNothing);

    // The receiver's end goes away, as when a USB receiver is unplugged: the device hangs up.
    pty.CloseMaster();
    EXPECT_EQ(ReadSoon(buffer, sizeof buffer, count), ReadOutcome::kEnded);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(ReadSerialDevice(fd, buffer, sizeof buffer, count), ReadOutcome::kEnded) << "and stays ended";
}

TEST_F(DeviceOnPty, AWriteLargerThanTheLineTakesIsContinuedUntilEveryByteIsOut) {
    // Far more than a pseudo-terminal buffers, so the device takes it in partial writes.
    std::vector<std::uint8_t> bytes(256 * 1024);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    std::vector<std::uint8_t> received;
    std::thread receiver([&] { received = pty.Receive(bytes.size(), 30s); });
    const bool written = WriteSerialDevice(fd, bytes.data(), bytes.size(), 30s);
    receiver.join();
    EXPECT_TRUE(written);
    ASSERT_EQ(received.size(), bytes.size());
    EXPECT_TRUE(received == bytes) << "every byte, in order, none twice";
}

TEST_F(DeviceOnPty, AWriteNobodyTakesFailsAtItsTimeOutInsteadOfReportingSuccess) {
    const std::vector<std::uint8_t> bytes(256 * 1024, 0x55);
    EXPECT_FALSE(WriteSerialDevice(fd, bytes.data(), bytes.size(), 20ms));
    EXPECT_FALSE(pty.Receive(1, 100ms).empty()) << "what fitted was written before the time-out";
}

TEST(SerialDeviceOpen, RefusesFilesThatAreNotTerminalsAndRatesTheProgramDoesNotUse) {
    EXPECT_LT(OpenSerialDevice("/dev/null"), 0);
    EXPECT_LT(OpenSerialDevice("/no/such/device"), 0);
    PseudoTerminal pty;
    const int fd = OpenSerialDevice(pty.SlavePath());
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(ConfigureSerialDevice(fd, 2400));
    EXPECT_TRUE(ConfigureSerialDevice(fd, 4800));
    EXPECT_EQ(pty.SlaveSpeed(), B4800);
    EXPECT_TRUE(CloseSerialDevice(fd));
}

}  // namespace
}  // namespace vexa
