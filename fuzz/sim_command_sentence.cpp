// The simulated receiver's reading of the NMEA-side protocol switch sentence, over arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "receiver/nmea/nmea_checksum.h"
#include "sim/command_sentence.h"
#include "sim/text_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view sentence(reinterpret_cast<const char*>(data), size);
    const auto request = vexa::sim::ParseProtocolSwitchSentence(sentence);
    if (!request) return 0;
    // Whatever was accepted must carry a good checksum: writing it out again reads back the same.
    const std::string again = vexa::WithNmeaChecksum(vexa::sim::FormatText(
        "$PVXA100,%d,%d,%d,%d,%d", request->mode, request->baud, request->dataBits, request->stopBits,
        request->parity));
    const auto reread = vexa::sim::ParseProtocolSwitchSentence(again);
    if (!reread || reread->mode != request->mode || reread->baud != request->baud ||
        reread->dataBits != request->dataBits || reread->stopBits != request->stopBits ||
        reread->parity != request->parity) {
        std::abort();
    }
    return 0;
}
