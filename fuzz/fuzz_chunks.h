#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "location/messages/message_decoder.h"
#include "receiver/frames/frame_receiver.h"

namespace vexa::fuzz {

// Decodes every cut frame, as the modules do, so the decoders see what the machine lets through.
struct Decoding : FrameListener {
    MessageDecoder decoder;
    void onFrame(std::span<std::uint8_t> content) override {
        if (auto message = decoder.decodeMessage(content.data(), content.size())) message->getBytes();
    }
};

// The first byte sets the chunk size (1 to 256); the rest is fed in chunks of that size.
inline void cutInChunks(const FrameRules& rules, const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    const std::size_t chunk = std::size_t{data[0]} + 1;
    Decoding decoding;
    FrameReceiver receiver(decoding, rules);
    std::span<const std::uint8_t> rest(data + 1, size - 1);
    while (!rest.empty()) {
        const std::size_t count = rest.size() < chunk ? rest.size() : chunk;
        receiver.feed(rest.first(count));
        rest = rest.subspan(count);
    }
}

}  // namespace vexa::fuzz
