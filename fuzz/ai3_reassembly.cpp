// A sequence of AI3 frame contents: each is a length byte and that many bytes, fed in order to one
// decoder, so fragment indexes, counts and ids arrive in any order.
#include <cstddef>
#include <cstdint>

#include "location/message_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vexa::MessageDecoder decoder;
    std::size_t position = 0;
    while (position < size) {
        const std::size_t length = data[position] * 4U;
        ++position;
        const std::size_t taken = length < size - position ? length : size - position;
        auto message = decoder.decodeMessage(data + position, taken);
        if (message) {
            volatile std::uint8_t sink = message->payload()[message->payloadLength() - 1];
            static_cast<void>(sink);
            static_cast<void>(message->getBytes());
        }
        position += taken;
    }
    return 0;
}
