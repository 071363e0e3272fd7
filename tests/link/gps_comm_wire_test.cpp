#include <gtest/gtest.h>

#include "link/connection/connection_controller.h"
#include "link/receiver_commands.h"
#include "support/link_fixture.h"
#include "support/pseudo_terminal.h"
#include "receiver/commands/command_encoder.h"
#include "receiver/nmea/nmea_checksum.h"

namespace vexa {
namespace {

using test::Bytes;
using test::Frame;
using test::Join;
using test::LinkUnderTest;
using test::PseudoTerminal;
using test::Text;

// The frame the link writes for a command, for comparison with what arrives at the receiver.
Bytes Encoded(const CommandMessage& message, bool channelByte = false) {
    Bytes frame(1024);
    const EncodeResult encoded = EncodeMessage(message.id, message.block.data(), message.length, frame, channelByte);
    frame.resize(encoded.frameLength);
    return frame;
}

struct WireLink : ::testing::Test {
    void SetUp() override { ASSERT_EQ(link.comm->Connect(receiver.SlavePath(), 57600), kResultOk); }
    PseudoTerminal receiver;
    LinkUnderTest link;
};

TEST_F(WireLink, TheReaderThreadDeliversWhatTheReceiverSends) {
    receiver.Send(Join({Text("$GPGSA,A,3,,,,,,,,,,,,,1.0,1.0,1.0*30\r\n"), Frame(test::NavPayload(5))}));
    ASSERT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::NavData}));
    EXPECT_EQ(link.context.LinkProtocol, kBinaryProtocol);
    ASSERT_EQ(link.delivered.deliveries().size(), 2u);
    EXPECT_EQ(link.delivered.deliveries()[0].id, 255);
}

TEST_F(WireLink, CommandsAreWrittenAsFrames) {
    PollSoftwareVersion(*link.comm);
    EXPECT_EQ(receiver.Receive(10), (Bytes{0xA0, 0xA2, 0x00, 0x02, 0x84, 0x00, 0x00, 0x84, 0xB0, 0xB3}));
}

TEST_F(WireLink, ColdStartForOspreyCarriesTheCommandChannel) {
    link.context.ProductSelection = kOsprey;
    link.context.DebugToggleCount = 7;
    SendReset(*link.comm, ResetKind::Cold);
    const Bytes frame = receiver.Receive(34);
    ASSERT_EQ(frame.size(), 34u);
    EXPECT_EQ((Bytes(frame.begin(), frame.begin() + 6)), (Bytes{0xA0, 0xA2, 0x00, 0x1A, 0xEE, 0x80}));
    EXPECT_EQ(frame[29], 0x86);
    EXPECT_EQ((Bytes(frame.end() - 4, frame.end())), (Bytes{0x01, 0xF4, 0xB0, 0xB3}));
    EXPECT_EQ(link.context.DebugToggleCount, 0);
}

TEST_F(WireLink, HeldFramesGoOutInOneWriteWhenTheReceiverAllowsSendingAgain) {
    receiver.Send(Frame(test::OkToSendPayload(0)));
    ASSERT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::OkToSend}));
    const std::array<CommandMessage, 2> power = PowerManagementCommands(PowerSettings{});
    Bytes expected;
    for (const CommandMessage& message : {power[0], power[0], power[0]}) {
        EXPECT_EQ(link.comm->Send(message.id, message.block.data(), message.length), kResultOk);
        expected = Join({expected, Encoded(message)});
    }
    EXPECT_EQ(link.comm->PendingOutputCount(), expected.size());
    EXPECT_EQ(link.comm->WriteRaw(expected.data(), 4), kResultOk) << "the location client's bytes are dropped meanwhile";
    EXPECT_TRUE(receiver.Receive(1, std::chrono::milliseconds(100)).empty());
    receiver.Send(Frame(test::OkToSendPayload(1)));
    EXPECT_EQ(receiver.Receive(expected.size()), expected);
    EXPECT_EQ(link.comm->PendingOutputCount(), 0u);
    EXPECT_EQ(link.comm->Model().OkToSend(), 1);
}

// What one receiver said about sending, and the frames held for it, are not the next receiver's.
TEST_F(WireLink, DisconnectForgetsTheWithdrawnPermissionAndTheFramesHeldUnderIt) {
    receiver.Send(Frame(test::OkToSendPayload(0)));
    ASSERT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::OkToSend}));
    PollSoftwareVersion(*link.comm);
    PollClockStatus(*link.comm);
    ASSERT_GT(link.comm->PendingOutputCount(), 0u);

    ASSERT_EQ(link.comm->Disconnect(), kResultOk);
    EXPECT_EQ(link.comm->PendingOutputCount(), 0u);
    EXPECT_EQ(link.comm->Model().OkToSend(), 0);

    // The same receiver, connected again, allows sending: the old frames do not come out.
    ASSERT_EQ(link.comm->Connect(receiver.SlavePath(), 57600), kResultOk);
    receiver.Send(Frame(test::OkToSendPayload(1)));
    ASSERT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::OkToSend}));
    EXPECT_TRUE(receiver.Receive(1, std::chrono::milliseconds(200)).empty());

    // A new receiver that never says OkToSend still gets the commands sent to it.
    receiver.Send(Frame(test::OkToSendPayload(0)));
    ASSERT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::OkToSend}));
    ASSERT_EQ(link.comm->Disconnect(), kResultOk);
    PseudoTerminal next;
    ASSERT_EQ(link.comm->Connect(next.SlavePath(), 57600), kResultOk);
    PollSoftwareVersion(*link.comm);
    const Bytes poll = Encoded(SoftwareVersionPoll());
    EXPECT_EQ(next.Receive(poll.size()), poll);
    EXPECT_TRUE(next.Receive(1, std::chrono::milliseconds(100)).empty());
}

TEST_F(WireLink, ProtocolSwitchToBinaryWritesTheSentenceAndMovesTo57600) {
    ASSERT_EQ(link.comm->ChangeBaud(4800), kResultOk);
    receiver.Send(Text("$GPGSA,A,3,,,,,,,,,,,,,1.0,1.0,1.0*30\r\n"));
    ASSERT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::DevelopmentText}));
    int savedBaud = 0;
    std::chrono::milliseconds waited{0};
    SwitchProtocol(*link.comm, {[&](int baud) { savedBaud = baud; }, [&](std::chrono::milliseconds ms) { waited = ms; }});
    const std::string sentence = "$PVXA100,0,57600,8,1,0";
    const Bytes written = receiver.Receive(sentence.size() + 5);
    EXPECT_EQ(std::string(written.begin(), written.end()), WithNmeaChecksum(sentence));
    EXPECT_EQ(waited, std::chrono::milliseconds(750));
    EXPECT_EQ(receiver.SlaveSpeed(), B57600);
    EXPECT_EQ(link.context.LinkProtocol, kNotConnected);
    EXPECT_EQ(savedBaud, 57600);
}

TEST_F(WireLink, ProtocolSwitchToNmeaWritesTheRequestFrameAndMovesTo4800) {
    receiver.Send(Frame(test::OkToSendPayload(1)));
    ASSERT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::OkToSend}));
    int savedBaud = 0;
    SwitchProtocol(*link.comm, {[&](int baud) { savedBaud = baud; }, [](std::chrono::milliseconds) {}});
    const Bytes expected = Encoded(SwitchToNmeaCommand());
    EXPECT_EQ(receiver.Receive(expected.size()), expected);
    EXPECT_EQ(receiver.SlaveSpeed(), B4800);
    EXPECT_EQ(link.context.LinkProtocol, kNotConnected);
    EXPECT_EQ(savedBaud, 4800);
}

TEST_F(WireLink, AReceiverThatGoesAwayLeavesTheReaderIdleAndANewConnectWorks) {
    receiver.CloseMaster();
    receiver.CloseKeeper();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(link.comm->Disconnect(), kResultOk);
    PseudoTerminal second;
    ASSERT_EQ(link.comm->Connect(second.SlavePath(), 9600), kResultOk);
    second.Send(Frame(test::NavPayload(3)));
    EXPECT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::NavData}));
}

TEST_F(WireLink, TheConnectionControllerFindsTheReceiverThroughTheLink) {
    std::string savedPort;
    int savedBaud = 0;
    ConnectionCallbacks callbacks;
    callbacks.saveSettings = [&](const std::string& port, int baud) {
        savedPort = port;
        savedBaud = baud;
    };
    ConnectionController controller(*link.comm, link.context, callbacks);
    controller.Connect(receiver.SlavePath(), "19200");
    EXPECT_EQ(receiver.SlaveSpeed(), B19200);
    receiver.Send(Text("$GPGSA,A,3*30\r\n"));
    ASSERT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::DevelopmentText}));
    controller.Tick();
    EXPECT_FALSE(controller.Testing());
    EXPECT_EQ(savedPort, receiver.SlavePath());
    EXPECT_EQ(savedBaud, 19200);
}

}  // namespace
}  // namespace vexa
