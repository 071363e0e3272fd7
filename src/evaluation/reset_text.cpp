#include "evaluation/reset_text.h"

namespace vexa {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

ParsedResetText ParseResetText(std::string_view text) {
    ParsedResetText parsed;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            parsed.bytes.push_back(static_cast<std::uint8_t>(text[i]));
            continue;
        }
        const char escape = i + 1 < text.size() ? text[++i] : '\0';
        switch (escape) {
        case 'r': parsed.bytes.push_back('\r'); break;
        case 'n': parsed.bytes.push_back('\n'); break;
        case 't': parsed.bytes.push_back('\t'); break;
        case '\\': parsed.bytes.push_back('\\'); break;
        case 'x': {
            const int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
            if (high < 0 || low < 0) return {{}, "\\x takes two hex digits"};
            parsed.bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
            i += 2;
            break;
        }
        default: return {{}, "unknown escape; use \\r, \\n, \\t, \\\\ or \\xHH"};
        }
    }
    if (parsed.bytes.empty()) parsed.message = "the reset text is empty";
    return parsed;
}

}  // namespace vexa
