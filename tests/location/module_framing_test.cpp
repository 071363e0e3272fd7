#include "location/transport/module_framing.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/message_bytes.h"
#include "receiver/frames/frame_writer.h"

namespace vexa {
namespace {

using test::Bytes;

// The frames and the log lines of the refusals, as a module receives them.
struct Cut : FrameListener {
    explicit Cut(const ModuleFraming& framing) : framing(framing) {}
    const ModuleFraming& framing;
    std::vector<Bytes> frames;
    std::vector<std::string> refusals;
    void onFrame(std::span<std::uint8_t> content) override { frames.emplace_back(content.begin(), content.end()); }
    void onRefused(FrameFault fault) override { refusals.emplace_back(framing.refusal(fault)); }
};

Bytes join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A receiver frame around the content, its checksum field as given or as the sum.
Bytes receiverFrame(const Bytes& content, std::uint16_t flag = 0) {
    Bytes frame;
    AppendFrame(frame, content, {}, std::uint16_t{0});
    frame[frame.size() - 4] |= static_cast<std::uint8_t>(flag >> 8);
    return frame;
}

Bytes serverFrame(const Bytes& idAndPayload) {
    Bytes frame;
    AppendFrame(frame, std::span(idAndPayload).first(1), std::span(idAndPayload).subspan(1), std::nullopt);
    return frame;
}

Bytes with(std::uint8_t first, Bytes rest) {
    rest.insert(rest.begin(), first);
    return rest;
}

struct Case {
    const char* legend;
    bool network;
    Bytes input;
    std::vector<Bytes> frames;
    std::vector<std::string> refusals;
};

const Bytes kShort{0x02, 0x17, 0x05};
const Bytes kLongest506 = with(0xDD, Bytes(505, 0x41));
const Bytes kTooLong507 = with(0xDD, Bytes(506, 0x41));
const Bytes kLongest4090 = with(0x03, Bytes(4089, 0x5A));

std::vector<Case> cases() {
    const std::string tooLongSerial = "Serial Module: Payload > SERIAL_RX_PACKET_SIZE! Msg ignored";
    const std::string badChecksum = "Serial Module-> Invalid Checksum! - msg ignored";
    return {
        {"serial frame", false, receiverFrame(kShort), {kShort}, {}},
        {"serial length 506 accepted", false, receiverFrame(kLongest506), {kLongest506}, {}},
        {"serial length 507 refused, hunted through", false, join({receiverFrame(kTooLong507), receiverFrame(kShort)}),
         {kShort}, {tooLongSerial}},
        {"serial length 0 refused", false, join({Bytes{0xA0, 0xA2, 0x00, 0x00}, receiverFrame(kShort)}), {kShort},
         {"Serial Module: Payload length 0! Msg ignored"}},
        {"serial checksum with bit 15 refused", false, join({receiverFrame(kShort, 0x8000), receiverFrame(kShort)}),
         {kShort}, {badChecksum}},
        {"serial wrong end byte after B0", false, join({Bytes{0xA0, 0xA2, 0x00, 0x01, 0x07, 0x00, 0x07, 0xB0, 0xB2},
                                                       receiverFrame(kShort)}),
         {kShort}, {"Serial Module->Invalid State End 2!- msg ignored"}},
        {"serial A0 A0 A2 synchronises", false, join({Bytes{0xA0}, receiverFrame(kShort)}), {kShort}, {}},
        {"serial broken end restarts at its A0", false,
         join({Bytes{0xA0, 0xA2, 0x00, 0x01, 0x07, 0x00, 0x07}, receiverFrame(kShort)}), {kShort},
         {"Serial Module-> Invalid State End 1! - msg ignored"}},
        {"server frame gains the channel byte", true, Bytes{0xA0, 0xA2, 0x00, 0x02, 0x08, 0x05, 0xB0, 0xB3},
         {Bytes{0xAA, 0x08, 0x05}}, {}},
        {"server length 1 with two bytes breaks at the end", true, Bytes{0xA0, 0xA2, 0x00, 0x01, 0x08, 0x05, 0xB0, 0xB3},
         {}, {"Network Module-> Invalid State End 1! Msg ignored"}},
        {"server length 4090 accepted", true, serverFrame(kLongest4090), {with(0xAA, kLongest4090)}, {}},
        {"server length 4091 refused", true, join({serverFrame(with(0x03, Bytes(4090, 0x5A))), serverFrame({0x09})}),
         {Bytes{0xAA, 0x09}}, {"Network Module: Payload > MAX_NETWORK_BUFFER! Msg ignored"}},
        {"server length 0 refused", true, join({Bytes{0xA0, 0xA2, 0x00, 0x00, 0xB0, 0xB3}, serverFrame({0x09})}),
         {Bytes{0xAA, 0x09}}, {"Network Module: Payload length 0! Msg ignored"}},
    };
}

// Every case gives the same result whole and split at every position.
TEST(ModuleFramingTest, CutsFramesWholeAndSplitAnywhere) {
    for (const Case& c : cases()) {
        const ModuleFraming framing = c.network ? networkModuleFraming() : serialModuleFraming();
        const std::size_t step = c.input.size() > 600 ? 97 : 1;
        for (std::size_t split = 0; split <= c.input.size(); split += step) {
            Cut cut(framing);
            FrameReceiver receiver(cut, framing.rules);
            receiver.feed(std::span(c.input).first(split));
            receiver.feed(std::span(c.input).subspan(split));
            EXPECT_EQ(cut.frames, c.frames) << c.legend << " split at " << split;
            EXPECT_EQ(cut.refusals, c.refusals) << c.legend << " split at " << split;
        }
    }
}

}  // namespace
}  // namespace vexa
