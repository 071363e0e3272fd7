#include "platform/visible_text.h"

#include <algorithm>
#include <cstdint>

namespace vexa {
namespace {

bool IsContinuation(std::uint8_t byte) { return (byte & 0xC0) == 0x80; }

bool IsPlainAscii(char c) {
    const auto byte = static_cast<std::uint8_t>(c);
    return (byte >= 0x20 && byte < 0x7F) || c == '\t' || c == '\n';
}

void AppendEscape(std::string& out, std::uint8_t byte) {
    static constexpr char kHexDigits[] = "0123456789abcdef";
    out += "\\x";
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view text) {
    if (text.empty()) return 0;
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

bool IsControlCharacter(std::string_view character) {
    const auto first = static_cast<std::uint8_t>(character[0]);
    if (character.size() == 1) return first < 0x20 || first == 0x7F;
    return first == 0xC2 && static_cast<std::uint8_t>(character[1]) < 0xA0;
}

bool NeedsVisibleEscapes(std::string_view text) {
    if (std::all_of(text.begin(), text.end(), IsPlainAscii)) return false;
    return VisibleText(text) != text;
}

std::string VisibleText(std::string_view text) {
    std::string visible;
    visible.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = Utf8SequenceLength(text);
        const std::string_view character = text.substr(0, length == 0 ? 1 : length);
        text.remove_prefix(character.size());
        if (character == "\t" || character == "\n" || (length != 0 && !IsControlCharacter(character))) {
            visible += character;
        } else {
            for (const char byte : character) AppendEscape(visible, static_cast<std::uint8_t>(byte));
        }
    }
    return visible;
}

}  // namespace vexa
