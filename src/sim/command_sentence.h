#pragma once

#include <optional>
#include <string_view>

namespace vexa::sim {

// "$PVXA100,mode,baud,data bits,stop bits,parity*hh": the NMEA-side request to change the protocol.
struct ProtocolSwitchRequest {
    int mode = 0;  // 0: binary protocol
    int baud = 0;
    int dataBits = 0;
    int stopBits = 0;
    int parity = 0;
};

// Reads one sentence from "$" up to its checksum (a trailing CR LF is allowed). Gives nothing for any
// other sentence, a malformed one, or one whose checksum is missing or wrong.
std::optional<ProtocolSwitchRequest> ParseProtocolSwitchSentence(std::string_view sentence);

}  // namespace vexa::sim
