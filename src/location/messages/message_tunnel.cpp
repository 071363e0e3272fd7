#include "location/messages/message_tunnel.h"

#include <algorithm>

#include "location/messages/logical_channel.h"
#include "receiver/frames/byte_order.h"

namespace vexa {

MessageXTN_WarmReset::MessageXTN_WarmReset() : StoredPayload(kId, std::vector<std::uint8_t>(24)) {
    payload_[22] = 12;
    payload_[23] = 0x02;
}

MessageNMEA::MessageNMEA(std::uint8_t id, std::span<const std::uint8_t> payload)
    : ReceiverChannelMessage(kNmeaChannel, id, kNmeaFrameLimit),
      payload_(payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(std::min(payload.size(), kCapacity))) {}

NmeaRecord MessageNMEA::record() const {
    NmeaRecord record;
    record.bytes[0] = id();
    const std::size_t kept = std::min(payload_.size(), record.bytes.size() - 1);
    std::copy_n(payload_.begin(), kept, record.bytes.begin() + 1);
    return record;
}

MessageSTAT_TTFF::MessageSTAT_TTFF(std::span<const std::uint8_t, kPayloadLength> payload)
    : StoredPayload(kId, {payload.begin(), payload.end()}) {}

std::array<std::uint16_t, 3> MessageSTAT_TTFF::ttffTenths() const {
    return {LoadBig16(&payload_[0]), LoadBig16(&payload_[2]), LoadBig16(&payload_[4])};
}

}  // namespace vexa
