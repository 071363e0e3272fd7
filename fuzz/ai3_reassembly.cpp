// A sequence of AI3 frame contents fed in order to one decoder, so fragment indexes, counts and ids
// arrive in any order. Each content is a length byte (in units of four bytes) and that many bytes;
// the channel byte is forced to AI3.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "location/messages/logical_channel.h"
#include "location/messages/message_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vexa::MessageDecoder decoder;
    std::size_t position = 0;
    while (position < size) {
        const std::size_t length = data[position] * 4U;
        ++position;
        const std::size_t taken = length < size - position ? length : size - position;
        std::vector<std::uint8_t> content(data + position, data + position + taken);
        position += taken;
        if (content.empty()) continue;
        content[0] = vexa::kAi3Channel;
        auto message = decoder.decodeMessage(content.data(), content.size());
        if (message && message->payloadLength() > 0) {
            volatile std::uint8_t sink = message->payload()[message->payloadLength() - 1];
            static_cast<void>(sink);
            static_cast<void>(message->getBytes());
        }
    }
    return 0;
}
