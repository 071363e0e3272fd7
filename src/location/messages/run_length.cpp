#include "location/messages/run_length.h"

#include <algorithm>

namespace vexa {

namespace {

void appendHeader(std::vector<std::uint8_t>& out, std::size_t header) {
    out.push_back(static_cast<std::uint8_t>(header >> 8));
    out.push_back(static_cast<std::uint8_t>(header));
}

void appendLiteral(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> literal) {
    while (!literal.empty()) {
        const std::size_t count = std::min(literal.size(), kRunLengthMaxCount);
        appendHeader(out, count);
        out.insert(out.end(), literal.begin(), literal.begin() + static_cast<std::ptrdiff_t>(count));
        literal = literal.subspan(count);
    }
}

}  // namespace

void encodeRunLength(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& out) {
    std::size_t literalStart = 0;
    std::size_t i = 0;
    while (i < input.size()) {
        std::size_t run = 1;
        while (i + run < input.size() && run < kRunLengthMaxCount && input[i + run] == input[i]) ++run;
        if (run < kShortestRun) {
            i += run;
            continue;
        }
        appendLiteral(out, input.subspan(literalStart, i - literalStart));
        appendHeader(out, 0x8000 | run);
        out.push_back(input[i]);
        i += run;
        literalStart = i;
    }
    appendLiteral(out, input.subspan(literalStart));
}

bool decodeRunLength(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& out, std::size_t capacity) {
    out.clear();
    std::size_t position = 0;
    while (position < input.size()) {
        if (input.size() - position < 2) return false;
        const std::size_t header = (std::size_t{input[position]} << 8) | input[position + 1];
        position += 2;
        const std::size_t count = header & kRunLengthMaxCount;
        if (count > capacity - out.size()) return false;
        if (header & 0x8000) {
            if (position == input.size()) return false;
            out.insert(out.end(), count, input[position]);
            position += 1;
        } else {
            if (count > input.size() - position) return false;
            out.insert(out.end(), input.begin() + static_cast<std::ptrdiff_t>(position),
                       input.begin() + static_cast<std::ptrdiff_t>(position + count));
            position += count;
        }
    }
    return true;
}

}  // namespace vexa
