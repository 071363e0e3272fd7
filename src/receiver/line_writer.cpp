#include "receiver/line_writer.h"

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

void LineWriter::integer(std::int64_t value, int width) {
    const bool negative = value < 0;
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    char buffer[48];
    char* end = buffer + sizeof buffer;
    char* start = end;
    do {
        *--start = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    const int sign = negative ? 1 : 0;
    const int padding = std::clamp(width - sign - static_cast<int>(end - start), 0, 20);
    start -= padding;
    std::memset(start, '0', static_cast<std::size_t>(padding));
    if (negative) *--start = '-';
    text(std::string_view(start, static_cast<std::size_t>(end - start)));
}

void LineWriter::format(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(line_ + size_, kRenderBufferSize - size_, format, arguments);
    va_end(arguments);
    if (written > 0) size_ = std::min(size_ + static_cast<std::size_t>(written), kLimit);
}

}  // namespace vexa
