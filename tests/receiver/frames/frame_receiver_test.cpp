#include "receiver/frames/frame_receiver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/frame_bytes.h"

namespace vexa {
namespace {

using test::Bytes;
using test::Frame;
using test::Join;
using test::Text;

std::string Hex(const Bytes& bytes) {
    std::string line = "F";
    char hex[4];
    for (std::uint8_t byte : bytes) {
        std::snprintf(hex, sizeof hex, " %02X", byte);
        line += hex;
    }
    return line;
}

// Records what comes out as readable strings: "F <payload hex>" or "S <text>".
class Recorder : public FrameListener {
public:
    void onFrame(std::span<std::uint8_t> payload) override { events.push_back(Hex(Bytes(payload.begin(), payload.end()))); }
    void onSentence(std::span<const std::uint8_t> text) override {
        events.push_back("S " + std::string(text.begin(), text.end()));
    }
    std::vector<std::string> events;
};

Bytes Filled(std::size_t size, std::uint8_t value) { return Bytes(size, value); }

struct Case {
    const char* legend;
    Bytes input;
    std::vector<std::string> expected;
    std::uint64_t refused = 0;
    std::uint64_t badSentences = 0;
};

const Bytes kShort{0x12, 0x34, 0x56};
const Bytes kHeavy = Filled(200, 0xFF);  // byte sum 51000, above 32767
const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";

std::vector<Case> Cases() {
    const Bytes longest = Filled(1014, 0x01);
    return {
        {"short frame", Frame(kShort), {Hex(kShort)}},
        {"noise around a frame", Join({Text("xyz\x01"), Frame(kShort), Bytes{0xB3, 0x00}}), {Hex(kShort)}},
        {"length 1014 accepted", Frame(longest), {Hex(longest)}},
        {"length 0 refused", Join({Frame({}), Frame(kShort)}), {Hex(kShort)}, 1},
        {"length 1015 refused and hunted through",
         Join({Frame(Filled(1015, 0x01)), Frame(kShort)}), {Hex(kShort)}, 1},
        {"checksum sum above 32767, top bit clear", Frame(kHeavy), {Hex(kHeavy)}},
        {"checksum sum above 32767, top bit set", Frame(kHeavy, 0x8000), {Hex(kHeavy)}},
        {"checksum wrong", Join({Bytes{0xA0, 0xA2, 0x00, 0x01, 0x05, 0x00, 0x06, 0xB0, 0xB3}, Frame(kShort)}),
         {Hex(kShort)}, 1},
        {"end sequence B0 B2 dropped", Join({Frame(kShort, 0, 0xB2), Frame(kShort)}), {Hex(kShort)}, 1},
        {"A0 A0 A2 synchronises", Join({Bytes{0xA0}, Frame(kShort)}), {Hex(kShort)}},
        {"broken end sequence restarts at A0", Join({Frame(kShort, 0, 0xA0), Bytes{0xA2, 0x00, 0x01, 0x07, 0x00, 0x07, 0xB0, 0xB3}}),
         {"F 07"}, 1},
        {"sentence", Text(kGga), {"S " + kGga}},
        {"sentence then frame", Join({Text(kGga), Frame(kShort)}), {"S " + kGga, Hex(kShort)}},
        {"frame then sentence", Join({Frame(kShort), Text(kGga)}), {Hex(kShort), "S " + kGga}},
        {"sentence with BEL dropped", Join({Text("$GPX\a,1\r\n"), Text(kGga)}), {"S " + kGga}, 0, 1},
        {"sentence with ESC dropped", Join({Text("$GPX,\x1b]0;x\a\r\n"), Text(kGga)}), {"S " + kGga}, 0, 1},
        {"CR followed by x dropped", Join({Text("$GPX,1\rx\n"), Text(kGga)}), {"S " + kGga}, 0, 1},
        {"a dollar and a control byte is noise, not a sentence", Join({Text("$\x01$G\x02"), Text(kGga)}), {"S " + kGga}},
        {"dollar inside a sentence starts the next", Join({Text("$GPX,1"), Text(kGga)}), {"S " + kGga}},
        {"frame start inside a sentence", Join({Text("$GPX,1"), Frame(kShort)}), {Hex(kShort)}, 0, 1},
        {"empty sentence dropped", Join({Text("$\r\n"), Text(kGga)}), {"S " + kGga}, 0, 1},
        {"longest sentence", Join({Text("$"), Filled(1008, 'A'), Text("\r\n")}),
         {"S $" + std::string(1008, 'A') + "\r\n"}},
        {"sentence one character too long", Join({Text("$"), Filled(1009, 'A'), Text("\r\n"), Text(kGga)}),
         {"S " + kGga}, 0, 1},
        {"dollar inside a payload is data", Join({Frame(Text("$GP")), Text(kGga)}), {Hex(Text("$GP")), "S " + kGga}},
        {"frame start inside a payload is data", Join({Frame({0xA0, 0xA2, 0x00}), Frame(kShort)}),
         {Hex({0xA0, 0xA2, 0x00}), Hex(kShort)}},
    };
}

void ExpectCase(const Case& c, const Recorder& recorder, const FrameReceiver& receiver, const std::string& how) {
    EXPECT_EQ(recorder.events, c.expected) << c.legend << how;
    EXPECT_EQ(receiver.statistics().refusedFrames(), c.refused) << c.legend << how;
    EXPECT_EQ(receiver.statistics().badSentences, c.badSentences) << c.legend << how;
    EXPECT_EQ(receiver.statistics().bytes, c.input.size()) << c.legend << how;
}

TEST(FrameReceiver, TableWhole) {
    for (const Case& c : Cases()) {
        Recorder recorder;
        FrameReceiver receiver(recorder);
        receiver.feed(c.input);
        ExpectCase(c, recorder, receiver, " (whole)");
    }
}

TEST(FrameReceiver, TableSplitAtEveryPosition) {
    for (const Case& c : Cases()) {
        for (std::size_t split = 1; split < c.input.size(); ++split) {
            Recorder recorder;
            FrameReceiver receiver(recorder);
            const std::span<const std::uint8_t> all(c.input);
            receiver.feed(all.first(split));
            receiver.feed(all.subspan(split));
            ExpectCase(c, recorder, receiver, " (split at " + std::to_string(split) + ")");
            if (::testing::Test::HasFailure()) return;
        }
    }
}

// Each refused frame is reported with its fault, in order, and the next frame still arrives.
TEST(FrameReceiver, ReportsEachRefusalWithItsFault) {
    class Refusals : public FrameListener {
    public:
        void onFrame(std::span<std::uint8_t>) override { ++frames; }
        void onRefused(FrameFault fault) override { faults.push_back(fault); }
        std::vector<FrameFault> faults;
        int frames = 0;
    } listener;
    FrameReceiver receiver(listener);
    const Bytes badChecksum{0xA0, 0xA2, 0x00, 0x01, 0x05, 0x00, 0x06, 0xB0, 0xB3};
    const Bytes badEnd1{0xA0, 0xA2, 0x00, 0x01, 0x05, 0x00, 0x05, 0xB1};
    receiver.feed(Join({Frame({}), Frame(Filled(1015, 0x01)), badChecksum, badEnd1, Frame(kShort, 0, 0xB2),
                        Frame(kShort)}));
    EXPECT_EQ(listener.faults, (std::vector<FrameFault>{FrameFault::Empty, FrameFault::TooLong, FrameFault::BadChecksum,
                                                        FrameFault::BadEnd1, FrameFault::BadEnd2}));
    EXPECT_EQ(listener.frames, 1);
    EXPECT_EQ(receiver.statistics().badLength, 2u);
    EXPECT_EQ(receiver.statistics().badEndSequence, 2u);
}

TEST(FrameReceiver, ByteAtATimeCountsFramesAndSentences) {
    Recorder recorder;
    FrameReceiver receiver(recorder);
    const Bytes input = Join({Text(kGga), Frame(kShort), Frame(kShort, 0, 0xB2), Text(kGga)});
    for (std::uint8_t byte : input) receiver.feed(std::span(&byte, 1));
    const ReceiveStatistics& statistics = receiver.statistics();
    EXPECT_EQ(statistics.bytes, input.size());
    EXPECT_EQ(statistics.frames, 1u);
    EXPECT_EQ(statistics.sentences, 2u);
    EXPECT_EQ(statistics.badEndSequence, 1u);
}

}  // namespace
}  // namespace vexa
