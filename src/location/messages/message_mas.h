#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "location/messages/client_profile.h"
#include "location/messages/message.h"

namespace vexa {

// Messages exchanged with the assistance server.

class MessageMAS_StartTest : public StoredPayload<MessageMAS> {
public:
    static constexpr std::uint8_t kId = 1;
    explicit MessageMAS_StartTest(const ClientProfile& profile);
};

class MessageMAS_OpenRequest : public StoredPayload<MessageMAS> {
public:
    static constexpr std::uint8_t kId = 2;
    explicit MessageMAS_OpenRequest(std::uint16_t sessionId);
    std::uint16_t sessionId() const;
};

class MessageMAS_OpenResponse : public StoredPayload<MessageMAS> {
public:
    static constexpr std::uint8_t kId = 2;
    explicit MessageMAS_OpenResponse(std::uint16_t sessionId);
};

// The aiding data block, as received; longer blocks are cut to the capacity.
class MessageMAS_Aiding : public StoredPayload<MessageMAS> {
public:
    static constexpr std::uint8_t kId = 3;
    static constexpr std::size_t kCapacity = 4096;
    explicit MessageMAS_Aiding(std::span<const std::uint8_t> block);
};

class MessageMAS_CloseRequest : public StoredPayload<MessageMAS> {
public:
    static constexpr std::uint8_t kId = 4;
    explicit MessageMAS_CloseRequest(std::uint16_t sessionId);
    std::uint16_t sessionId() const;
};

class MESSAGE_MAS_CLOSE_RESPONSE : public StoredPayload<MessageMAS> {
public:
    static constexpr std::uint8_t kId = 4;
    explicit MESSAGE_MAS_CLOSE_RESPONSE(std::uint16_t sessionId);
};

class MessageMAS_Reject : public StoredPayload<MessageMAS> {
public:
    static constexpr std::uint8_t kId = 5;
    explicit MessageMAS_Reject(std::uint8_t value) : StoredPayload(kId, {value}) {}
};

class MessageMAS_EndTest : public StoredPayload<MessageMAS> {
public:
    static constexpr std::uint8_t kId = 6;
    MessageMAS_EndTest() : StoredPayload(kId, {}) {}
};

class MessageMAS_MSInfo : public StoredPayload<MessageMAS> {
public:
    static constexpr std::uint8_t kId = 7;
    explicit MessageMAS_MSInfo(std::string_view msName);
};

class MessageMAS_Ready : public StoredPayload<MessageMAS> {
public:
    static constexpr std::uint8_t kId = 8;
    explicit MessageMAS_Ready(std::uint8_t value) : StoredPayload(kId, {value}) {}
};

class MessageMAS_Id9 : public StoredPayload<MessageMAS> {
public:
    static constexpr std::uint8_t kId = 9;
    MessageMAS_Id9() : StoredPayload(kId, {}) {}
};

// Decoded but never read by the client: kept as its payload bytes, cut to the capacity.
class MessageMAS_Id10 : public StoredPayload<MessageMAS> {
public:
    static constexpr std::uint8_t kId = 10;
    static constexpr std::size_t kCapacity = 4096;
    explicit MessageMAS_Id10(std::span<const std::uint8_t> payload);
};

}  // namespace vexa
