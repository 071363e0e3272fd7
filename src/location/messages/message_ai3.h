#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "location/messages/message.h"
#include "location/messages/orbit_slots.h"
#include "location/messages/position_result.h"

namespace vexa {

// The aided position exchange with the receiver. The request travels compressed and cut into
// fragments; the answer arrives the same way (see Ai3Reassembly).
class MessageAI3 : public Message {
public:
    const std::uint8_t* getBytes() override;
    std::size_t getLength() override;

protected:
    explicit MessageAI3(std::uint8_t id);
};

inline constexpr std::size_t kAi3FragmentBytes = 1016;
inline constexpr std::size_t kAi3FragmentOverhead = 12;  // frame bytes, channel, id, count and index

// Number of fragments for c compressed bytes: at least one.
std::size_t ai3FragmentCount(std::size_t compressedLength, std::size_t fragmentBytes = kAi3FragmentBytes);

// Appends one frame per fragment of the compressed bytes; their checksums leave bit 15 clear.
// The client cuts at 1016 bytes; the receiver may cut its answers shorter.
void appendAi3Fragments(std::vector<std::uint8_t>& out, std::uint8_t id, std::span<const std::uint8_t> compressed,
                        std::size_t fragmentBytes = kAi3FragmentBytes);

class MessageAI3_PositionRequest : public MessageAI3 {
public:
    static constexpr std::uint8_t kId = 1;
    static constexpr std::size_t kPayloadLength = 3227;

    MessageAI3_PositionRequest();
    // Only the low bytes travel in the request.
    void setHeader(std::uint16_t numFixes, std::uint32_t requestParam);
    void clearSlots();
    OrbitSlots& orbitSlots() { return slots_; }
    const OrbitSlots& orbitSlots() const { return slots_; }

    std::size_t payloadLength() const override { return kPayloadLength; }
    const std::uint8_t* payload() override;

private:
    std::uint8_t numFixes_ = 0;
    std::uint8_t requestParam_ = 0;
    OrbitSlots slots_{};
    std::vector<std::uint8_t> rendering_;
};

// The receiver's position answer. Its fields are read only from an answer of exactly 248 bytes;
// any other answer leaves every field zero.
class MessageAI3_Response : public MessageAI3 {
public:
    static constexpr std::uint8_t kId = 2;
    static constexpr std::size_t kAnswerLength = 248;

    explicit MessageAI3_Response(std::span<const std::uint8_t> answer);
    bool decoded() const { return decoded_; }
    const PositionResult& positionResult() const { return result_; }

    std::size_t payloadLength() const override { return kAnswerLength; }
    const std::uint8_t* payload() override { return answer_.data(); }

private:
    void decodeFields();

    std::array<std::uint8_t, kAnswerLength> answer_{};
    bool decoded_ = false;
    PositionResult result_;
};

class MessageAI3_Ack : public MessageAI3 {
public:
    static constexpr std::uint8_t kId = 3;
    explicit MessageAI3_Ack(std::uint8_t value = 0) : MessageAI3(kId), value_{value} {}
    std::size_t payloadLength() const override { return 1; }
    const std::uint8_t* payload() override { return value_.data(); }

private:
    std::array<std::uint8_t, 1> value_;
};

}  // namespace vexa
