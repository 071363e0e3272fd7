#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "location/messages/message.h"
#include "location/messages/message_decoder.h"

namespace vexa {

class CommunicationManager;

// What the serial and the network module have in common: they write frames, and turn the frames they
// receive into messages for the communication manager.
class Transport {
public:
    explicit Transport(CommunicationManager& manager) : manager_(manager) {}
    virtual ~Transport() = default;
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    virtual bool write(const std::uint8_t* bytes, std::size_t length) = 0;
    virtual bool open() = 0;
    virtual bool close() = 0;
    virtual bool isRunning() const = 0;

    // Decodes one received frame's content (channel byte first) and posts the message, if any.
    bool deliver(const std::uint8_t* bytes, std::size_t length);
    bool post(std::unique_ptr<Message> message);
    // Writes the message's frame; false when closed or when the frame cannot be rendered.
    bool send(Message& message);

protected:
    CommunicationManager& manager_;

private:
    MessageDecoder decoder_;
};

}  // namespace vexa
