#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "receiver/binary/message_table.h"
#include "receiver/binary/records.h"

// Turns native records back into the payloads the receiver sends (id first, big-endian fields),
// for the receiver simulator, sample captures and tests.

namespace vexa {

// Writes the payload of message `id` from its record into `payload`. Messages of a whole body (6,
// 180 to 199, 255) take the record bytes as the body. Gives the payload length, or 0 when the id is
// not one the decoder knows, the record is too short or `payload` too small.
std::size_t WriteMessage(int id, std::span<const std::uint8_t> record, std::span<std::uint8_t> payload);

// The payload of the message whose record is a `Record` (a visible list with its Count entries, an
// error report with its ParamCount parameters, at most the record's).
template <class Record>
std::vector<std::uint8_t> MessagePayload(const Record& record) {
    std::vector<std::uint8_t> payload(1 + sizeof record);  // a wire body is never longer than its record
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(&record), sizeof record);
    payload.resize(WriteMessage(kIdOfRecord<Record>, bytes, payload));
    return payload;
}

// Message 11 (acknowledged) or 12 (refused) answering the command with id `commandId`.
std::vector<std::uint8_t> ReplyPayload(bool acknowledged, std::uint8_t commandId);

// A whole-body message (6, 180 to 199, 255) carrying `text` unchanged.
std::vector<std::uint8_t> TextPayload(int id, std::string_view text);
// Message 225 with a sub-id other than 6, which carries no data.
std::vector<std::uint8_t> SubIdPayload(std::uint8_t subId);

}  // namespace vexa
