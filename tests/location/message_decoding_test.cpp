#include <gtest/gtest.h>

#include <string>

#include "support/message_bytes.h"
#include "location/messages/logical_channel.h"
#include "location/messages/message_decoder.h"
#include "location/messages/message_f.h"
#include "location/messages/message_mas.h"
#include "location/messages/message_tunnel.h"

namespace vexa {
namespace {

using test::Bytes;

Bytes statContent(std::uint8_t id, std::size_t payloadLength) {
    Bytes content{kStatChannel, id};
    for (std::size_t i = 0; i < payloadLength; ++i) content.push_back(static_cast<std::uint8_t>(i));
    return content;
}

struct DecodeCase {
    const char* legend;
    Bytes content;
    bool yields;
    Bytes payload;  // re-rendered, when a message is yielded
};

TEST(MessageDecoding, ChannelsAndIds) {
    const DecodeCase cases[] = {
        {"open session notification", {0x02, 0x00, 0x05}, true, {0x05}},
        {"F payload too short for its message", {0x02, 0x00}, false, {}},
        {"hardware configuration request ignores extra bytes", {0x02, 0x10, 0x09}, true, {}},
        {"reject", {0x02, 0x15, 0x13, 0x04}, true, {0x13, 0x04}},
        {"channel open answer kept as sent", {0x02, 0xA0, 0x01, 0xDD, 0x02}, true, {0x01, 0xDD, 0x02}},
        {"unknown F id", {0x02, 0x63, 0x00}, false, {}},
        {"XTN data are never decoded", {0xEE, 0x80, 0x00}, false, {}},
        {"STAT time to first fix", statContent(6, 37), true, statContent(6, 37)},
        {"STAT time to first fix cut short", statContent(6, 36), false, {}},
        {"other STAT ids", statContent(5, 37), false, {}},
        {"server ready", {0xAA, 0x08, 0x05}, true, {0x05}},
        {"server open request", {0xAA, 0x02, 0x12, 0x34}, true, {0x12, 0x34}},
        {"server aiding keeps its block", {0xAA, 0x03, 0x01, 0x02, 0x03}, true, {0x01, 0x02, 0x03}},
        {"unknown server id", {0xAA, 0x0B}, false, {}},
        {"NMEA data", {0xDD, 0x07, 'a', 'b'}, true, {'a', 'b'}},
        {"acknowledgement", {0x01, 0x03, 0x00}, true, {0x00}},
        {"unknown channel", {0x05, 0x00, 0x00}, false, {}},
        {"channel byte only", {0x02}, false, {}},
    };
    for (const auto& c : cases) {
        MessageDecoder decoder;
        auto message = decoder.decodeMessage(c.content.data(), c.content.size());
        ASSERT_EQ(message != nullptr, c.yields) << c.legend;
        if (!message) continue;
        EXPECT_EQ(message->channel(), c.content[0]) << c.legend;
        EXPECT_EQ(message->id(), c.content[1]) << c.legend;
        Bytes expected = c.payload;
        if (c.content[0] == kStatChannel) expected.erase(expected.begin(), expected.begin() + 2);
        EXPECT_EQ(test::payloadOf(*message), expected) << c.legend;
    }
}

TEST(MessageDecoding, VersionTextsNeedTheExactFrameLength) {
    const Bytes exact{0x02, 0x17, 3, 4, 'A', 'B', 'C', 'w', 'x', 'y', 'z'};
    auto longer = exact;
    longer.push_back('!');
    MessageDecoder decoder;

    auto kept = decoder.decodeMessage(exact.data(), exact.size());
    auto& version = dynamic_cast<MessageF_SWVersionResponse&>(*kept);
    EXPECT_EQ(version.version1(), "ABC");
    EXPECT_EQ(version.version2(), "wxyz");
    EXPECT_EQ(test::payloadOf(version), Bytes(exact.begin() + 2, exact.end()));

    auto refused = decoder.decodeMessage(longer.data(), longer.size());
    auto& empty = dynamic_cast<MessageF_SWVersionResponse&>(*refused);
    EXPECT_EQ(empty.version1(), "");
    EXPECT_EQ(empty.version2(), "");
}

TEST(MessageDecoding, LongVersionTextsAreCutToTheirFields) {
    Bytes content{0x02, 0x17, 200, 1};
    content.insert(content.end(), 200, 'v');
    content.push_back('w');
    MessageDecoder decoder;
    auto message = decoder.decodeMessage(content.data(), content.size());
    auto& version = dynamic_cast<MessageF_SWVersionResponse&>(*message);
    EXPECT_EQ(version.version1(), std::string(MessageF_SWVersionResponse::kTextCapacity - 1, 'v'));
    EXPECT_EQ(version.version2(), "w");
}

TEST(MessageDecoding, NmeaPayloadIsCutToItsCapacityAndRecordToItsSize) {
    Bytes content{kNmeaChannel, 0x09};
    for (int i = 0; i < 300; ++i) content.push_back(static_cast<std::uint8_t>(i));
    MessageDecoder decoder;
    auto message = decoder.decodeMessage(content.data(), content.size());
    auto& nmea = dynamic_cast<MessageNMEA&>(*message);
    EXPECT_EQ(nmea.payloadLength(), MessageNMEA::kCapacity);
    const NmeaRecord record = nmea.record();
    EXPECT_EQ(record.bytes[0], 0x09);
    EXPECT_EQ(record.bytes[1], 0x00);
    EXPECT_EQ(record.bytes[127], 126);
}

TEST(MessageDecoding, TimeToFirstFixFigures) {
    const Bytes content = statContent(6, 37);
    MessageDecoder decoder;
    auto message = decoder.decodeMessage(content.data(), content.size());
    auto& ttff = dynamic_cast<MessageSTAT_TTFF&>(*message);
    EXPECT_EQ(ttff.ttffTenths(), (std::array<std::uint16_t, 3>{0x0001, 0x0203, 0x0405}));
    EXPECT_EQ(test::frameOf(ttff).size(), 37U + 10U);
}

}  // namespace
}  // namespace vexa
