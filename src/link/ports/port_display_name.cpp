#include "link/ports/port_display_name.h"

#include <limits>

#include "platform/visible_text.h"

namespace vexa {

std::string CleanDeviceText(std::string_view raw, std::size_t maxLength) {
    std::string clean;
    clean.reserve(raw.size());
    std::size_t characters = 0;
    std::size_t lengthWithoutTrailingBlanks = 0;
    while (!raw.empty() && characters < maxLength) {
        const std::size_t length = Utf8SequenceLength(raw);
        const std::string_view character = raw.substr(0, length == 0 ? 1 : length);
        raw.remove_prefix(character.size());
        if (length == 0) {
            clean += '?';
        } else if (IsControlCharacter(character) || character == " ") {
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
