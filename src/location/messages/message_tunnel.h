#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "location/messages/host_callbacks.h"
#include "location/messages/message.h"
#include "receiver/binary/message_ids.h"

namespace vexa {

// Receiver messages carried through the client: the binary warm reset (XTN), NMEA data and the
// time-to-first-fix statistics (STAT).

// The body of the receiver's warm reset command, tunnelled.
class MessageXTN_WarmReset : public StoredPayload<MessageXTN> {
public:
    static constexpr std::uint8_t kId = ToWire(MessageId::Reset);
    MessageXTN_WarmReset();
};

// Any NMEA channel id; received payloads beyond the capacity are cut.
class MessageNMEA : public ReceiverChannelMessage {
public:
    static constexpr std::size_t kCapacity = 128;
    MessageNMEA(std::uint8_t id, std::span<const std::uint8_t> payload);
    std::size_t payloadLength() const override { return payload_.size(); }
    const std::uint8_t* payload() override { return payload_.data(); }
    // The record handed to the host's nmea callback.
    NmeaRecord record() const;

private:
    std::vector<std::uint8_t> payload_;
};

// Three 16-bit figures in tenths of a second lead the record; the rest is carried through.
class MessageSTAT_TTFF : public StoredPayload<MessageSTAT> {
public:
    static constexpr std::uint8_t kId = 6;
    static constexpr std::size_t kPayloadLength = 37;
    explicit MessageSTAT_TTFF(std::span<const std::uint8_t, kPayloadLength> payload);
    std::array<std::uint16_t, 3> ttffTenths() const;
};

}  // namespace vexa
