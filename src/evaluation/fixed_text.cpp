#include "evaluation/fixed_text.h"

#include <array>
#include <charconv>

namespace vexa {

std::string FixedText(double value, int decimals) {
    // The largest finite double has 309 digits before the point.
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
    std::string text(buffer.data(), result.ptr);
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

}  // namespace vexa
