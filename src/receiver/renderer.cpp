#include "receiver/renderer.h"

#include <cstring>
#include <optional>

#include "platform/result_codes.h"
#include "receiver/line_writer.h"
#include "receiver/message_ids.h"
#include "receiver/message_layouts.h"
#include "receiver/reply_text.h"

namespace vexa {
namespace {

template <class Record>
std::optional<Record> ReadRecord(const std::uint8_t* record, std::size_t length) {
    if (length < sizeof(Record)) return std::nullopt;
    Record value;
    std::memcpy(&value, record, sizeof value);
    return value;
}

// Length of a text that may end early at a zero byte, never beyond `limit`.
std::size_t TextLength(const char* text, std::size_t limit) {
    const void* zero = std::memchr(text, 0, limit);
    return zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - text) : limit;
}

// Every field as ",<value>": integers as their record value, single and double floats as %.10e.
void AppendFields(LineWriter& line, std::span<const Field> fields, const std::uint8_t* record) {
    for (const Field& field : fields) {
        const std::uint8_t* value = record + field.record;
        switch (field.kind) {
            case FieldKind::Bytes:
                for (std::size_t i = 0; i < field.count; ++i) line.nextInteger(value[i]);
                break;
            case FieldKind::U16: line.nextInteger(LoadNative<std::uint16_t>(value)); break;
            case FieldKind::I16: line.nextInteger(LoadNative<std::int16_t>(value)); break;
            case FieldKind::U32: line.nextInteger(LoadNative<std::uint32_t>(value)); break;
            case FieldKind::I32: line.nextInteger(LoadNative<std::int32_t>(value)); break;
            case FieldKind::F32:
                line.character(',');
                line.scientific(LoadNative<float>(value), 10);
                break;
            case FieldKind::F64:
                line.character(',');
                line.scientific(LoadNative<double>(value), 10);
                break;
        }
    }
}

// The id, then every field of a message whose fields all print as plain values.
LinkResult RenderFields(int id, const MessageLayout& layout, const std::uint8_t* record, std::size_t length, char* out) {
    if (length < layout.recordLength) return kResultBadLength;
    LineWriter line(out);
    line.integer(id);
    AppendFields(line, layout.header, record);
    return kResultOk;
}

LinkResult RenderNavData(const std::uint8_t* record, std::size_t length, char* out) {
    const auto nav = ReadRecord<NavData>(record, length);
    if (!nav) return kResultBadLength;
    LineWriter line(out);
    line.character('2');
    line.nextInteger(nav->X);
    line.nextInteger(nav->Y);
    line.nextInteger(nav->Z);
    // Scale factors in single precision, printed as doubles.
    for (const std::int16_t velocity : {nav->VX, nav->VY, nav->VZ}) {
        line.character(',');
        line.fixed(velocity * 0.125f, 3);
    }
    line.nextInteger(nav->Mode1);
    line.character(',');
    line.fixed(nav->Hdop * 0.2f, 1);
    line.nextInteger(nav->Mode2);
    line.nextInteger(nav->Week);
    line.nextInteger(nav->Tow);
    line.nextInteger(nav->SvCount);
    for (std::uint8_t prn : nav->SvPrn) line.nextInteger(prn);
    return kResultOk;
}

LinkResult RenderTrackData(const std::uint8_t* record, std::size_t length, char* out) {
    const auto track = ReadRecord<TrackData>(record, length);
    if (!track) return kResultBadLength;
    LineWriter line(out);
    line.character('4');
    line.nextInteger(track->Week);
    line.nextInteger(track->Tow);
    line.nextInteger(track->ChannelCount);
    for (const TrackChannel& channel : track->Channels) {
        line.nextInteger(channel.Prn);
        line.nextInteger(static_cast<int>(channel.Azimuth * 1.5f));
        line.nextInteger(static_cast<int>(channel.Elevation * 0.5f));
        line.nextInteger(channel.State);
        for (std::uint8_t cn0 : channel.Cn0) line.nextInteger(cn0);
    }
    return kResultOk;
}

LinkResult RenderRawTrackData(const std::uint8_t* record, std::size_t length, char* out) {
    const MessageLayout& layout = layouts::kRawTrackDataLayout;
    const auto raw = ReadRecord<RawTrackData>(record, length);
    if (!raw) return kResultBadLength;
    // Channel and satellite id, the state in hex, then the rest as plain values.
    constexpr std::size_t kStateField = 2;
    LineWriter line(out);
    line.character('5');
    AppendFields(line, layout.header.first(kStateField), record);
    line.character(',');
    line.hex(raw->State, 2);
    AppendFields(line, layout.header.subspan(kStateField + 1), record);
    return kResultOk;
}

LinkResult RenderSwVersion(const std::uint8_t* record, std::size_t length, char* out) {
    const auto* text = reinterpret_cast<const char*>(record);
    LineWriter line(out);
    line.text("SW Version: ");
    line.text(std::string_view(text, TextLength(text, length)));
    return kResultOk;
}

LinkResult RenderClockStatus(const std::uint8_t* record, std::size_t length, char* out) {
    const auto clock = ReadRecord<ClockStatus>(record, length);
    if (!clock) return kResultBadLength;
    LineWriter line(out);
    line.text("Week:");
    line.integer(clock->Week);
    line.text("  TOW:");
    line.integer(clock->TOW);
    line.text("  EstGPSTime:");
    line.integer(clock->EstGPSTime);
    line.text(" ms  SVCnt:");
    line.integer(clock->SVCnt);
    line.text("  Clock Drift:");
    line.integer(clock->ClockDrift);
    line.text(" Hz  Clock Bias:");
    line.integer(clock->ClockBias);
    line.text(" ns");
    return kResultOk;
}

LinkResult RenderThroughput(const std::uint8_t* record, std::size_t length, char* out) {
    const auto throughput = ReadRecord<Throughput>(record, length);
    if (!throughput) return kResultBadLength;
    LineWriter line(out);
    line.text("ThrPut(186=1ms): Latency:");
    line.integer(throughput->Latency, 3);
    line.text(" SegStatMax:");
    line.integer(throughput->SegStatMax, 3);
    line.text(" AveTrkTime:");
    line.integer(throughput->AveTrkTime, 3);
    line.text(" Nav Complete:");
    line.integer(throughput->NavComplete, 4);
    line.text(" ms");
    return kResultOk;
}

LinkResult RenderVisibleList(const std::uint8_t* record, std::size_t length, char* out) {
    const auto list = ReadRecord<VisibleList>(record, length);
    if (!list) return kResultBadLength;
    LineWriter line(out);
    line.text("Visible List\n");
    const std::size_t count = std::min<std::size_t>(list->Count, kMaxVisible);
    for (std::size_t i = 0; i < count; ++i) {
        const VisibleSatellite& satellite = list->Satellites[i];
        line.text("SVID:");
        line.integer(satellite.SvId, 2);
        line.text("  Az:");
        line.integer(satellite.Azimuth, 3);
        line.text("  El:");
        line.integer(satellite.Elevation, 3);
        line.character('\n');
    }
    return kResultOk;
}

LinkResult RenderOkToSend(const std::uint8_t* record, std::size_t length, char* out) {
    if (length < sizeof(OkToSendRecord)) return kResultBadLength;
    LineWriter line(out);
    line.text(record[0] != 0 ? "OkToSend: 1" : "OkToSend: 0");
    return kResultOk;
}

LinkResult RenderNavLib30(const std::uint8_t* record, std::size_t length, char* out) {
    const MessageLayout& layout = layouts::kNavLib30Layout;
    const auto message = ReadRecord<NavLibMessage30>(record, length);
    if (!message) return kResultBadLength;
    // The first double alone is printed with eleven decimals.
    LineWriter line(out);
    line.text("30");
    line.nextInteger(message->At1);
    line.character(',');
    line.scientific(message->At2, 11);
    AppendFields(line, layout.header.subspan(2), record);
    return kResultOk;
}

LinkResult RenderTtffReport(const std::uint8_t* record, std::size_t length, char* out) {
    const auto report = ReadRecord<TtffReport>(record, length);
    if (!report || report->SubId != kTtffSubId) return kResultBadLength;
    LineWriter line(out);
    line.text("225,6");
    line.nextInteger(report->TimeToFirstFix);
    line.nextInteger(report->At29[4]);
    line.nextInteger(report->At29[5]);
    // An unsigned format over a signed value: its 32-bit unsigned pattern.
    line.nextInteger(static_cast<std::uint32_t>(std::int32_t{report->At35}));
    return kResultOk;
}

// Receiver text (NMEA sentences and development text): right-aligned in a field as wide as the
// text length when it ends early at a zero byte, line breaks shown as blanks.
LinkResult RenderText(const std::uint8_t* record, std::size_t length, char* out) {
    const auto* text = reinterpret_cast<const char*>(record);
    const std::size_t width = std::min(length, kRenderBufferSize - 1);
    const std::size_t used = TextLength(text, width);
    const std::size_t padding = width - used;
    std::memset(out, ' ', padding);
    for (std::size_t i = 0; i < used; ++i) {
        const char c = text[i];
        out[padding + i] = c == '\r' || c == '\n' ? ' ' : c;
    }
    out[width] = '\0';
    return kResultOk;
}

}  // namespace

LinkResult RenderMessage(int id, const std::uint8_t* record, std::size_t length, char* line) {
    if (id < 0 || id > 0xFF) return kResultBadLength;
    switch (FromWire(static_cast<std::uint8_t>(id))) {
        case MessageId::NavData: return RenderNavData(record, length, line);
        case MessageId::TrackData: return RenderTrackData(record, length, line);
        case MessageId::RawTrackData: return RenderRawTrackData(record, length, line);
        case MessageId::SwVersion: return RenderSwVersion(record, length, line);
        case MessageId::ClockStatus: return RenderClockStatus(record, length, line);
        case MessageId::SubframeData: return RenderSubframe(record, length, line);
        case MessageId::Throughput: return RenderThroughput(record, length, line);
        case MessageId::ErrorReport: return RenderErrorReport(record, length, line);
        case MessageId::CommandAck: return RenderCommandReply("Ack: 0x", record, length, line);
        case MessageId::CommandNak: return RenderCommandReply("Nak: 0x", record, length, line);
        case MessageId::VisibleList: return RenderVisibleList(record, length, line);
        case MessageId::OkToSend: return RenderOkToSend(record, length, line);
        case MessageId::NavLibMeasurement: return RenderFields(id, layouts::kNavLibMeasurementLayout, record, length, line);
        case MessageId::NavLib29: return RenderFields(id, layouts::kNavLib29Layout, record, length, line);
        case MessageId::NavLib30: return RenderNavLib30(record, length, line);
        case MessageId::NavLib31: return RenderFields(id, layouts::kNavLib31Layout, record, length, line);
        case MessageId::GeoNavData: return RenderFields(id, layouts::kGeoNavDataLayout, record, length, line);
        case MessageId::TtffReport: return RenderTtffReport(record, length, line);
        case MessageId::DevelopmentText: return RenderText(record, length, line);
        default: return kResultBadLength;
    }
}

}  // namespace vexa
