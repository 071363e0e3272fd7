#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "support/link_fixture.h"
#include "support/listening_only_port.h"
#include "support/pseudo_terminal.h"
#include "receiver/commands/command_builders.h"

namespace vexa {
namespace {

using test::Bytes;
using test::Frame;
using test::LinkUnderTest;
using test::ListeningOnlyPort;
using test::PseudoTerminal;
using namespace std::chrono_literals;

TEST(GpsCommWithoutSource, EveryWriteFailsAndNothingIsOpen) {
    LinkUnderTest link;
    const CommandMessage poll = SoftwareVersionPoll();
    const Bytes bytes{1, 2, 3};
    EXPECT_FALSE(link.comm->PortOpen());
    EXPECT_FALSE(link.comm->CommandsRefused());
    EXPECT_EQ(link.comm->Send(poll.id, poll.block.data(), poll.length), kResultCommFailure);
    EXPECT_EQ(link.comm->WriteRaw(bytes.data(), bytes.size()), kResultCommFailure);
    EXPECT_EQ(link.comm->WriteDirect(bytes.data(), bytes.size()), kResultCommFailure);
    EXPECT_EQ(link.comm->ChangeBaud(4800), kResultCommFailure);
    EXPECT_EQ(link.comm->Disconnect(), kResultOk);
}

TEST(GpsCommOnPty, ACommandThatCannotBeEncodedIsReportedAndNotWritten) {
    PseudoTerminal receiver;
    LinkUnderTest link;
    ASSERT_EQ(link.comm->Connect(receiver.SlavePath(), 57600), kResultOk);
    const std::uint8_t block[4] = {};
    EXPECT_EQ(link.comm->Send(250, block, sizeof block), kResultUnknownId);
    const CommandMessage poll = SoftwareVersionPoll();
    EXPECT_EQ(link.comm->Send(poll.id, poll.block.data(), 0), kResultBadLength);
    EXPECT_TRUE(receiver.Receive(1, 100ms).empty());
}

TEST(GpsCommOnPty, WritesToAReceiverThatWentAwayFail) {
    PseudoTerminal receiver;
    LinkUnderTest link;
    ASSERT_EQ(link.comm->Connect(receiver.SlavePath(), 57600), kResultOk);
    receiver.CloseMaster();
    const Bytes bytes{0xA0, 0xA2};
    EXPECT_EQ(link.comm->WriteRaw(bytes.data(), bytes.size()), kResultCommFailure);
    EXPECT_EQ(link.comm->WriteDirect(bytes.data(), bytes.size()), kResultCommFailure);
}

TEST(GpsCommOnPty, ConnectingToAnotherNameReadsFromThatSourceAlone) {
    PseudoTerminal first;
    PseudoTerminal second;
    LinkUnderTest link;
    ASSERT_EQ(link.comm->Connect(first.SlavePath(), 57600), kResultOk);
    ASSERT_EQ(link.comm->Connect(second.SlavePath(), 9600), kResultOk);
    EXPECT_TRUE(link.comm->PortOpen());
    EXPECT_EQ(second.SlaveSpeed(), B9600);
    first.Send(Frame(test::NavPayload(1)));
    second.Send(Frame(test::NavPayload(2)));
    ASSERT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::NavData}));
    ASSERT_EQ(link.delivered.deliveries().size(), 1u);
    EXPECT_EQ(link.delivered.deliveries()[0].record[0], 2) << "only the second receiver is read";
}

// Commands to a source that only listens are refused with its reason instead of being written;
// what the receiver sends still arrives.
TEST(GpsCommOnPty, ASourceThatTakesNoCommandsRefusesThemWithItsReason) {
    PseudoTerminal receiver;
    LinkUnderTest link;
    ASSERT_EQ(link.comm->ConnectSource(std::make_unique<ListeningOnlyPort>(receiver.SlavePath()), 57600), kResultOk);
    EXPECT_EQ(link.comm->CommandsRefused(), "The receiver is shared read-only.");
    const CommandMessage poll = SoftwareVersionPoll();
    const Bytes bytes{0xA0, 0xA2};
    EXPECT_EQ(link.comm->Send(poll.id, poll.block.data(), poll.length), kResultCommandsRefused);
    EXPECT_EQ(link.comm->WriteRaw(bytes.data(), bytes.size()), kResultCommandsRefused);
    EXPECT_EQ(link.comm->WriteDirect(bytes.data(), bytes.size()), kResultCommandsRefused);
    EXPECT_TRUE(receiver.Receive(1, 100ms).empty());

    receiver.Send(Frame(test::NavPayload(9)));
    EXPECT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::NavData}));
    EXPECT_EQ(link.comm->Disconnect(), kResultOk);
    EXPECT_FALSE(link.comm->PortOpen());
}

}  // namespace
}  // namespace vexa
