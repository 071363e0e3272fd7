#include <gtest/gtest.h>

#include <cstring>

#include "receiver/binary/message_writer.h"
#include "support/link_fixture.h"

namespace vexa {
namespace {

using test::Bytes;
using test::Delivery;
using test::Frame;
using test::Join;
using test::LinkUnderTest;
using test::Text;

const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";

struct ReceiveCase {
    const char* legend;
    Bytes stream;
    std::vector<int> ids;  // delivered, in order
    int linkProtocol;
};

std::vector<ReceiveCase> ReceiveCases() {
    return {
        {"sentence", Text(kGga), {255}, kNmeaProtocol},
        {"frame", Frame(test::NavPayload(7)), {2}, kBinaryProtocol},
        {"sentence then frame", Join({Text(kGga), Frame(test::NavPayload(7))}), {255, 2}, kBinaryProtocol},
        {"frame then sentence", Join({Frame(test::OkToSendPayload(1)), Text(kGga)}), {18, 255}, kNmeaProtocol},
        {"garbage before a frame", Join({Bytes{0x00, 0xB3, 0xA2, 0x24, 0x07}, Frame(test::NavPayload(9))}), {2}, kBinaryProtocol},
        {"bad checksum then a good frame",
         Join({Bytes{0xA0, 0xA2, 0x00, 0x02, 18, 1, 0x00, 0x14, 0xB0, 0xB3}, Frame(test::OkToSendPayload(1))}),
         {18},
         kBinaryProtocol},
        {"unknown id is dropped", Join({Frame(Bytes{77, 1, 2}), Frame(test::OkToSendPayload(0))}), {18}, kBinaryProtocol},
        {"acknowledgement and error report", Join({Frame(Bytes{11, 0x84}), Frame(Join({Bytes{10, 0, 2, 0, 2}, Bytes(8, 0)}))}),
         {11, 10}, kBinaryProtocol},
    };
}

std::vector<Delivery> Deliver(const Bytes& stream, std::size_t split, int* linkProtocol) {
    LinkUnderTest link;
    link.comm->Receive(std::span(stream).first(split));
    link.comm->Receive(std::span(stream).subspan(split));
    *linkProtocol = link.context.LinkProtocol;
    return link.delivered.deliveries();
}

TEST(GpsCommReceive, EveryStreamGivesTheSameDeliveriesWhereverItIsSplit) {
    for (const ReceiveCase& c : ReceiveCases()) {
        int linkProtocol = 0;
        const std::vector<Delivery> whole = Deliver(c.stream, c.stream.size(), &linkProtocol);
        std::vector<int> ids;
        for (const Delivery& d : whole) ids.push_back(d.id);
        EXPECT_EQ(ids, c.ids) << c.legend;
        EXPECT_EQ(linkProtocol, c.linkProtocol) << c.legend;
        for (std::size_t split = 0; split < c.stream.size(); ++split) {
            int splitProtocol = 0;
            EXPECT_EQ(Deliver(c.stream, split, &splitProtocol), whole) << c.legend << " split at " << split;
            EXPECT_EQ(splitProtocol, c.linkProtocol) << c.legend << " split at " << split;
        }
    }
}

TEST(GpsCommModel, PositionRecordsAreOnlyGivenWhileTheLinkSpeaksBinary) {
    LinkUnderTest link;
    link.comm->Receive(Frame(test::NavPayload(42)));
    const ModelSnapshot binary = link.comm->Model().Snapshot();
    ASSERT_TRUE(binary.nav.has_value());
    EXPECT_TRUE(binary.track.has_value());
    EXPECT_EQ(binary.nav->X, 42);
    link.comm->Receive(Text(kGga));
    const ModelSnapshot nmea = link.comm->Model().Snapshot();
    EXPECT_FALSE(nmea.nav.has_value()) << "records of the binary link stay hidden under NMEA";
    EXPECT_FALSE(nmea.track.has_value());
    link.context.LinkProtocol = kBinaryProtocol;
    ASSERT_TRUE(link.comm->Model().Snapshot().nav.has_value());
    EXPECT_EQ(link.comm->Model().Snapshot().nav->X, 42) << "but they are kept";
}

TEST(GpsCommModel, DisconnectClearsThePositionRecordsAndAnnouncesThem) {
    LinkUnderTest link;
    link.comm->Receive(Frame(test::NavPayload(42)));
    while (link.notifications.take()) {
    }
    EXPECT_EQ(link.comm->Disconnect(), kResultOk);
    std::vector<LinkUpdate> updates;
    while (auto update = link.notifications.take()) updates.push_back(*update);
    EXPECT_EQ(updates, (std::vector<LinkUpdate>{MessageDelivered{MessageId::NavData}, MessageDelivered{MessageId::TrackData}}));
    ASSERT_TRUE(link.comm->Model().Snapshot().nav.has_value());
    EXPECT_EQ(link.comm->Model().Snapshot().nav->X, 0);
}

std::vector<std::string> ReadAllLines(GpsComm& comm) {
    std::vector<std::string> lines;
    while (std::optional<std::string> line = comm.Model().NextTextLine()) lines.push_back(*line);
    return lines;
}

TEST(GpsCommTextLines, TheRingKeepsTheNewestLinesInOrderAfterOverflow) {
    LinkUnderTest link;
    link.context.LinkProtocol = kNmeaProtocol;
    for (int i = 1; i <= 33; ++i) {
        const std::string text = "line " + std::to_string(i);
        link.comm->DeliverMessage(255, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    }
    const std::vector<std::string> lines = ReadAllLines(*link.comm);
    ASSERT_EQ(lines.size(), TextLineRing::kSlots - 1);
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], "line " + std::to_string(i + 3));
    EXPECT_TRUE(ReadAllLines(*link.comm).empty());
}

TEST(GpsCommTextLines, LongTextIsCutTo255CharactersAndNothingIsGivenWhileNotConnected) {
    LinkUnderTest link;
    const std::string text(300, 'n');
    link.comm->DeliverMessage(255, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    EXPECT_TRUE(ReadAllLines(*link.comm).empty()) << "LinkProtocol 0";
    link.context.LinkProtocol = kNmeaProtocol;
    const std::vector<std::string> lines = ReadAllLines(*link.comm);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string(255, 'n'));
}

// The receiver's diagnostic messages and the frames of unknown ids (while its debug output is on)
// become text lines, each announced with TextLinesWaiting, which the text page takes; the unknown
// ones stay out of the deliveries.
TEST(GpsCommTextLines, DiagnosticsAndUnknownFramesBecomeTextLines) {
    LinkUnderTest link;
    link.context.DebugToggleCount = kDebugToggleThreshold + 1;
    ErrorReport report{2, 2, {7, 3, 0, 0, 0}};
    link.comm->Receive(Join({Frame(ReplyPayload(false, 0x84)), Frame(MessagePayload(report)), Frame(Bytes{77, 1, 2}),
                             Frame(Bytes{12, 0x80, 0x00})}));
    EXPECT_EQ(ReadAllLines(*link.comm), (std::vector<std::string>{"Nak: 0x84", "Bad parity from SV 07, subframe 3",
                                                                   "Unknown MID 77, 2 bytes: 01 02"}));
    std::vector<LinkUpdate> updates;
    while (auto update = link.notifications.take()) updates.push_back(*update);
    EXPECT_EQ(updates, (std::vector<LinkUpdate>{MessageDelivered{MessageId::CommandNak}, TextLinesWaiting{},
                                                MessageDelivered{MessageId::ErrorReport}, TextLinesWaiting{},
                                                TextLinesWaiting{}}));
    EXPECT_EQ(link.delivered.deliveries().size(), 2u);
    EXPECT_EQ(link.comm->Drops().count(DropReason::BadLength), 1u) << "the refusal one byte too long";
    EXPECT_EQ(link.comm->Drops().unknownIds().at(77), 1u);
}

}  // namespace
}  // namespace vexa
