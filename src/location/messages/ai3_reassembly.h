#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "location/messages/message.h"

namespace vexa {

// Joins the fragments of the receiver's AI3 answers. One per receiving path; not thread-safe.
class Ai3Reassembly {
public:
    static constexpr std::size_t kCapacity = 4096;  // compressed bytes of one answer, and decompressed

    // content: channel byte, id, fragment count, fragment index, fragment bytes. Yields the message
    // once its last fragment is in; an acknowledgement at once. A fragment out of sequence starts a new
    // assembly; one that would overfill the assembly, or a broken compression, drops the answer.
    std::unique_ptr<Message> decode(std::span<const std::uint8_t> content);

private:
    void reset();

    std::uint8_t id_ = 0xFF;
    std::uint8_t lastIndex_ = 0;
    std::vector<std::uint8_t> assembled_;
    std::vector<std::uint8_t> decompressed_;
};

}  // namespace vexa
