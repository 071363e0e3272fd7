#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/result_codes.h"

// Lines for the receiver's diagnostic messages (ids 8, 10, 11 and 12). Each gives kResultOk, or
// kResultBadLength with `line` untouched.

namespace vexa {

LinkResult RenderSubframe(const std::uint8_t* record, std::size_t length, char* line);
LinkResult RenderErrorReport(const std::uint8_t* record, std::size_t length, char* line);
LinkResult RenderCommandReply(const char* prefix, const std::uint8_t* record, std::size_t length, char* line);

}  // namespace vexa
