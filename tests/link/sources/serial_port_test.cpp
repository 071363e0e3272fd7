#include "link/sources/serial_port.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "link/sources/byte_source.h"
#include "platform/result_codes.h"
#include "platform/serial_device.h"
#include "support/pseudo_terminal.h"

namespace vexa {
namespace {

using test::PseudoTerminal;

struct SerialPortOnPty : ::testing::Test {
    PseudoTerminal pty;
    std::unique_ptr<SerialPort> port = std::make_unique<SerialPort>(pty.SlavePath());
};

TEST(SerialSpeed, EveryRateOfTheProgramMapsAndNoOther) {
    const struct {
        int baud;
        speed_t speed;
    } rates[] = {{4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
                 {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600}};
    for (const auto& rate : rates) EXPECT_EQ(TermiosSpeed(rate.baud), rate.speed) << rate.baud;
    for (int baud : {0, -1, 300, 2400, 14400, 250000, 1000000}) EXPECT_FALSE(TermiosSpeed(baud)) << baud;
}

TEST_F(SerialPortOnPty, OpensThePseudoTerminalAtTheRequestedSpeed) {
    ASSERT_EQ(port->Open(57600), kResultOk);
    EXPECT_TRUE(port->IsOpen());
    EXPECT_EQ(pty.SlaveSpeed(), B57600);
    EXPECT_EQ(port->Baud(), 57600);
    EXPECT_EQ(port->Name(), pty.SlavePath());
    EXPECT_TRUE(port->TakesCommands());
    EXPECT_TRUE(port->BaudChangeable());
    EXPECT_EQ(port->OpenProblem(), "");
}

TEST(SerialPortByName, EveryOtherNameIsASerialDevicePath) {
    const std::unique_ptr<ByteSource> source = MakeByteSource("/dev/ttyUSB7");
    ASSERT_NE(dynamic_cast<SerialPort*>(source.get()), nullptr);
    EXPECT_EQ(source->Name(), "/dev/ttyUSB7");
    EXPECT_FALSE(source->IsOpen());
}

TEST_F(SerialPortOnPty, OpenFailsForMissingPathsNonTerminalsAndUnknownRates) {
    SerialPort missing("/dev/does-not-exist");
    EXPECT_EQ(missing.Open(4800), kResultCommFailure);
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(missing.OpenError(), ENOENT);
    EXPECT_EQ(missing.OpenProblem(), "/dev/does-not-exist: No such file or directory");
    SerialPort notATerminal("/dev/null");
    EXPECT_EQ(notATerminal.Open(4800), kResultCommFailure);
    EXPECT_FALSE(notATerminal.IsOpen());
    EXPECT_EQ(port->Open(14400), kResultCommFailure);
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
    ASSERT_EQ(port->Open(4800), kResultOk);
    ASSERT_EQ(port->Close(), kResultOk);
    EXPECT_EQ(port->Write(&byte, 1), kResultCommFailure);
    EXPECT_TRUE(pty.Receive(1, std::chrono::milliseconds(50)).empty());
}

TEST_F(SerialPortOnPty, ReadTakesAtMostTheBufferAndLeavesTheRestQueued) {
    ASSERT_EQ(port->Open(115200), kResultOk);
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
    ASSERT_EQ(port->Open(57600), kResultOk);
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
    ASSERT_EQ(port->Open(9600), kResultOk);
    pty.CloseMaster();
    std::uint8_t buffer[16];
    std::size_t count = 0;
    EXPECT_EQ(port->Read(buffer, sizeof buffer, count), ReadOutcome::kEnded);
    EXPECT_TRUE(port->IsOpen()) << "the port is closed by its owner, not by a read";
    EXPECT_EQ(port->Close(), kResultOk);
}

}  // namespace
}  // namespace vexa
