// The port list shows names read from sysfs and paths typed by the user: whatever bytes they
// hold, the display name must be valid UTF-8 without control characters and follow the
// listing rule.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "link/ports/port_display_name.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// Checks well-formed UTF-8 free of C0, DEL and C1 controls; the number of characters.
std::size_t CheckedCharacters(std::string_view text) {
    std::size_t characters = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<std::uint8_t>(text[i]);
        std::size_t length = 1;
        std::uint32_t code = lead;
        if (lead >= 0xF0) {
            length = 4;
            code = lead & 0x07u;
        } else if (lead >= 0xE0) {
            length = 3;
            code = lead & 0x0Fu;
        } else if (lead >= 0xC0) {
            length = 2;
            code = lead & 0x1Fu;
        } else {
            Require(lead < 0x80);
        }
        Require(i + length <= text.size());
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<std::uint8_t>(text[i + k]);
            Require((next & 0xC0) == 0x80);
            code = (code << 6) | (next & 0x3Fu);
        }
        const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        Require(code >= smallest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF));
        Require(code >= 0x20 && !(code >= 0x7F && code <= 0x9F));
        i += length;
        ++characters;
    }
    return characters;
}

}  // namespace

// The first byte says how many of the following bytes are the port; the rest is the
// friendly name.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t portLength = std::min<std::size_t>(data[0], bytes.size());
    const std::string_view port = bytes.substr(0, portLength);
    const std::string_view friendly = bytes.substr(portLength);

    const std::string shown = vexa::PortDisplayName(port, friendly);
    CheckedCharacters(shown);

    const std::string cleanPort = vexa::CleanDeviceText(port, SIZE_MAX);
    const std::string cleanFriendly = vexa::CleanDeviceText(friendly, vexa::kMaxFriendlyNameLength);
    Require(CheckedCharacters(cleanFriendly) <= vexa::kMaxFriendlyNameLength);
    Require(cleanFriendly.empty() || (cleanFriendly.front() != ' ' && cleanFriendly.back() != ' '));
    if (cleanFriendly.empty()) {
        Require(shown == cleanPort);
    } else if (cleanFriendly.find(cleanPort) != std::string::npos) {
        Require(shown == cleanFriendly);
    } else {
        Require(shown == cleanPort + ' ' + cleanFriendly);
    }
    return 0;
}
