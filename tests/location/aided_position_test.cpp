#include <gtest/gtest.h>

#include <numeric>

#include "support/message_bytes.h"
#include "location/messages/ai3_reassembly.h"
#include "location/messages/air_message.h"
#include "location/messages/logical_channel.h"
#include "location/messages/message_ai3.h"
#include "location/messages/run_length.h"
#include "receiver/frames/frame_format.h"

namespace vexa {
namespace {

using test::Bytes;

Bytes encoded(const Bytes& input) {
    Bytes out;
    encodeRunLength(input, out);
    return out;
}

TEST(RunLength, EncodesByTheFiveByteRule) {
    struct Case {
        const char* legend;
        Bytes input;
        Bytes blocks;
    };
    const Case cases[] = {
        {"five equal bytes are a run", {7, 7, 7, 7, 7}, {0x80, 0x05, 0x07}},
        {"four equal bytes stay literal", {5, 5, 5, 5, 1}, {0x00, 0x05, 5, 5, 5, 5, 1}},
        {"literal, run, literal", {1, 2, 2, 2, 2, 2, 3, 4}, {0x00, 0x01, 1, 0x80, 0x05, 2, 0x00, 0x02, 3, 4}},
        {"nothing", {}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encoded(c.input), c.blocks) << c.legend;
        Bytes decoded;
        EXPECT_TRUE(decodeRunLength(c.blocks, decoded, 100)) << c.legend;
        EXPECT_EQ(decoded, c.input) << c.legend;
    }
}

TEST(RunLength, LongStretchesSplitAtTheLargestCount) {
    Bytes input(70000, 0x00);
    for (std::size_t i = 40000; i < input.size(); ++i) input[i] = static_cast<std::uint8_t>(i * 7 / 3);
    const Bytes blocks = encoded(input);
    Bytes decoded;
    ASSERT_TRUE(decodeRunLength(blocks, decoded, input.size()));
    EXPECT_EQ(decoded, input);
    EXPECT_EQ(Bytes(blocks.begin(), blocks.begin() + 3), (Bytes{0xFF, 0xFF, 0x00}));
}

TEST(RunLength, DecoderRefusesBlocksThatOverrun) {
    struct Case {
        const char* legend;
        Bytes blocks;
        std::size_t capacity;
    };
    const Case cases[] = {
        {"literal claims more bytes than follow", {0x00, 0x04, 1, 2, 3}, 100},
        {"run without its byte", {0x80, 0x04}, 100},
        {"half a header", {0x00}, 100},
        {"run beyond the capacity", {0xFF, 0xFF, 0x00}, 248},
        {"literal beyond the capacity", {0x00, 0x03, 1, 2, 3}, 2},
    };
    for (const auto& c : cases) {
        Bytes decoded;
        EXPECT_FALSE(decodeRunLength(c.blocks, decoded, c.capacity)) << c.legend;
        EXPECT_LE(decoded.size(), c.capacity) << c.legend;
    }
}

TEST(Ai3Fragments, CountAndLayout) {
    const std::pair<std::size_t, std::vector<std::size_t>> cases[] = {
        {0, {0}}, {1016, {1016}}, {1017, {1016, 1}}, {2032, {1016, 1016}}, {2033, {1016, 1016, 1}}};
    for (const auto& [length, fragments] : cases) {
        Bytes compressed(length);
        std::iota(compressed.begin(), compressed.end(), std::uint8_t{0x80});
        Bytes frames;
        appendAi3Fragments(frames, 1, compressed);
        ASSERT_EQ(ai3FragmentCount(length), fragments.size());
        ASSERT_EQ(frames.size(), length + 12 * fragments.size());
        std::size_t at = 0;
        for (std::size_t k = 0; k < fragments.size(); ++k) {
            const std::size_t n = fragments[k];
            const Bytes head{0xA0, 0xA2, static_cast<std::uint8_t>((n + 4) >> 8), static_cast<std::uint8_t>(n + 4),
                             0x01, 0x01, static_cast<std::uint8_t>(fragments.size()), static_cast<std::uint8_t>(k + 1)};
            EXPECT_TRUE(std::equal(head.begin(), head.end(), frames.begin() + at)) << length << " fragment " << k + 1;
            const std::uint16_t checksum = static_cast<std::uint16_t>(frames[at + 8 + n] << 8 | frames[at + 9 + n]);
            EXPECT_EQ(checksum, PayloadSum({frames.data() + at + 4, n + 4}) & kChecksumMask) << "bit 15 stays clear";
            at += n + 12;
        }
    }
}

TEST(Ai3PositionRequest, PayloadAndFrame) {
    MessageAI3_PositionRequest request;
    request.setHeader(0x0103, 0x2004);
    request.orbitSlots()[5].present = true;
    request.orbitSlots()[5].record.fill(0x5A);
    const Bytes payload = test::payloadOf(request);
    ASSERT_EQ(payload.size(), 3227U);
    EXPECT_EQ(Bytes(payload.begin(), payload.begin() + 19),
              (Bytes{0x16, 1, 0x03, 0x04, 7, 7, 255, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    const std::size_t slot = 19 + 5 * 60;
    EXPECT_EQ(payload[slot], 1);
    EXPECT_EQ(payload[slot + 59], 0x5A);
    EXPECT_EQ(std::count(payload.begin(), payload.end(), 0x5A), 59);

    const Bytes frame = test::frameOf(request);
    ASSERT_FALSE(frame.empty());
    EXPECT_EQ(frame.size(), request.getLength());
    Bytes decoded;
    ASSERT_EQ(frame.size() - 12, static_cast<std::size_t>((frame[2] << 8 | frame[3]) - 4));
    ASSERT_TRUE(decodeRunLength({frame.data() + 8, frame.size() - 12}, decoded, 4096));
    EXPECT_EQ(decoded, payload);

}

// A 248-byte answer with every optional group present.
Bytes sampleAnswer() {
    Bytes answer(248, 0);
    // 0x40.. is 45 degrees, 0xC0.. is -90 degrees; 0x1388 tenths of a metre are 0 m after the 500 m offset.
    const std::pair<std::size_t, std::uint8_t> fields[] = {
        {0, 1},   {3, 9},   {5, 0x01}, {6, 0x02},  {7, 0xDE},  {10, 0xEF}, {11, 0x40}, {15, 0xC0},
        {19, 0x1F}, {20, 20}, {21, 21}, {22, 22}, {23, 0x13}, {24, 0x88}, {25, 25},  {27, 26},
        {29, 28}, {30, 30}, {42, 10}};
    for (const auto& [offset, value] : fields) answer[offset] = value;
    for (int entry = 0; entry < 10; ++entry) {
        answer[43 + 3 * entry] = static_cast<std::uint8_t>(entry);
        answer[44 + 3 * entry] = static_cast<std::uint8_t>(100 + entry);
    }
    return answer;
}

// The content of the frames a receiver sends for a compressed answer, cut into fragments of size each.
std::vector<Bytes> answerFragments(const Bytes& answer, std::size_t size, std::uint8_t id = 2) {
    const Bytes compressed = encoded(answer);
    const std::size_t count = (compressed.size() + size - 1) / size;
    std::vector<Bytes> fragments;
    for (std::size_t k = 0; k < count; ++k) {
        Bytes content{kAi3Channel, id, static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(k + 1)};
        const std::size_t end = std::min(compressed.size(), (k + 1) * size);
        content.insert(content.end(), compressed.begin() + k * size, compressed.begin() + end);
        fragments.push_back(content);
    }
    return fragments;
}

TEST(Ai3Reassembly, TwoFragmentAnswer) {
    const auto fragments = answerFragments(sampleAnswer(), 40);
    ASSERT_GE(fragments.size(), 2U);
    Ai3Reassembly reassembly;
    std::unique_ptr<Message> message;
    for (const auto& fragment : fragments) {
        EXPECT_EQ(message, nullptr) << "nothing before the last fragment";
        message = reassembly.decode(fragment);
    }
    ASSERT_NE(message, nullptr);
    auto& response = dynamic_cast<MessageAI3_Response&>(*message);
    EXPECT_TRUE(response.decoded());
    EXPECT_EQ(test::payloadOf(response), sampleAnswer());

    const PositionResult& fix = response.positionResult();
    EXPECT_EQ(fix.flag3, 1);
    EXPECT_EQ(fix.value7, 0xDE0000EFU);
    EXPECT_FLOAT_EQ(fix.latitude, 45.0F);
    EXPECT_FLOAT_EQ(fix.longitude, -90.0F);
    EXPECT_EQ(fix.altitude, 0);
    EXPECT_EQ(fix.bytes20, (std::array<std::uint32_t, 3>{20, 21, 22}));
    EXPECT_EQ((std::pair{fix.value26, fix.value28}), (std::pair{26U, 28U}));
    EXPECT_EQ(fix.entries[9], (std::array<std::uint8_t, 2>{9, 109}));
}

TEST(Ai3Reassembly, SingleFragmentAnswerAndAcknowledgement) {
    Ai3Reassembly reassembly;
    auto fragments = answerFragments(sampleAnswer(), 1016);
    ASSERT_EQ(fragments.size(), 1U);
    EXPECT_NE(reassembly.decode(fragments[0]), nullptr);

    auto ack = reassembly.decode(Bytes{kAi3Channel, 3, 0x00});
    ASSERT_NE(ack, nullptr);
    EXPECT_EQ(test::frameOf(*ack), (Bytes{0xA0, 0xA2, 0x00, 0x03, 0x01, 0x03, 0x00, 0x00, 0x04, 0xB0, 0xB3}));
}

TEST(Ai3Reassembly, OutOfSequenceFragmentRestarts) {
    Bytes other = sampleAnswer();
    other[11] = 0x20;  // 22.5 degrees
    const auto first = answerFragments(sampleAnswer(), 40);
    const auto second = answerFragments(other, 40);
    ASSERT_EQ(first.size(), second.size());
    Ai3Reassembly reassembly;
    EXPECT_EQ(reassembly.decode(first[0]), nullptr);
    EXPECT_EQ(reassembly.decode(second[0]), nullptr) << "index 1 again: a new assembly";
    std::unique_ptr<Message> message;
    for (std::size_t k = 1; k < second.size(); ++k) message = reassembly.decode(second[k]);
    ASSERT_NE(message, nullptr);
    EXPECT_FLOAT_EQ(dynamic_cast<MessageAI3_Response&>(*message).positionResult().latitude, 22.5F);
}

TEST(Ai3Reassembly, AnswersThatAreNotWhole) {
    Ai3Reassembly reassembly;
    // Decompressing to another length than 248: a response without fields.
    auto shorter = reassembly.decode(answerFragments(Bytes(247, 1), 1016)[0]);
    ASSERT_NE(shorter, nullptr);
    auto& empty = dynamic_cast<MessageAI3_Response&>(*shorter);
    EXPECT_FALSE(empty.decoded());
    EXPECT_EQ(empty.positionResult().value7, 0U);
    EXPECT_EQ(test::payloadOf(empty), Bytes(248, 0));
    // A broken block stream, a fragment too short to carry its indexes, other ids: nothing.
    EXPECT_EQ(reassembly.decode(Bytes{kAi3Channel, 2, 1, 1, 0x00, 0x09, 1}), nullptr);
    EXPECT_EQ(reassembly.decode(Bytes{kAi3Channel, 2, 1}), nullptr);
    EXPECT_EQ(reassembly.decode(answerFragments(sampleAnswer(), 1016, 7)[0]), nullptr);
    // An assembly that would overfill its area is dropped, and the next answer still arrives.
    Bytes huge{kAi3Channel, 2, 9, 1};
    huge.resize(4 + 3000);
    EXPECT_EQ(reassembly.decode(huge), nullptr);
    huge[3] = 2;
    EXPECT_EQ(reassembly.decode(huge), nullptr);
    EXPECT_NE(reassembly.decode(answerFragments(sampleAnswer(), 1016)[0]), nullptr);
}

TEST(Ai3Response, RenderedFrameCarriesTheFrameFlag) {
    MessageAI3_Response response(sampleAnswer());
    const Bytes frame = test::frameOf(response);
    ASSERT_EQ(frame.size(), 258U);
    EXPECT_EQ(frame[2] << 8 | frame[3], 250);
    EXPECT_NE(frame[254] & 0x80, 0);
}

// An orbit record for a satellite, its bytes following the satellite number.
Bytes orbitRecord(std::uint8_t satellite) {
    Bytes record(59, static_cast<std::uint8_t>(satellite + 100));
    record[0] = satellite;
    return record;
}

Bytes block(std::uint16_t type, const Bytes& body, std::uint32_t claimed) {
    Bytes out{static_cast<std::uint8_t>(type >> 8), static_cast<std::uint8_t>(type),
              static_cast<std::uint8_t>(claimed >> 24), static_cast<std::uint8_t>(claimed >> 16),
              static_cast<std::uint8_t>(claimed >> 8), static_cast<std::uint8_t>(claimed)};
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes block(std::uint16_t type, const Bytes& body) { return block(type, body, static_cast<std::uint32_t>(body.size())); }

Bytes orbitBody(const std::vector<std::uint8_t>& satellites) {
    Bytes body{static_cast<std::uint8_t>(satellites.size())};
    for (auto satellite : satellites) {
        const Bytes record = orbitRecord(satellite);
        body.insert(body.end(), record.begin(), record.end());
    }
    body.insert(body.end(), 13, 0xEE);
    return body;
}

Bytes airMessage(const std::vector<Bytes>& blocks) {
    Bytes out{static_cast<std::uint8_t>(blocks.size()), 0x00};
    for (const auto& b : blocks) out.insert(out.end(), b.begin(), b.end());
    return out;
}

Bytes withCount(std::uint8_t count, Bytes data) {
    data[0] = count;
    return data;
}

TEST(AirMessage, OrbitRecordsAndTime) {
    const Bytes data = airMessage({block(1, orbitBody({3, 40, 31})), block(7, Bytes(9, 0x11)),
                                   block(2, {1, 0x05, 0x39, 0x00, 0x01, 0x51, 0x80})});
    OrbitSlots slots{};
    AidingTime time;
    EXPECT_EQ(decodeAirMessage(data, slots, time), kOrbitRecordsDecoded | kValidTimeDecoded);
    EXPECT_TRUE(slots[3].present);
    EXPECT_TRUE(slots[31].present);
    EXPECT_EQ(std::count_if(slots.begin(), slots.end(), [](const OrbitSlot& s) { return s.present; }), 2);
    const Bytes record(slots[3].record.begin(), slots[3].record.end());
    EXPECT_EQ(record, orbitRecord(3));
    EXPECT_EQ(time.gpsWeek, 1337);
    EXPECT_DOUBLE_EQ(time.timeOfWeekMs, 86400000.0);
}

TEST(AirMessage, RefusedAndPartlyUsableData) {
    struct Case {
        const char* legend;
        Bytes data;
        unsigned flags;
    };
    const Bytes time{1, 0x05, 0x39, 0x00, 0x01, 0x51, 0x80};
    Bytes overrun = block(1, orbitBody({4}), 200);
    const Case cases[] = {
        {"empty", {}, 0},
        {"one byte", {1}, 0},
        {"a block claiming more bytes than remain", airMessage({overrun}), 0},
        {"a good block, then one claiming too much", airMessage({block(2, time), block(1, {}, 0xFFFFFFFF)}), 0},
        {"fewer bytes than the block headers need", withCount(2, airMessage({block(2, time)})), 0},
        {"time not valid", airMessage({block(2, {0, 0x05, 0x39, 0, 0, 0, 1})}), 0},
        {"time block cut short", airMessage({block(2, {1, 0x05, 0x39})}), 0},
        {"records overrunning their block skip it", airMessage({block(1, {2, 4, 4, 4}), block(2, time)}),
         kValidTimeDecoded},
        {"no blocks", {0, 0}, 0},
    };
    for (const auto& c : cases) {
        OrbitSlots slots{};
        AidingTime decoded;
        EXPECT_EQ(decodeAirMessage(c.data, slots, decoded), c.flags) << c.legend;
        EXPECT_FALSE(slots[4].present) << c.legend;
    }
}

TEST(AirMessage, BlockOfAnAidingFrame) {
    EXPECT_FALSE(aidingBlockOfFrame(Bytes{0xA0, 0xA2, 0x00, 0x01, 0x03, 0xB0, 0xB3}).has_value());
    const Bytes frame{0xA0, 0xA2, 0x00, 0x02, 0x03, 0x42, 0xB0, 0xB3};
    const auto block = aidingBlockOfFrame(frame);
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(Bytes(block->begin(), block->end()), Bytes{0x42});
}

}  // namespace
}  // namespace vexa
