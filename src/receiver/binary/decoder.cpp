#include "receiver/binary/decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <type_traits>

#include "platform/result_codes.h"
#include "receiver/binary/message_table.h"
#include "receiver/binary/wire_codec.h"

namespace vexa {
namespace {

DecodeResult BadLength() { return DecodeResult{kResultBadLength, 0, 0}; }

// The whole body copied as it came (a text, or bytes passed on).
template <class Row>
DecodeResult DecodeWhole(std::span<const std::uint8_t> payload, std::uint8_t* record) {
    const std::size_t length = payload.size() - 1;
    if (length > RecordBuffer::kSize) {
        // Frames never carry that much; refused rather than overrunning the record.
        if constexpr (std::is_same_v<typename Row::Fields, UnreadBody>) {
            return DecodeResult{kResultUnknownId, payload[0], 0};
        }
        return BadLength();
    }
    std::memcpy(record, payload.data() + 1, length);
    return DecodeResult{kResultOk, payload[0], length};
}

// A body of record members: its length checked, then every field loaded at its place.
template <class Row, auto... Parts>
DecodeResult DecodeFields(std::span<const std::uint8_t> payload, std::uint8_t* buffer, ReceiverContext& context,
                          Wire<Parts...>) {
    using Body = Wire<Parts...>;
    using Record = typename Row::Record;
    const std::uint8_t* body = payload.data() + 1;
    const std::size_t length = payload.size() - 1;
    if constexpr (Body::kSubIdFirst) {
        if (length < 1) return BadLength();
        if (body[0] != Body::kFirst.kCarried) {
            if (length != 1) return BadLength();
            return DecodeResult{kResultOk, payload[0], 0};
        }
    }
    std::size_t items = 0;
    if constexpr (Body::kCounted) {
        using Counted = std::remove_cv_t<decltype(Body::kLast)>;
        if (length < Body::kWidth) return BadLength();
        const std::size_t countAt = Body::kWidth - PartWidth<Body::kLast>();
        const std::size_t count = wire::Load<MemberValue<Counted::kCount>>(body + countAt);
        items = std::min(count, Counted::kCapacity);
        const std::size_t carried = Counted::kOverflow == Beyond::Refused ? items : count;
        if (length != Body::kWidth + carried * wire::ItemWidth<Counted>()) return BadLength();
    } else if (length != Body::kWidth) {
        return BadLength();
    }
    // Padding and unused entries read as zero, so a stored record never carries stale bytes.
    Record& record = *::new (buffer) Record;
    std::memset(&record, 0, sizeof record);
    wire::DecodeParts<0, Parts...>(body, record, items);
    if constexpr (!std::is_null_pointer_v<decltype(Row::decoded)>) Row::decoded(record, context);
    return DecodeResult{kResultOk, payload[0], sizeof record};
}

template <class Row>
DecodeResult DecodeRow(std::span<const std::uint8_t> payload, std::uint8_t* record, ReceiverContext& context) {
    using Body = typename Row::Fields;
    if constexpr (std::is_same_v<Body, TextBody> || std::is_same_v<Body, UnreadBody>) {
        return DecodeWhole<Row>(payload, record);
    } else {
        return DecodeFields<Row>(payload, record, context, Body{});
    }
}

using RowDecoder = DecodeResult (*)(std::span<const std::uint8_t>, std::uint8_t*, ReceiverContext&);

constexpr auto kDecoders = PerMessageId<RowDecoder>([]<class Row>() { return &DecodeRow<Row>; });

}  // namespace

DecodeResult DecodeMessage(std::span<const std::uint8_t> payload, RecordBuffer& record, ReceiverContext& context) {
    if (payload.empty()) return BadLength();
    const int id = payload[0];
    if (const RowDecoder decode = kDecoders[static_cast<std::size_t>(id)]) return decode(payload, record.bytes, context);
    return DecodeResult{kResultUnknownId, id, 0};
}

}  // namespace vexa
