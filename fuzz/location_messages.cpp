// Received frame content of any channel, decoded and rendered again for the logs.
#include <cstddef>
#include <cstdint>

#include "location/messages/message_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vexa::MessageDecoder decoder;
    auto message = decoder.decodeMessage(data, size);
    if (message) {
        const std::uint8_t* frame = message->getBytes();
        const std::size_t length = message->getLength();
        volatile std::uint8_t sink = 0;
        if (frame != nullptr && length > 0) sink = frame[length - 1];
        const std::uint8_t* payload = message->payload();
        if (message->payloadLength() > 0) sink = payload[message->payloadLength() - 1];
        static_cast<void>(sink);
    }
    return 0;
}
