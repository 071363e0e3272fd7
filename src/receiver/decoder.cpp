#include "receiver/decoder.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/result_codes.h"
#include "receiver/message_ids.h"
#include "receiver/message_layouts.h"

namespace vexa {
namespace {

// One field, its kind and offsets known when compiled, so a message's fields become straight loads.
template <Field F>
void DecodeField(const std::uint8_t* wire, std::uint8_t* record) {
    const std::uint8_t* in = wire + F.wire;
    std::uint8_t* out = record + F.record;
    if constexpr (F.kind == FieldKind::Bytes) {
        std::memcpy(out, in, F.count);
    } else if constexpr (F.kind == FieldKind::F64) {
        StoreNative(out, LoadWireDouble(in));
    } else if constexpr (FieldWidth(F.kind) == 2) {
        StoreNative(out, LoadBig16(in));
    } else {
        StoreNative(out, LoadBig32(in));
    }
}

// The header's or the group's fields of a layout.
using Block = std::span<const Field> MessageLayout::*;

// The pointers go unused for a layout without a group.
template <const MessageLayout& Layout, Block Fields, std::size_t... I>
void DecodeBlock([[maybe_unused]] const std::uint8_t* wire, [[maybe_unused]] std::uint8_t* record,
                 std::index_sequence<I...>) {
    (DecodeField<(Layout.*Fields)[I]>(wire, record), ...);
}

template <const MessageLayout& Layout, Block Fields>
void DecodeBlock(const std::uint8_t* wire, std::uint8_t* record) {
    DecodeBlock<Layout, Fields>(wire, record, std::make_index_sequence<(Layout.*Fields).size()>());
}

DecodeResult BadLength() { return DecodeResult{kResultBadLength, 0, 0}; }

template <const MessageLayout& Layout>
DecodeResult DecodeFixed(std::span<const std::uint8_t> payload, std::uint8_t* record) {
    std::size_t repetitions = Layout.groupCount;
    if constexpr (Layout.counted) {
        if (payload.size() < 2) return BadLength();
        repetitions = std::min<std::size_t>(payload[1], Layout.groupCount);
    }
    if (payload.size() != Layout.payloadLength(repetitions)) return BadLength();

    // Padding and unused entries read as zero, so a stored record never carries stale bytes.
    std::memset(record, 0, Layout.recordLength);
    const std::uint8_t* body = payload.data() + 1;
    DecodeBlock<Layout, &MessageLayout::header>(body, record);
    for (std::size_t r = 0; r < repetitions; ++r) {
        DecodeBlock<Layout, &MessageLayout::group>(body + Layout.groupWire + r * Layout.groupWireStride,
                                                   record + Layout.groupRecord + r * Layout.groupRecordStride);
    }
    if constexpr (Layout.counted) record[0] = static_cast<std::uint8_t>(repetitions);
    return DecodeResult{kResultOk, payload[0], Layout.recordLength};
}

using FixedDecoder = DecodeResult (*)(std::span<const std::uint8_t>, std::uint8_t*);

template <int Id>
constexpr FixedDecoder FixedDecoderOf() {
    if constexpr (constexpr const MessageLayout* layout = layouts::FixedLayout(Id); layout != nullptr) {
        return &DecodeFixed<*layout>;
    } else {
        return nullptr;
    }
}

// The decoder of every id with a fixed layout, by id; null for the others.
constexpr auto kFixedDecoders = []<std::size_t... Id>(std::index_sequence<Id...>) {
    return std::array<FixedDecoder, sizeof...(Id)>{FixedDecoderOf<static_cast<int>(Id)>()...};
}(std::make_index_sequence<256>());

DecodeResult DecodeCopy(std::span<const std::uint8_t> payload, std::uint8_t* record, LinkResult tooLongCode) {
    const std::size_t length = payload.size() - 1;
    if (length > RecordBuffer::kSize) {
        // Frames never carry that much; refused rather than overrunning the record.
        return tooLongCode == kResultUnknownId ? DecodeResult{kResultUnknownId, payload[0], 0} : BadLength();
    }
    std::memcpy(record, payload.data() + 1, length);
    return DecodeResult{kResultOk, payload[0], length};
}

DecodeResult DecodeTtff(std::span<const std::uint8_t> payload, std::uint8_t* record, ReceiverContext& context) {
    if (payload.size() < 2) return BadLength();
    if (payload[1] != kTtffSubId) {
        if (payload.size() != 2) return BadLength();
        return DecodeResult{kResultOk, payload[0], 0};
    }
    const DecodeResult result = DecodeFixed<layouts::kTtffReportLayout>(payload, record);
    if (result.code == kResultOk) {
        const auto tenths = LoadNative<std::uint16_t>(record + offsetof(TtffReport, TimeToFirstFix));
        char text[TtffText::kCapacity];
        const int length = std::snprintf(text, sizeof text, "%.1f sec", tenths * 0.1);
        context.Ttff.set(std::string_view(text, static_cast<std::size_t>(length)));
        context.TtffCounter.receiverReported();
    }
    return result;
}

}  // namespace

DecodeResult DecodeMessage(std::span<const std::uint8_t> payload, RecordBuffer& record, ReceiverContext& context) {
    if (payload.empty()) return BadLength();
    const int id = payload[0];
    if (const FixedDecoder decode = kFixedDecoders[static_cast<std::size_t>(id)]) return decode(payload, record.bytes);
    if (IsPassThroughId(id)) return DecodeCopy(payload, record.bytes, kResultUnknownId);
    if (IsCopyTypeId(id)) return DecodeCopy(payload, record.bytes, kResultBadLength);
    if (id == ToWire(MessageId::TtffReport)) return DecodeTtff(payload, record.bytes, context);
    return DecodeResult{kResultUnknownId, id, 0};
}

}  // namespace vexa
