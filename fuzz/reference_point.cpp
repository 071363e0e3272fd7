// A reference point is typed by the user or given on the command line. Whatever the text: a point
// or a message, never both nor neither; a point is within the ranges; a message is one short line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "evaluation/reference_point.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vexa::ParsedReference parsed = vexa::ParseReferencePoint(text);
    Require(parsed.point.has_value() == parsed.message.empty());
    if (parsed.point) {
        Require(vexa::WhyNotAReference(*parsed.point).empty());
    } else {
        Require(parsed.message.size() < 600);
        for (const char c : parsed.message) Require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f);
    }
    return 0;
}
