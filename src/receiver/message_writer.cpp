#include "receiver/message_writer.h"

#include <algorithm>
#include <cstring>

#include "receiver/message_ids.h"
#include "receiver/message_layouts.h"

namespace vexa {
namespace {

void EncodeFields(std::span<const Field> fields, const std::uint8_t* record, std::uint8_t* wire) {
    for (const Field& field : fields) {
        const std::uint8_t* in = record + field.record;
        std::uint8_t* out = wire + field.wire;
        switch (field.kind) {
            case FieldKind::Bytes: std::memcpy(out, in, field.count); break;
            case FieldKind::U16:
            case FieldKind::I16: StoreBig16(out, LoadNative<std::uint16_t>(in)); break;
            case FieldKind::U32:
            case FieldKind::I32:
            case FieldKind::F32: StoreBig32(out, LoadNative<std::uint32_t>(in)); break;
            case FieldKind::F64: StoreWireDouble(out, LoadNative<std::uint64_t>(in)); break;
        }
    }
}

std::size_t WriteFixed(int id, const MessageLayout& layout, std::span<const std::uint8_t> record,
                       std::span<std::uint8_t> payload) {
    if (record.size() < layout.recordLength) return 0;
    const std::size_t repetitions =
        layout.counted ? std::min<std::size_t>(record[0], layout.groupCount) : layout.groupCount;
    const std::size_t length = layout.payloadLength(repetitions);
    if (payload.size() < length) return 0;
    payload[0] = static_cast<std::uint8_t>(id);
    std::uint8_t* body = payload.data() + 1;
    EncodeFields(layout.header, record.data(), body);
    for (std::size_t r = 0; r < repetitions; ++r) {
        EncodeFields(layout.group, record.data() + layout.groupRecord + r * layout.groupRecordStride,
                     body + layout.groupWire + r * layout.groupWireStride);
    }
    return length;
}

template <class Record>
std::vector<std::uint8_t> PayloadOf(MessageId id, const Record& record) {
    std::vector<std::uint8_t> payload(1 + sizeof record);  // a wire body is never longer than its record
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(&record), sizeof record);
    payload.resize(WriteMessage(ToWire(id), bytes, payload));
    return payload;
}

}  // namespace

std::size_t WriteMessage(int id, std::span<const std::uint8_t> record, std::span<std::uint8_t> payload) {
    if (const MessageLayout* layout = layouts::FixedLayout(id)) return WriteFixed(id, *layout, record, payload);
    if (id == ToWire(MessageId::TtffReport)) return WriteFixed(id, layouts::kTtffReportLayout, record, payload);
    if (!IsCopyTypeId(id) || payload.size() < 1 + record.size()) return 0;
    payload[0] = static_cast<std::uint8_t>(id);
    std::copy(record.begin(), record.end(), payload.begin() + 1);
    return 1 + record.size();
}

std::vector<std::uint8_t> MessagePayload(const NavData& record) { return PayloadOf(MessageId::NavData, record); }
std::vector<std::uint8_t> MessagePayload(const TrackData& record) { return PayloadOf(MessageId::TrackData, record); }
std::vector<std::uint8_t> MessagePayload(const RawTrackData& record) { return PayloadOf(MessageId::RawTrackData, record); }
std::vector<std::uint8_t> MessagePayload(const ClockStatus& record) { return PayloadOf(MessageId::ClockStatus, record); }
std::vector<std::uint8_t> MessagePayload(const Throughput& record) { return PayloadOf(MessageId::Throughput, record); }
std::vector<std::uint8_t> MessagePayload(const VisibleList& record) { return PayloadOf(MessageId::VisibleList, record); }
std::vector<std::uint8_t> MessagePayload(const OkToSendRecord& record) { return PayloadOf(MessageId::OkToSend, record); }
std::vector<std::uint8_t> MessagePayload(const NavLibMeasurement& record) { return PayloadOf(MessageId::NavLibMeasurement, record); }
std::vector<std::uint8_t> MessagePayload(const NavLibMessage29& record) { return PayloadOf(MessageId::NavLib29, record); }
std::vector<std::uint8_t> MessagePayload(const NavLibMessage30& record) { return PayloadOf(MessageId::NavLib30, record); }
std::vector<std::uint8_t> MessagePayload(const NavLibMessage31& record) { return PayloadOf(MessageId::NavLib31, record); }
std::vector<std::uint8_t> MessagePayload(const GeoNavData& record) { return PayloadOf(MessageId::GeoNavData, record); }
std::vector<std::uint8_t> MessagePayload(const TtffReport& record) { return PayloadOf(MessageId::TtffReport, record); }
std::vector<std::uint8_t> MessagePayload(const SubframeData& record) { return PayloadOf(MessageId::SubframeData, record); }
std::vector<std::uint8_t> MessagePayload(const ErrorReport& record) { return PayloadOf(MessageId::ErrorReport, record); }

std::vector<std::uint8_t> ReplyPayload(bool acknowledged, std::uint8_t commandId) {
    return PayloadOf(acknowledged ? MessageId::CommandAck : MessageId::CommandNak, CommandReply{commandId});
}

std::vector<std::uint8_t> TextPayload(int id, std::string_view text) {
    std::vector<std::uint8_t> payload(1 + text.size());
    payload.resize(WriteMessage(id, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                                payload));
    return payload;
}

std::vector<std::uint8_t> SubIdPayload(std::uint8_t subId) { return {ToWire(MessageId::TtffReport), subId}; }

}  // namespace vexa
