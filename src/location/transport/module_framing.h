#pragma once

#include <string_view>

#include "receiver/frames/frame_receiver.h"

namespace vexa {

// How a module of the location client frames what it receives, and the log line of each refusal.
struct ModuleFraming {
    FrameRules rules;
    std::string_view tooLong;
    std::string_view empty;
    std::string_view badChecksum;
    std::string_view badEnd1;
    std::string_view badEnd2;

    std::string_view refusal(FrameFault fault) const;
};

// The receiver's frames as the serial module takes them: at most 506 bytes, the whole checksum field
// compared with the 15-bit sum, no sentences.
ModuleFraming serialModuleFraming();
// The server's frames as the network module takes them: at most 4090 bytes, no checksum, no sentences,
// channel 0xAA stored ahead.
ModuleFraming networkModuleFraming();

}  // namespace vexa
