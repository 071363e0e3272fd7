#include "receiver/binary/line_writer.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace vexa {

void LineWriter::text(std::string_view text) {
    const std::size_t length = std::min(text.size(), kLimit - size_);
    std::memcpy(line_ + size_, text.data(), length);
    size_ += length;
    line_[size_] = '\0';
}

void LineWriter::paddedInteger(std::int64_t value, int width) {
    char digits[kLongestInteger];
    const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    padded(std::string_view(digits, static_cast<std::size_t>(end - digits)), width);
}

void LineWriter::padded(std::string_view digits, int width) {
    const bool negative = !digits.empty() && digits.front() == '-';
    if (negative) {
        character('-');
        digits.remove_prefix(1);
    }
    const int zeros = std::clamp(width - static_cast<int>(negative) - static_cast<int>(digits.size()), 0, 20);
    for (int i = 0; i < zeros; ++i) character('0');
    text(digits);
}

void LineWriter::hex(std::uint32_t value, int width, bool upperCase) {
    char digits[8];
    char* end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
    if (upperCase) {
        std::transform(digits, end, digits, [](char c) { return c >= 'a' ? static_cast<char>(c - 'a' + 'A') : c; });
    }
    padded(std::string_view(digits, static_cast<std::size_t>(end - digits)), width);
}

void LineWriter::floating(double value, std::chars_format form, int precision) {
    // The widest fixed value: a sign, 309 integer digits, the point and the decimals.
    constexpr std::size_t kLongestFloating = 1 + 309 + 1 + 20;
    if (kLimit - size_ >= kLongestFloating) {
        const char* end = std::to_chars(line_ + size_, line_ + kLimit, value, form, precision).ptr;
        size_ = static_cast<std::size_t>(end - line_);
        line_[size_] = '\0';
        return;
    }
    char digits[kLongestFloating];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, form, precision);
    text(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void LineWriter::format(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(line_ + size_, kRenderBufferSize - size_, format, arguments);
    va_end(arguments);
    if (written > 0) size_ = std::min(size_ + static_cast<std::size_t>(written), kLimit);
}

}  // namespace vexa
