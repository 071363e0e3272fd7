#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/result_codes.h"

namespace vexa {

// Holds the longest line whole: "SW Version: " with the longest version text a frame can carry
// (1013 characters), text lines of up to 1013 characters, message 4 lines of up to 720 characters.
inline constexpr std::size_t kRenderBufferSize = 1040;

// Writes one zero-terminated line for a decoded record into `line` (kRenderBufferSize bytes).
// Gives kResultOk, or kResultBadLength for an id without a rendering (the buffer is then untouched).
// `length` is the record length; for id 255 the text length.
LinkResult RenderMessage(int id, const std::uint8_t* record, std::size_t length, char* line);

}  // namespace vexa
