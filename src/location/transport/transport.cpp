#include "location/transport/transport.h"

#include "location/transport/communication_manager.h"

namespace vexa {

bool Transport::deliver(const std::uint8_t* bytes, std::size_t length) {
    if (auto message = decoder_.decodeMessage(bytes, length)) manager_.postMessage(std::move(message));
    return true;
}

bool Transport::post(std::unique_ptr<Message> message) {
    manager_.postMessage(std::move(message));
    return true;
}

bool Transport::send(Message& message) {
    if (!isRunning()) return false;
    const std::uint8_t* frame = message.getBytes();
    if (frame == nullptr) return false;
    return write(frame, message.getLength());
}

}  // namespace vexa
