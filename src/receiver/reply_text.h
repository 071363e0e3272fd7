#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/result_codes.h"

// Lines for the receiver messages the decoder does not produce (ids 8, 10, 11 and 12); the renderer
// shows them when they reach it. Each gives kResultOk, or kResultBadLength with `line` untouched.

namespace vexa {

LinkResult RenderSubframe(const std::uint8_t* record, std::size_t length, char* line);
LinkResult RenderErrorReport(const std::uint8_t* record, std::size_t length, char* line);
LinkResult RenderCommandReply(const char* prefix, const std::uint8_t* record, std::size_t length, char* line);

}  // namespace vexa
