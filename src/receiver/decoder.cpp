#include "receiver/decoder.h"

#include <cstdio>
#include <cstring>

#include "platform/result_codes.h"
#include "receiver/message_ids.h"
#include "receiver/message_layouts.h"

namespace vexa {
namespace {

void DecodeFields(std::span<const Field> fields, const std::uint8_t* wire, std::uint8_t* record) {
    for (const Field& field : fields) {
        const std::uint8_t* in = wire + field.wire;
        std::uint8_t* out = record + field.record;
        switch (field.kind) {
            case FieldKind::Bytes: std::memcpy(out, in, field.count); break;
            case FieldKind::U16:
            case FieldKind::I16: StoreNative(out, LoadBig16(in)); break;
            case FieldKind::U32:
            case FieldKind::I32:
            case FieldKind::F32: StoreNative(out, LoadBig32(in)); break;
            case FieldKind::F64: StoreNative(out, LoadWireDouble(in)); break;
        }
    }
}

DecodeResult BadLength() { return DecodeResult{kResultBadLength, 0, 0}; }

DecodeResult DecodeFixed(const MessageLayout& layout, std::span<const std::uint8_t> payload,
                         std::uint8_t* record) {
    std::size_t repetitions = layout.groupCount;
    if (layout.counted) {
        if (payload.size() < 2) return BadLength();
        repetitions = std::min<std::size_t>(payload[1], layout.groupCount);
    }
    if (payload.size() != layout.payloadLength(repetitions)) return BadLength();

    // Padding and unused entries read as zero, so a stored record never carries stale bytes.
    std::memset(record, 0, layout.recordLength);
    const std::uint8_t* body = payload.data() + 1;
    DecodeFields(layout.header, body, record);
    for (std::size_t r = 0; r < repetitions; ++r) {
        DecodeFields(layout.group, body + layout.groupWire + r * layout.groupWireStride,
                     record + layout.groupRecord + r * layout.groupRecordStride);
    }
    if (layout.counted) record[0] = static_cast<std::uint8_t>(repetitions);
    return DecodeResult{kResultOk, payload[0], layout.recordLength};
}

DecodeResult DecodeCopy(std::span<const std::uint8_t> payload, std::uint8_t* record, int tooLongCode) {
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
    const DecodeResult result = DecodeFixed(layouts::kTtffReportLayout, payload, record);
    if (result.code == kResultOk) {
        const auto tenths = LoadNative<std::uint16_t>(record + offsetof(TtffReport, TimeToFirstFix));
        char text[TtffText::kCapacity];
        const int length = std::snprintf(text, sizeof text, "%.1f sec", tenths * 0.1);
        context.Ttff.set(std::string_view(text, static_cast<std::size_t>(length)));
    }
    return result;
}

}  // namespace

DecodeResult DecodeMessage(std::span<const std::uint8_t> payload, RecordBuffer& record, ReceiverContext& context) {
    if (payload.empty()) return BadLength();
    const int id = payload[0];
    if (const MessageLayout* layout = layouts::FixedLayout(id)) {
        return DecodeFixed(*layout, payload, record.bytes);
    }
    if (IsPassThroughId(id)) return DecodeCopy(payload, record.bytes, kResultUnknownId);
    if (IsCopyTypeId(id)) return DecodeCopy(payload, record.bytes, kResultBadLength);
    if (id == ToWire(MessageId::TtffReport)) return DecodeTtff(payload, record.bytes, context);
    return DecodeResult{kResultUnknownId, id, 0};
}

}  // namespace vexa
