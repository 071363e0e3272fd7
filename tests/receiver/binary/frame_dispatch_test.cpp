#include "receiver/binary/frame_dispatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/frame_bytes.h"

namespace vexa {
namespace {

using test::Bytes;
using test::Frame;
using test::Join;
using test::Text;

// Texts are compared byte for byte; decoded records (their layout is the decoder's) by length.
struct Delivery {
    int id;
    Bytes record;
    bool operator==(const Delivery& other) const {
        return id == other.id && (id == 255 ? record == other.record : record.size() == other.record.size());
    }
};

class Sink : public MessageSink {
public:
    void deliver(int id, const std::uint8_t* record, std::size_t length) override {
        deliveries.push_back({id, Bytes(record, record + length)});
    }
    std::vector<Delivery> deliveries;
};

class LocationClient : public LocationClientLink {
public:
    void setBinary(int on) override { binaryCalls.push_back(on); }
    void postExternalSerial(const std::uint8_t* bytes, std::size_t length) override {
        posted.emplace_back(bytes, bytes + length);
    }
    std::vector<int> binaryCalls;
    std::vector<Bytes> posted;
};

struct Harness {
    explicit Harness(int product) { context.ProductSelection = product; }
    void feed(const Bytes& bytes) { receiver.feed(bytes); }

    ReceiverContext context;
    Sink sink;
    LocationClient client;
    FrameDispatch dispatch{context, sink, client};
    FrameReceiver receiver{dispatch};
};

Bytes Payload(std::uint8_t id, std::size_t size) {
    Bytes payload(size, 0);
    payload[0] = id;
    for (std::size_t i = 1; i < size; ++i) payload[i] = static_cast<std::uint8_t>(i);
    return payload;
}

const Bytes kDevText = Join({Bytes{0xFF}, Text("hello")});
const Bytes kNavLib = Payload(28, 56);
const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";

struct Case {
    const char* legend;
    int product;
    Bytes payload;
    std::vector<Delivery> expected;
    std::vector<Bytes> posted;
    // Counted up from where the counters stand at program start.
    int debugCount = 0;
    int navLibCount = 0;
    int nmeaChannelCount = 0;
    std::uint64_t dropped = 0;
};

std::vector<Case> Cases() {
    const Bytes osprey1 = Join({Bytes{0x01}, Payload(5, 9)});
    const Bytes osprey2 = Join({Bytes{0x02}, Payload(5, 3)});
    return {
        {"Kestrel development text", kKestrel, kDevText, {{255, Text("hello")}}, {}, 1},
        {"Merlin navigation library", kMerlin, kNavLib, {{28, Bytes(72)}}, {}, 0, 1},
        {"Kestrel unknown id dropped", kKestrel, Payload(8, 5), {}, {}, 0, 0, 0, 1},
        {"Kestrel wrong length dropped", kKestrel, Payload(2, 40), {}, {}, 0, 0, 0, 1},
        {"Harrier only sets the protocol", kHarrier, kDevText, {}, {}},
        {"VexaLoc only sets the protocol", kVexaLoc, kDevText, {}, {}},
        {"Osprey channel 1 to the location client", kOsprey, osprey1, {}, {osprey1}},
        {"Osprey channel 2 to the location client", kOsprey, osprey2, {}, {osprey2}},
        {"Osprey channel BB reads as 225", kOsprey, Join({Bytes{0xBB, 0x06}, Bytes(37, 0)}), {{225, Bytes(40, 0)}}, {}},
        {"Osprey channel DD is text", kOsprey, Join({Bytes{0xDD}, Text("$GPGSA\r\n")}),
         {{255, Text("$GPGSA\r\n")}}, {}, 0, 0, 1},
        {"Osprey channel DD alone is empty text", kOsprey, Bytes{0xDD}, {{255, {}}}, {}, 0, 0, 1},
        {"Osprey channel EE counts like Kestrel", kOsprey, Join({Bytes{0xEE}, kDevText}), {{255, Text("hello")}}, {}, 1},
        {"Osprey channel EE navigation library", kOsprey, Join({Bytes{0xEE}, kNavLib}), {{28, Bytes(72)}}, {}, 0, 1},
        {"Osprey channel EE alone dropped", kOsprey, Bytes{0xEE}, {}, {}, 0, 0, 0, 1},
        {"Osprey channel 00 dropped", kOsprey, Join({Bytes{0x00}, kDevText}), {}, {}, 0, 0, 0, 1},
    };
}

TEST(FrameDispatch, FramesByProduct) {
    for (const Case& c : Cases()) {
        Harness harness(c.product);
        harness.feed(Frame(c.payload));
        EXPECT_EQ(harness.sink.deliveries, c.expected) << c.legend;
        EXPECT_EQ(harness.client.posted, c.posted) << c.legend;
        EXPECT_EQ(harness.client.binaryCalls, c.product == kOsprey ? std::vector<int>{1} : std::vector<int>{})
            << c.legend;
        EXPECT_EQ(harness.context.LinkProtocol, kBinaryProtocol) << c.legend;
        EXPECT_EQ(harness.context.DebugToggleCount, kDebugToggleThreshold + c.debugCount) << c.legend;
        EXPECT_EQ(harness.context.NavLibToggleCount, kNavLibToggleThreshold + c.navLibCount) << c.legend;
        EXPECT_EQ(harness.context.NmeaChannelCount, kNmeaChannelToggleThreshold + c.nmeaChannelCount) << c.legend;
        EXPECT_EQ(harness.dispatch.droppedFrames(), c.dropped) << c.legend;
    }
}

TEST(FrameDispatch, CountersStopAtTheirLimits) {
    Harness harness(kOsprey);
    for (int i = 0; i < 30; ++i) {
        harness.feed(Frame(Join({Bytes{0xEE}, kDevText})));
        harness.feed(Frame(Join({Bytes{0xEE}, kNavLib})));
        harness.feed(Frame(Bytes{0xDD, 'x'}));
    }
    EXPECT_EQ(harness.context.DebugToggleCount, 11);
    EXPECT_EQ(harness.context.NavLibToggleCount, 21);
    EXPECT_EQ(harness.context.NmeaChannelCount, 6);
}

TEST(FrameDispatch, TtffChannelLeavesCountersAlone) {
    Harness harness(kOsprey);
    harness.context.DebugToggleCount = 3;
    harness.feed(Frame(Bytes{0xBB, 0x05}));
    ASSERT_EQ(harness.sink.deliveries.size(), 1u);
    EXPECT_EQ(harness.sink.deliveries[0].id, 225);
    EXPECT_EQ(harness.context.DebugToggleCount, 3);
}

TEST(FrameDispatch, BinaryLinkUpIsToldOnlyWhenTheProtocolChanges) {
    Harness harness(kOsprey);
    harness.feed(Join({Frame(Join({Bytes{0xEE}, kDevText})), Frame(Join({Bytes{0xEE}, kDevText})),
                       Text(kGga), Frame(Bytes{0xDD})}));
    EXPECT_EQ(harness.client.binaryCalls, (std::vector<int>{1, 1}));
}

TEST(FrameDispatch, SentenceThenFrame) {
    Harness harness(kKestrel);
    harness.feed(Text(kGga));
    EXPECT_EQ(harness.context.LinkProtocol, kNmeaProtocol);
    harness.feed(Frame(kDevText));
    EXPECT_EQ(harness.sink.deliveries, (std::vector<Delivery>{{255, Text(kGga)}, {255, Text("hello")}}));
    EXPECT_EQ(harness.context.LinkProtocol, kBinaryProtocol);
    EXPECT_EQ(harness.receiver.statistics().sentences, 1u);
    EXPECT_EQ(harness.receiver.statistics().frames, 1u);
}

}  // namespace
}  // namespace vexa
