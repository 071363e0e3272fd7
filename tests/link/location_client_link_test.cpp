#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/link_fixture.h"
#include "support/pseudo_terminal.h"

namespace vexa {
namespace {

using test::Bytes;
using test::Frame;

// The location client's frame opening a tunnel, as it writes it to the receiver.
Bytes ChannelOpenFrame(std::uint8_t channel) {
    const unsigned sum = 0x02 + 0xA0 + channel;
    return {0xA0, 0xA2, 0x00, 0x05, 0x02, 0xA0, 0x00, channel, 0x00,
            static_cast<std::uint8_t>(0x80 | (sum >> 8)), static_cast<std::uint8_t>(sum), 0xB0, 0xB3};
}

// Takes the text lines until one equals `wanted`.
bool AwaitTextLine(test::LinkUnderTest& link, const std::string& wanted) {
    while (link.AwaitUpdate(TextLinesWaiting{})) {
        bool found = false;
        while (const std::optional<std::string> line = link.comm->Model().NextTextLine()) found = found || wanted == *line;
        if (found) return true;
    }
    return false;
}

class LocationClientLink : public ::testing::Test {
protected:
    LocationClientLink() {
        link.context.ProductSelection = kOsprey;
        EXPECT_EQ(link.comm->Connect(pty.SlavePath(), 57600), kResultOk);
    }

    test::PseudoTerminal pty;
    test::LinkUnderTest link;
};

TEST_F(LocationClientLink, BinaryLinkOpensTheClientsTunnel) {
    // The client's answer to the receiver's version frame arrives as frames on channel 2.
    pty.Send(Frame({0x02, 23, 3, 4, 'A', 'B', 'C', 'w', 'x', 'y', 'z'}));
    const Bytes expected = ChannelOpenFrame(0xEE);
    EXPECT_EQ(pty.Receive(expected.size()), expected);
    EXPECT_TRUE(AwaitTextLine(link, "DEBUG: Enabling Vexa Binary"));
    for (int attempt = 0; attempt < 100 && link.location->client().getReceiverVersion1().empty(); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(link.location->client().getReceiverVersion1(), "ABC");
}

TEST_F(LocationClientLink, NmeaChannelSwitch) {
    link.context.LinkProtocol = kBinaryProtocol;  // text lines are read only while a protocol is up
    EXPECT_TRUE(link.location->client().setNmea(true));
    const Bytes expected = ChannelOpenFrame(0xDD);
    EXPECT_EQ(pty.Receive(expected.size()), expected);
    EXPECT_TRUE(AwaitTextLine(link, "0128:NMEA ENABLED"));
}

TEST_F(LocationClientLink, OtherProductsKeepTheClientOut) {
    link.context.ProductSelection = kKestrel;
    pty.Send(Frame(test::OkToSendPayload(1)));
    ASSERT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::OkToSend}));
    EXPECT_TRUE(pty.Receive(1, std::chrono::milliseconds(100)).empty());
}

}  // namespace
}  // namespace vexa
