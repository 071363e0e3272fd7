#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace vexa {

// A message of the location client: one logical channel byte and one message id.
// Renderings are kept in the message itself, so a frame stays valid until the same message
// renders again or is destroyed, whatever other threads render meanwhile.
class Message {
public:
    Message(std::uint8_t channel, std::uint8_t id) : channel_(channel), id_(id) {}
    virtual ~Message() = default;
    Message(const Message&) = delete;
    Message& operator=(const Message&) = delete;

    // The whole frame, or null when it would not fit the channel's rendering limit.
    virtual const std::uint8_t* getBytes() = 0;
    virtual std::size_t getLength() = 0;
    // The payload after channel and id.
    virtual std::size_t payloadLength() const = 0;
    virtual const std::uint8_t* payload() = 0;

    std::uint8_t channel() const { return channel_; }
    std::uint8_t id() const { return id_; }

protected:
    std::span<const std::uint8_t> payloadSpan() { return {payload(), payloadLength()}; }

    std::vector<std::uint8_t> frame_;

private:
    std::uint8_t channel_;
    std::uint8_t id_;
};

// Towards the receiver: A0 A2, length, channel, id, payload, flagged checksum, B0 B3.
class ReceiverChannelMessage : public Message {
public:
    const std::uint8_t* getBytes() override;
    std::size_t getLength() override;

protected:
    ReceiverChannelMessage(std::uint8_t channel, std::uint8_t id, std::size_t frameLimit)
        : Message(channel, id), frameLimit_(frameLimit) {}

private:
    std::size_t frameLimit_;
};

class MessageF : public ReceiverChannelMessage {
protected:
    explicit MessageF(std::uint8_t id);
};

class MessageXTN : public ReceiverChannelMessage {
protected:
    explicit MessageXTN(std::uint8_t id);
};

// STAT frames are only received; their rendering (for the trace log) has no limit.
class MessageSTAT : public ReceiverChannelMessage {
protected:
    explicit MessageSTAT(std::uint8_t id);
};

// Towards the server: A0 A2, length, id, payload, B0 B3.
class MessageMAS : public Message {
public:
    const std::uint8_t* getBytes() override;
    std::size_t getLength() override;

protected:
    explicit MessageMAS(std::uint8_t id);
};

// A concrete message whose payload is held as the bytes it renders.
template <class ChannelBase>
class StoredPayload : public ChannelBase {
public:
    std::size_t payloadLength() const override { return payload_.size(); }
    const std::uint8_t* payload() override { return payload_.data(); }

protected:
    StoredPayload(std::uint8_t id, std::vector<std::uint8_t> payload)
        : ChannelBase(id), payload_(std::move(payload)) {}

    std::vector<std::uint8_t> payload_;
};

}  // namespace vexa
