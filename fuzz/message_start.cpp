// A seek into a capture finds where the next frame or sentence starts, whatever the capture holds:
// the place it gives is at or after the one asked for and does hold a start, and no start lies
// between the two.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "link/sources/message_start.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

bool StartsAt(const std::string& bytes, std::size_t at) {
    if (bytes[at] == '$') return true;
    return at + 1 < bytes.size() && static_cast<std::uint8_t>(bytes[at]) == 0xA0 && static_cast<std::uint8_t>(bytes[at + 1]) == 0xA2;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte chooses the place asked for (sometimes past the end).
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t from = data[0] % (bytes.size() + 2);
    std::istringstream capture(bytes);
    const auto start = vexa::FindMessageStart(capture, from);
    std::size_t firstStart = from;
    while (firstStart < bytes.size() && !StartsAt(bytes, firstStart)) ++firstStart;
    if (firstStart >= bytes.size()) {
        Require(!start.has_value());
    } else {
        Require(start.has_value() && *start == firstStart);
    }
    return 0;
}
