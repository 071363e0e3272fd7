#include "location/messages/message_f.h"

#include <algorithm>

#include "location/messages/number_encoding.h"
#include "receiver/frames/byte_order.h"

namespace vexa {

MessageF_HWConfigResponse::MessageF_HWConfigResponse(int sessionKind)
    : StoredPayload(kId, std::vector<std::uint8_t>(6)) {
    payload_[0] = (sessionKind == 2 || sessionKind == 3) ? 0x70 : 0x30;
    const auto zero = encodeUint40(0.0);
    std::copy(zero.begin(), zero.end(), payload_.begin() + 1);
}

MessageF_TimeTransferResponse::MessageF_TimeTransferResponse(std::uint16_t gpsWeek, double timeOfWeekMs)
    : StoredPayload(kId, std::vector<std::uint8_t>(12)) {
    ByteWriter(payload_).u8(0).u16(gpsWeek).bytes(encodeUint40(timeOfWeekMs)).u24(13).u8(0xF5);
}

MessageF_FreqTransferResponse::MessageF_FreqTransferResponse(std::uint8_t flags)
    : StoredPayload(kId, std::vector<std::uint8_t>((flags & kReferenceFrequencyPresent) ? 13 : 8)) {
    ByteWriter out(payload_);
    out.u16(0).u8(0xA4).u32(0xFFFFFFFE).u8(flags);
    if (flags & kReferenceFrequencyPresent) out.u8(0).u32(19200000);
}

MessageF_ApproxPositionResponse::MessageF_ApproxPositionResponse(const ClientProfile& profile)
    : StoredPayload(kId, std::vector<std::uint8_t>(13)) {
    ByteWriter(payload_)
        .u32(static_cast<std::uint32_t>(encodeLatitude(profile.approxLatitude)))
        .u32(static_cast<std::uint32_t>(encodeLongitude(profile.approxLongitude)))
        .u16(static_cast<std::uint16_t>(profile.approxAltitude))
        .u8(static_cast<std::uint8_t>(profile.approxAux))
        .u16(profile.approxUncertainty);
}

MessageF_SWVersionResponse::MessageF_SWVersionResponse(std::span<const std::uint8_t> frame) : MessageF(kId) {
    if (frame.size() < 4) return;
    const std::size_t length1 = frame[2];
    const std::size_t length2 = frame[3];
    if (frame.size() != length1 + length2 + 4) return;
    const auto text = [](std::span<const std::uint8_t> bytes) {
        const std::size_t kept = std::min(bytes.size(), kTextCapacity - 1);
        return std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(kept));
    };
    version1_ = text(frame.subspan(4, length1));
    version2_ = text(frame.subspan(4 + length1, length2));
}

MessageF_SWVersionResponse::MessageF_SWVersionResponse(std::string_view version1, std::string_view version2)
    : MessageF(kId), version1_(version1.substr(0, kTextCapacity - 1)), version2_(version2.substr(0, kTextCapacity - 1)) {}

std::size_t MessageF_SWVersionResponse::payloadLength() const { return 2 + version1_.size() + version2_.size(); }

const std::uint8_t* MessageF_SWVersionResponse::payload() {
    rendering_.clear();
    rendering_.push_back(static_cast<std::uint8_t>(version1_.size()));
    rendering_.push_back(static_cast<std::uint8_t>(version2_.size()));
    rendering_.insert(rendering_.end(), version1_.begin(), version1_.end());
    rendering_.insert(rendering_.end(), version2_.begin(), version2_.end());
    return rendering_.data();
}

}  // namespace vexa
