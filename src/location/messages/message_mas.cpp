#include "location/messages/message_mas.h"

#include <algorithm>

#include "location/messages/number_encoding.h"
#include "receiver/frames/byte_order.h"

namespace vexa {

namespace {

std::vector<std::uint8_t> sessionIdBytes(std::uint16_t sessionId) {
    return {static_cast<std::uint8_t>(sessionId >> 8), static_cast<std::uint8_t>(sessionId)};
}

std::vector<std::uint8_t> cutTo(std::span<const std::uint8_t> bytes, std::size_t capacity) {
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), capacity))};
}

std::vector<std::uint8_t> stationInfo(std::string_view msName) {
    const std::size_t length = std::min<std::size_t>(msName.size(), 255);  // the length is one byte
    std::vector<std::uint8_t> payload(3 + length);
    payload[0] = 0x28;
    payload[2] = static_cast<std::uint8_t>(length);
    std::copy_n(msName.begin(), length, payload.begin() + 3);
    return payload;
}

}  // namespace

MessageMAS_StartTest::MessageMAS_StartTest(const ClientProfile& profile)
    : StoredPayload(kId, std::vector<std::uint8_t>(30)) {
    ByteWriter(payload_)
        .u16(0x0700)
        .u8(1)
        .u32(static_cast<std::uint32_t>(encodeLatitude(profile.approxLatitude)))
        .u32(static_cast<std::uint32_t>(encodeLongitude(profile.approxLongitude)))
        .u16(encodeServerAltitude(profile.approxAltitude))
        .u16(profile.approxUncertainty)
        .u16(profile.approxAux)
        .u16(profile.numFixes)
        .u16(static_cast<std::uint16_t>(profile.requestParam))
        .u32(255)
        .u16(100)
        .u16(100)
        .u8(0);
}

MessageMAS_OpenRequest::MessageMAS_OpenRequest(std::uint16_t sessionId) : StoredPayload(kId, sessionIdBytes(sessionId)) {}

std::uint16_t MessageMAS_OpenRequest::sessionId() const { return LoadBig16(payload_.data()); }

MessageMAS_OpenResponse::MessageMAS_OpenResponse(std::uint16_t sessionId)
    : StoredPayload(kId, sessionIdBytes(sessionId)) {}

MessageMAS_Aiding::MessageMAS_Aiding(std::span<const std::uint8_t> block) : StoredPayload(kId, cutTo(block, kCapacity)) {}

MessageMAS_CloseRequest::MessageMAS_CloseRequest(std::uint16_t sessionId)
    : StoredPayload(kId, sessionIdBytes(sessionId)) {}

std::uint16_t MessageMAS_CloseRequest::sessionId() const { return LoadBig16(payload_.data()); }

MESSAGE_MAS_CLOSE_RESPONSE::MESSAGE_MAS_CLOSE_RESPONSE(std::uint16_t sessionId)
    : StoredPayload(kId, sessionIdBytes(sessionId)) {}

MessageMAS_MSInfo::MessageMAS_MSInfo(std::string_view msName) : StoredPayload(kId, stationInfo(msName)) {}

MessageMAS_Id10::MessageMAS_Id10(std::span<const std::uint8_t> payload) : StoredPayload(kId, cutTo(payload, kCapacity)) {}

}  // namespace vexa
