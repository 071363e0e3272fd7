#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "receiver/renderer.h"

namespace vexa {

// Appends text to a caller's line of kRenderBufferSize bytes, keeping it zero-terminated and cutting
// whatever does not fit. Integers are formatted by hand, exactly as the C library's %d and %u and their
// zero-padded forms print them, because the tracker lines carry well over a hundred of them.
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
    void integer(std::int64_t value, int width = 0);
    // ",<value>": the next value of a comma-separated line.
    void nextInteger(std::int64_t value) {
        character(',');
        integer(value);
    }
    void format(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    static constexpr std::size_t kLimit = kRenderBufferSize - 1;

    char* line_;
    std::size_t size_ = 0;
};

}  // namespace vexa
