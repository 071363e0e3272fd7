#include "location/messages/message_ai3.h"

#include <algorithm>

#include "location/messages/logical_channel.h"
#include "location/messages/number_encoding.h"
#include "location/messages/run_length.h"
#include "receiver/frames/byte_order.h"
#include "receiver/frames/frame_format.h"
#include "receiver/frames/frame_writer.h"

namespace vexa {

namespace {

constexpr std::size_t kSlotsOffset = 19;
constexpr std::size_t kSlotLength = 1 + kOrbitRecordLength;

std::vector<std::uint8_t> compress(std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> out;
    out.reserve(payload.size() + 2);
    encodeRunLength(payload, out);
    return out;
}

std::size_t fragmentFramesLength(std::size_t compressedLength) {
    return compressedLength + kAi3FragmentOverhead * ai3FragmentCount(compressedLength);
}

}  // namespace

std::size_t ai3FragmentCount(std::size_t compressedLength, std::size_t fragmentBytes) {
    return std::max<std::size_t>(1, (compressedLength + fragmentBytes - 1) / fragmentBytes);
}

void appendAi3Fragments(std::vector<std::uint8_t>& out, std::uint8_t id, std::span<const std::uint8_t> compressed,
                        std::size_t fragmentBytes) {
    const std::size_t count = ai3FragmentCount(compressed.size(), fragmentBytes);
    for (std::size_t index = 1; index <= count; ++index) {
        const std::array<std::uint8_t, 4> header{kAi3Channel, id, static_cast<std::uint8_t>(count),
                                                 static_cast<std::uint8_t>(index)};
        const std::size_t start = (index - 1) * fragmentBytes;
        const std::size_t length = std::min(fragmentBytes, compressed.size() - start);
        AppendFrame(out, header, compressed.subspan(start, length), std::uint16_t{0});
    }
}

MessageAI3::MessageAI3(std::uint8_t id) : Message(kAi3Channel, id) {}

const std::uint8_t* MessageAI3::getBytes() {
    frame_.clear();
    if (id() == MessageAI3_PositionRequest::kId) {
        const auto bytes = compress(payloadSpan());
        if (fragmentFramesLength(bytes.size()) > kAi3FrameLimit) return nullptr;
        appendAi3Fragments(frame_, id(), bytes);
        return frame_.data();
    }
    if (getLength() > kAi3FrameLimit) return nullptr;
    const std::array<std::uint8_t, 2> header{channel(), id()};
    AppendFrame(frame_, header, payloadSpan(), id() == MessageAI3_Response::kId ? FrameFlag : std::uint16_t{0});
    return frame_.data();
}

std::size_t MessageAI3::getLength() {
    if (id() == MessageAI3_PositionRequest::kId) {
        return fragmentFramesLength(compress(payloadSpan()).size());
    }
    return payloadLength() + 2 + kFrameOverhead;
}

MessageAI3_PositionRequest::MessageAI3_PositionRequest() : MessageAI3(kId), rendering_(kPayloadLength) {}

void MessageAI3_PositionRequest::setHeader(std::uint16_t numFixes, std::uint32_t requestParam) {
    numFixes_ = static_cast<std::uint8_t>(numFixes);
    requestParam_ = static_cast<std::uint8_t>(requestParam);
}

void MessageAI3_PositionRequest::clearSlots() { slots_ = OrbitSlots{}; }

const std::uint8_t* MessageAI3_PositionRequest::payload() {
    std::fill(rendering_.begin(), rendering_.end(), 0);
    ByteWriter(rendering_).u8(0x16).u8(1).u8(numFixes_).u8(requestParam_).u8(7).u8(7).u8(255).u8(0).u8(1).u8(0).u8(0);
    for (std::size_t slot = 0; slot < kSatelliteSlots; ++slot) {
        if (!slots_[slot].present) continue;
        auto* place = rendering_.data() + kSlotsOffset + slot * kSlotLength;
        place[0] = 1;
        std::copy(slots_[slot].record.begin(), slots_[slot].record.end(), place + 1);
    }
    return rendering_.data();
}

MessageAI3_Response::MessageAI3_Response(std::span<const std::uint8_t> answer) : MessageAI3(kId) {
    if (answer.size() != kAnswerLength) return;
    std::copy(answer.begin(), answer.end(), answer_.begin());
    decoded_ = true;
    decodeFields();
}

void MessageAI3_Response::decodeFields() {
    const std::uint8_t* a = answer_.data();
    std::uint16_t altitudeTenths = 0;
    if (a[0] != 0) {
        result_.flag3 = a[3] != 0 ? 1 : 0;
        result_.value5 = LoadBig16(a + 5);
        result_.value7 = LoadBig32(a + 7);
        result_.latitude = static_cast<float>(decodeLatitude(static_cast<std::int32_t>(LoadBig32(a + 11))));
        result_.longitude = static_cast<float>(decodeLongitude(static_cast<std::int32_t>(LoadBig32(a + 15))));
        const std::uint8_t groups = a[19];
        if (groups & 0x01) result_.bytes20 = {a[20], a[21], a[22]};
        if (groups & 0x02) {
            altitudeTenths = LoadBig16(a + 23);
            result_.byte25 = a[25];
        }
        if (groups & 0x04) {
            result_.value26 = LoadBig16(a + 26);
            result_.value28 = LoadBig16(a + 28);
            result_.byte30 = a[30];
        }
        if (groups & 0x10) {
            result_.entryCount = a[42];
            for (std::size_t entry = 0; entry < result_.entries.size(); ++entry) {
                result_.entries[entry] = {a[43 + 3 * entry], a[44 + 3 * entry]};
            }
        }
    }
    result_.altitude = altitudeTenths / 10 - 500;
}

}  // namespace vexa
