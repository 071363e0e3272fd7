#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "receiver/binary/renderer.h"

namespace vexa {

// Appends text to a caller's line of kRenderBufferSize bytes, keeping it zero-terminated and cutting
// whatever does not fit. Numbers are formatted with std::to_chars straight into the line, exactly as
// the C library's printf prints them, because the tracker lines carry well over a hundred of them.
class LineWriter {
public:
    explicit LineWriter(char* line) : line_(line) { line_[0] = '\0'; }

    void text(std::string_view text);
    void character(char c) {
        if (size_ < kLimit) {
            line_[size_++] = c;
            line_[size_] = '\0';
        }
    }
    // "%0<width>d": zero-padded to `width` characters including the sign. Every record field, signed
    // or unsigned up to 32 bits, prints as its value through this one.
    void integer(std::int64_t value, int width = 0) {
        if (width <= 1 && kLimit - size_ >= kLongestInteger) {
            size_ = static_cast<std::size_t>(std::to_chars(line_ + size_, line_ + kLimit, value).ptr - line_);
            line_[size_] = '\0';
        } else {
            paddedInteger(value, width);
        }
    }
    // ",<value>": the next value of a comma-separated line.
    void nextInteger(std::int64_t value) {
        character(',');
        integer(value);
    }
    // "%.<precision>e" and "%.<precision>f", for precisions up to 20.
    void scientific(double value, int precision) { floating(value, std::chars_format::scientific, precision); }
    void fixed(double value, int precision) { floating(value, std::chars_format::fixed, precision); }
    // "%0<width>x" and "%0<width>X".
    void hex(std::uint32_t value, int width, bool upperCase = false);
    // For the receiver's error texts, whose formats are data.
    void format(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    static constexpr std::size_t kLimit = kRenderBufferSize - 1;
    static constexpr std::size_t kLongestInteger = 20;  // "-9223372036854775808"

    void paddedInteger(std::int64_t value, int width);
    void floating(double value, std::chars_format form, int precision);
    // Appends `digits` zero-padded to `width`, a minus sign before the zeros.
    void padded(std::string_view digits, int width);

    char* line_;
    std::size_t size_ = 0;
};

}  // namespace vexa
