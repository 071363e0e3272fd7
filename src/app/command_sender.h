#pragma once

#include <cstddef>
#include <functional>

#include "platform/result_codes.h"
#include "receiver/commands/command_builders.h"

namespace vexa {

// Sends one command's parameter block to the receiver (the link's Send): message id, block, length.
using CommandSender = std::function<LinkResult(int id, const void* block, std::size_t length)>;

inline LinkResult SendCommand(const CommandSender& send, const CommandMessage& message) {
    return send(message.id, message.block.data(), message.length);
}

}  // namespace vexa
