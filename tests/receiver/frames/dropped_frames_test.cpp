#include "receiver/frames/dropped_frames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/frame_bytes.h"
#include "receiver/binary/frame_dispatch.h"
#include "receiver/frames/frame_receiver.h"

namespace vexa {
namespace {

using test::Bytes;
using test::Frame;
using test::Join;
using test::Text;

class NoSink : public MessageSink {
public:
    void deliver(int, const std::uint8_t*, std::size_t) override {}
};

class NoLocationClient : public LocationClientLink {
public:
    void setBinary(int) override {}
    void postExternalSerial(const std::uint8_t*, std::size_t) override {}
};

// The whole receive path of one product, telling every dropped frame into one tally and one list
// of lines: the unknown frames' lines, and the other reasons by name.
class DropRecorder : public FrameListener, public DropListener {
public:
    explicit DropRecorder(int product) {
        context.ProductSelection = product;
        dispatch.setDropListener(this);
    }
    void onFrame(std::span<std::uint8_t> payload) override { dispatch.onFrame(payload); }
    void onSentence(std::span<const std::uint8_t> text) override { dispatch.onSentence(text); }
    void onRefused(FrameFault fault) override { onDropped(DropReasonOf(fault), {}); }
    void onBadSentence(SentenceFault fault) override { onDropped(DropReasonOf(fault), {}); }
    void onDropped(DropReason reason, std::span<const std::uint8_t> payload) override {
        tally.add(reason, payload.empty() ? 0 : payload[0]);
        lines.push_back(reason == DropReason::UnknownId ? UnknownFrameLine(payload) : Name(reason));
    }
    static std::string Name(DropReason reason) {
        switch (reason) {
        case DropReason::BadChecksum: return "checksum";
        case DropReason::BadLength: return "length";
        case DropReason::BadEndSequence: return "end";
        case DropReason::UnknownChannel: return "channel";
        case DropReason::UnknownId: return "id";
        case DropReason::UnprintableSentence: return "unprintable";
        case DropReason::EmptySentence: return "empty";
        case DropReason::OverlongSentence: return "overlong";
        }
        return "?";
    }

    ReceiverContext context;
    NoSink sink;
    NoLocationClient client;
    FrameDispatch dispatch{context, sink, client};
    FrameReceiver receiver{*this};
    DropTally tally;
    std::vector<std::string> lines;
};

TEST(DroppedFrames, EveryDropIsToldWithItsReason) {
    struct Case {
        const char* legend;
        int product;
        Bytes input;
        std::vector<std::string> lines;
        std::string breakdown;
    };
    const Bytes okToSend{0x12, 0x01};
    const Case cases[] = {
        {"clean frames and a sentence", kKestrel, Join({Frame(okToSend), Text("$GPGSA,A*00\r\n")}), {}, ""},
        {"bad checksum", kKestrel, Frame(okToSend, 0x0100), {"checksum"}, " (bad checksum 1, bad length 0)"},
        {"length field zero", kKestrel, Frame({}), {"length"}, " (bad checksum 0, bad length 1)"},
        {"payload too short for its id", kKestrel, Frame({0x02, 0x00}), {"length"},
         " (bad checksum 0, bad length 1)"},
        {"bad end sequence", kKestrel, Frame(okToSend, 0, 0xB2), {"end"},
         " (bad checksum 0, bad length 0, bad end 1)"},
        {"unknown ids, counted one by one", kMerlin,
         Join({Frame({77, 1, 2, 3, 4, 5}), Frame({200}), Frame({77, 0xAB}), Frame(okToSend)}),
         {"Unknown MID 77, 5 bytes: 01 02 03 04 05", "Unknown MID 200, 0 bytes", "Unknown MID 77, 1 byte: AB"},
         " (bad checksum 0, bad length 0, unknown MID 77: 2, unknown MID 200: 1)"},
        {"osprey: unknown channel, then an unknown id on the command channel", kOsprey,
         Join({Frame({0x00, 0x12, 0x01}), Frame({0xEE, 0x4D, 0x10})}), {"channel", "Unknown MID 77, 1 byte: 10"},
         " (bad checksum 0, bad length 0, unknown channel 1, unknown MID 77: 1)"},
        {"sentences: a terminal escape inside, an empty one, one too long", kKestrel,
         Join({Text("$GPTXT,\x1b[2J*00\r\n$\r\n$GP"), Bytes(1010, 'A'), Text("\r\n")}),
         {"unprintable", "empty", "overlong"},
         " (bad checksum 0, bad length 0, unprintable sentence 1, empty sentence 1, overlong sentence 1)"},
    };
    for (const Case& c : cases) {
        DropRecorder recorder(c.product);
        recorder.receiver.feed(c.input);
        EXPECT_EQ(recorder.lines, c.lines) << c.legend;
        EXPECT_EQ(DropBreakdown(recorder.tally), c.breakdown) << c.legend;
        // Every frame the path lets go is told: the tally adds up to what the path counted.
        EXPECT_EQ(recorder.tally.total(),
                  recorder.receiver.statistics().dropped() + recorder.dispatch.droppedFrames())
            << c.legend;
    }
}

TEST(DroppedFrames, UnknownLinesShowTheWholePayload) {
    Bytes payload(1014, 0xFF);
    payload[0] = 199 + 1;
    const std::string line = UnknownFrameLine(payload);
    EXPECT_TRUE(line.starts_with("Unknown MID 200, 1013 bytes: FF FF ")) << line.substr(0, 40);
    EXPECT_EQ(line.size(), std::string("Unknown MID 200, 1013 bytes:").size() + 3 * 1013);
}

}  // namespace
}  // namespace vexa
