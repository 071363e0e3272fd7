#include "location/messages/ai3_reassembly.h"

#include "location/messages/message_ai3.h"
#include "location/messages/run_length.h"

namespace vexa {

void Ai3Reassembly::reset() {
    id_ = 0xFF;
    lastIndex_ = 0;
    assembled_.clear();
}

std::unique_ptr<Message> Ai3Reassembly::decode(std::span<const std::uint8_t> content) {
    if (content.size() < 2) return nullptr;
    const std::uint8_t id = content[1];
    if (id == MessageAI3_Ack::kId) {
        if (content.size() < 3) return nullptr;
        return std::make_unique<MessageAI3_Ack>(content[2]);
    }
    if (content.size() < 4) return nullptr;
    const std::uint8_t count = content[2];
    const std::uint8_t index = content[3];
    if (id != id_ || index != static_cast<std::uint8_t>(lastIndex_ + 1)) assembled_.clear();
    id_ = id;
    lastIndex_ = index;

    const auto fragment = content.subspan(4);
    if (fragment.size() > kCapacity - assembled_.size()) {
        reset();
        return nullptr;
    }
    assembled_.insert(assembled_.end(), fragment.begin(), fragment.end());
    if (index != count) return nullptr;

    const bool whole = decodeRunLength(assembled_, decompressed_, kCapacity);
    reset();
    if (!whole || id != MessageAI3_Response::kId) return nullptr;
    return std::make_unique<MessageAI3_Response>(decompressed_);
}

}  // namespace vexa
