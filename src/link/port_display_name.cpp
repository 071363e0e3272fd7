#include "link/port_display_name.h"

#include <cstdint>
#include <limits>

namespace vexa {

namespace {

bool IsContinuation(std::uint8_t byte) { return (byte & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence at the start of text, 0 if there is none.
std::size_t SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(0);
    std::size_t length = 0;
    std::uint8_t secondLow = 0x80;
    std::uint8_t secondHigh = 0xBF;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) secondLow = 0xA0;   // overlong
        if (lead == 0xED) secondHigh = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) secondLow = 0x90;   // overlong
        if (lead == 0xF4) secondHigh = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < secondLow || byte(1) > secondHigh) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (!IsContinuation(byte(i))) return 0;
    }
    return length;
}

bool IsControl(std::string_view character) {
    const auto first = static_cast<std::uint8_t>(character[0]);
    if (character.size() == 1) return first < 0x20 || first == 0x7F;
    // U+0080 to U+009F, which some terminals take as escape sequences.
    return first == 0xC2 && static_cast<std::uint8_t>(character[1]) < 0xA0;
}

}  // namespace

std::string CleanDeviceText(std::string_view raw, std::size_t maxLength) {
    std::string clean;
    clean.reserve(raw.size());
    std::size_t characters = 0;
    std::size_t lengthWithoutTrailingBlanks = 0;
    while (!raw.empty() && characters < maxLength) {
        const std::size_t length = SequenceLength(raw);
        const std::string_view character = raw.substr(0, length == 0 ? 1 : length);
        raw.remove_prefix(character.size());
        if (length == 0) {
            clean += '?';
        } else if (IsControl(character) || character == " ") {
            if (clean.empty()) continue;
            clean += ' ';
        } else {
            clean += character;
        }
        ++characters;
        if (clean.back() != ' ') lengthWithoutTrailingBlanks = clean.size();
    }
    clean.resize(lengthWithoutTrailingBlanks);
    return clean;
}

std::string PortDisplayName(std::string_view devicePath, std::string_view friendlyName) {
    const std::string port = CleanDeviceText(devicePath, std::numeric_limits<std::size_t>::max());
    const std::string friendly = CleanDeviceText(friendlyName, kMaxFriendlyNameLength);
    if (friendly.empty()) return port;
    if (friendly.find(port) != std::string::npos) return friendly;
    return port + ' ' + friendly;
}

}  // namespace vexa
