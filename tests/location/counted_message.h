#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "location/messages/message.h"

namespace vexa::test {

// A message of any channel that counts its releases.
class CountedMessage : public Message {
public:
    CountedMessage(std::uint8_t channel, std::uint8_t id, std::atomic<int>* released = nullptr,
                   std::vector<std::uint8_t> frame = {0xA0, 0xA2, 0x00, 0x00, 0xB0, 0xB3})
        : Message(channel, id), released_(released), rendering_(std::move(frame)) {}
    ~CountedMessage() override {
        if (released_ != nullptr) ++*released_;
    }
    const std::uint8_t* getBytes() override { return rendering_.empty() ? nullptr : rendering_.data(); }
    std::size_t getLength() override { return rendering_.size(); }
    std::size_t payloadLength() const override { return 0; }
    const std::uint8_t* payload() override { return nullptr; }

private:
    std::atomic<int>* released_;
    std::vector<std::uint8_t> rendering_;
};

}  // namespace vexa::test
