#include "receiver/binary/message_writer.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "receiver/binary/message_ids.h"
#include "receiver/binary/wire_codec.h"

namespace vexa {
namespace {

template <class Record, auto... Parts>
std::size_t WriteFields(int id, const Record& record, std::span<std::uint8_t> payload, Wire<Parts...>) {
    using Body = Wire<Parts...>;
    if constexpr (Body::kSubIdFirst) {
        constexpr auto kSubId = Body::kFirst;
        if (record.*kSubId.kMember != kSubId.kCarried) {
            if (payload.size() < 2) return 0;
            payload[0] = static_cast<std::uint8_t>(id);
            payload[1] = record.*kSubId.kMember;
            return 2;
        }
    }
    std::size_t length = 1 + Body::kWidth;
    std::size_t items = 0;
    if constexpr (Body::kCounted) {
        using Counted = std::remove_cv_t<decltype(Body::kLast)>;
        items = std::min<std::size_t>(record.*Counted::kCount, Counted::kCapacity);
        length += items * wire::ItemWidth<Counted>();
    }
    if (payload.size() < length) return 0;
    payload[0] = static_cast<std::uint8_t>(id);
    wire::EncodeParts<0, Parts...>(record, payload.data() + 1, items);
    return length;
}

template <class Row>
std::size_t WriteRow(int id, std::span<const std::uint8_t> record, std::span<std::uint8_t> payload) {
    using Body = typename Row::Fields;
    if constexpr (std::is_same_v<Body, TextBody> || std::is_same_v<Body, UnreadBody>) {
        if (payload.size() < 1 + record.size()) return 0;
        payload[0] = static_cast<std::uint8_t>(id);
        std::copy(record.begin(), record.end(), payload.begin() + 1);
        return 1 + record.size();
    } else {
        using Record = typename Row::Record;
        if (record.size() < sizeof(Record)) return 0;
        Record value;
        std::memcpy(&value, record.data(), sizeof value);
        return WriteFields(id, value, payload, Body{});
    }
}

using RowWriter = std::size_t (*)(int, std::span<const std::uint8_t>, std::span<std::uint8_t>);

constexpr auto kWriters = PerMessageId<RowWriter>([]<class Row>() { return &WriteRow<Row>; });

}  // namespace

std::size_t WriteMessage(int id, std::span<const std::uint8_t> record, std::span<std::uint8_t> payload) {
    if (id < 0 || id > 0xFF) return 0;
    const RowWriter write = kWriters[static_cast<std::size_t>(id)];
    return write != nullptr ? write(id, record, payload) : 0;
}

std::vector<std::uint8_t> ReplyPayload(bool acknowledged, std::uint8_t commandId) {
    const CommandReply reply{commandId};
    std::vector<std::uint8_t> payload(1 + sizeof reply);
    payload.resize(WriteMessage(ToWire(acknowledged ? MessageId::CommandAck : MessageId::CommandNak),
                                std::span(reinterpret_cast<const std::uint8_t*>(&reply), sizeof reply), payload));
    return payload;
}

std::vector<std::uint8_t> TextPayload(int id, std::string_view text) {
    std::vector<std::uint8_t> payload(1 + text.size());
    payload.resize(WriteMessage(id, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                                payload));
    return payload;
}

std::vector<std::uint8_t> SubIdPayload(std::uint8_t subId) {
    TtffReport report{};
    report.SubId = subId;
    return MessagePayload(report);
}

}  // namespace vexa
