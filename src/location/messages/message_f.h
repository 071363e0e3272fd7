#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "location/messages/client_profile.h"
#include "location/messages/message.h"

namespace vexa {

// Session control, time, frequency and position assistance between the client and the receiver.

class MessageF_OpenSessionNotification : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 0;
    explicit MessageF_OpenSessionNotification(std::uint8_t value) : StoredPayload(kId, {value}) {}
};

class MessageF_SessionOpenRequest : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 0;
    MessageF_SessionOpenRequest() : StoredPayload(kId, {0x71}) {}
};

class MessageF_CloseSessionNotification : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 1;
    explicit MessageF_CloseSessionNotification(std::uint8_t value) : StoredPayload(kId, {value}) {}
};

class MessageF_SessionCloseRequest : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 1;
    MessageF_SessionCloseRequest() : StoredPayload(kId, {0}) {}
};

class MessageF_ErrorNotification : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 4;
    explicit MessageF_ErrorNotification(std::uint8_t errorCode) : StoredPayload(kId, {errorCode}) {}
    std::uint8_t errorCode() const { return payload_[0]; }
};

class MessageF_HWConfigRequest : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 16;
    MessageF_HWConfigRequest() : StoredPayload(kId, {}) {}
};

class MessageF_HWConfigResponse : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 16;
    // Session kinds 2 (network) and 3 (aided) announce the server's assistance.
    explicit MessageF_HWConfigResponse(int sessionKind);
};

class MessageF_TimeTransferRequest : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 17;
    MessageF_TimeTransferRequest() : StoredPayload(kId, {}) {}
};

class MessageF_TimeTransferResponse : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 17;
    MessageF_TimeTransferResponse(std::uint16_t gpsWeek, double timeOfWeekMs);
};

class MessageF_FreqTransferRequest : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 18;
    explicit MessageF_FreqTransferRequest(std::uint8_t value) : StoredPayload(kId, {value}) {}
};

class MessageF_FreqTransferResponse : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 18;
    static constexpr std::uint8_t kReferenceFrequencyPresent = 0x08;
    explicit MessageF_FreqTransferResponse(std::uint8_t flags = kReferenceFrequencyPresent);
};

class MessageF_ApproxPositionRequest : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 19;
    MessageF_ApproxPositionRequest() : StoredPayload(kId, {}) {}
};

class MessageF_ApproxPositionResponse : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 19;
    explicit MessageF_ApproxPositionResponse(const ClientProfile& profile);
};

class MessageF_Reject : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 21;
    MessageF_Reject(std::uint8_t rejectedId, std::uint8_t reason) : StoredPayload(kId, {rejectedId, reason}) {}
    std::uint8_t rejectedId() const { return payload_[0]; }
    std::uint8_t reason() const { return payload_[1]; }
};

class MessageF_GPSReset : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 22;
    explicit MessageF_GPSReset(std::uint8_t resetKind)
        : StoredPayload(kId, {static_cast<std::uint8_t>(resetKind == 2 ? 0 : 1)}) {}
};

class MessageF_SWVersionRequest : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 23;
    MessageF_SWVersionRequest() : StoredPayload(kId, {}) {}
};

// Two version texts; taken only when the frame's length is exactly what their lengths announce.
class MessageF_SWVersionResponse : public MessageF {
public:
    static constexpr std::uint8_t kId = 23;
    static constexpr std::size_t kTextCapacity = 80;  // bytes including the terminating zero

    // frame: the received content, channel and id first.
    explicit MessageF_SWVersionResponse(std::span<const std::uint8_t> frame);
    // The receiver's answer with its two texts, each cut to the capacity.
    MessageF_SWVersionResponse(std::string_view version1, std::string_view version2);
    std::size_t payloadLength() const override;
    const std::uint8_t* payload() override;
    const std::string& version1() const { return version1_; }
    const std::string& version2() const { return version2_; }

private:
    std::string version1_;
    std::string version2_;
    std::vector<std::uint8_t> rendering_;
};

class MessageF_ChannelOpen : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 160;
    explicit MessageF_ChannelOpen(std::uint8_t channel) : StoredPayload(kId, {0, channel, 0}) {}
    explicit MessageF_ChannelOpen(std::array<std::uint8_t, 3> received)
        : StoredPayload(kId, {received.begin(), received.end()}) {}
};

class MessageF_ChannelClose : public StoredPayload<MessageF> {
public:
    static constexpr std::uint8_t kId = 161;
    explicit MessageF_ChannelClose(std::uint8_t channel) : StoredPayload(kId, {0, channel}) {}
    explicit MessageF_ChannelClose(std::array<std::uint8_t, 2> received)
        : StoredPayload(kId, {received.begin(), received.end()}) {}
};

}  // namespace vexa
