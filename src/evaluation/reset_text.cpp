#include "evaluation/reset_text.h"

#include <charconv>

namespace vexa {

namespace {

constexpr const char* kEscapes = "use \\r \\n \\t \\\\ or \\xHH";

std::optional<char> HexByte(std::string_view digits) {
    unsigned value = 0;
    if (digits.size() != 2) return std::nullopt;
    const auto result = std::from_chars(digits.data(), digits.data() + 2, value, 16);
    if (result.ec != std::errc() || result.ptr != digits.data() + 2) return std::nullopt;
    return static_cast<char>(value);
}

}  // namespace

ParsedResetText ParseResetText(std::string_view typed) {
    std::string bytes;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] != '\\') {
            bytes += typed[i];
            continue;
        }
        const std::string at = " at " + std::to_string(i + 1) + " ";
        if (i + 1 == typed.size()) return {std::nullopt, std::string("a \\ ends it; ") + kEscapes};
        const char escape = typed[++i];
        switch (escape) {
        case 'r': bytes += '\r'; break;
        case 'n': bytes += '\n'; break;
        case 't': bytes += '\t'; break;
        case '\\': bytes += '\\'; break;
        case 'x': {
            const std::optional<char> byte = HexByte(typed.substr(i + 1, 2));
            if (!byte) return {std::nullopt, "\\x" + at + "needs two hexadecimal digits"};
            bytes += *byte;
            i += 2;
            break;
        }
        default: {
            const bool printable = escape > 0x20 && escape < 0x7f;
            return {std::nullopt, "\\" + (printable ? std::string(1, escape) : std::string("?")) + at + "is no escape; " + kEscapes};
        }
        }
    }
    if (bytes.empty()) return {std::nullopt, "empty"};
    return {std::move(bytes), {}};
}

}  // namespace vexa
