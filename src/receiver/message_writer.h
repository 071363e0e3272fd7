#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "receiver/records.h"

// Turns native records back into the payloads the receiver sends (id first, big-endian fields),
// for the receiver simulator, sample captures and tests.

namespace vexa {

// Writes the payload of message `id` from its record into `payload`. Copy-type messages (6, 180 to
// 199, 255) take the record bytes as the body; 225 takes a TtffReport. Gives the payload length, or
// 0 when the id is not one the decoder knows, the record is too short or `payload` too small.
std::size_t WriteMessage(int id, std::span<const std::uint8_t> record, std::span<std::uint8_t> payload);

std::vector<std::uint8_t> MessagePayload(const NavData& record);
std::vector<std::uint8_t> MessagePayload(const TrackData& record);
std::vector<std::uint8_t> MessagePayload(const RawTrackData& record);
std::vector<std::uint8_t> MessagePayload(const ClockStatus& record);
std::vector<std::uint8_t> MessagePayload(const Throughput& record);
std::vector<std::uint8_t> MessagePayload(const VisibleList& record);  // Count entries, at most 32
std::vector<std::uint8_t> MessagePayload(const OkToSendRecord& record);
std::vector<std::uint8_t> MessagePayload(const NavLibMeasurement& record);
std::vector<std::uint8_t> MessagePayload(const NavLibMessage29& record);
std::vector<std::uint8_t> MessagePayload(const NavLibMessage30& record);
std::vector<std::uint8_t> MessagePayload(const NavLibMessage31& record);
std::vector<std::uint8_t> MessagePayload(const GeoNavData& record);
std::vector<std::uint8_t> MessagePayload(const TtffReport& record);  // message 225, sub-id 6
std::vector<std::uint8_t> MessagePayload(const SubframeData& record);
std::vector<std::uint8_t> MessagePayload(const ErrorReport& record);
// Message 11 (acknowledged) or 12 (refused) answering the command with id `commandId`.
std::vector<std::uint8_t> ReplyPayload(bool acknowledged, std::uint8_t commandId);

// A copy-type message (6, 180 to 199, 255) carrying `text` unchanged.
std::vector<std::uint8_t> TextPayload(int id, std::string_view text);
// Message 225 with a sub-id other than 6, which carries no data.
std::vector<std::uint8_t> SubIdPayload(std::uint8_t subId);

}  // namespace vexa
