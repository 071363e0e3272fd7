// Numbers of the message lines, formatted without printf, against printf itself: arbitrary bit
// patterns as the doubles, floats and integers the records carry.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "receiver/binary/line_writer.h"

namespace {

char line[vexa::kRenderBufferSize];
char expected[vexa::kRenderBufferSize];

template <class Write>
void Check(Write write, const char* format, auto value) {
    vexa::LineWriter writer(line);
    write(writer);
    std::snprintf(expected, sizeof expected, format, value);
    if (std::strcmp(line, expected) != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return 0;
    double d;
    float f;
    long long i;
    std::uint32_t u;
    std::memcpy(&d, data, sizeof d);
    std::memcpy(&f, data, sizeof f);
    std::memcpy(&i, data, sizeof i);
    std::memcpy(&u, data + 4, sizeof u);
    const double single = f;
    const double scaled = static_cast<double>(static_cast<std::int16_t>(u) * 0.125f);

    Check([&](vexa::LineWriter& w) { w.scientific(d, 10); }, "%.10e", d);
    Check([&](vexa::LineWriter& w) { w.scientific(d, 11); }, "%.11e", d);
    Check([&](vexa::LineWriter& w) { w.scientific(single, 10); }, "%.10e", single);
    Check([&](vexa::LineWriter& w) { w.fixed(d, 3); }, "%.3f", d);
    Check([&](vexa::LineWriter& w) { w.fixed(single, 1); }, "%.1f", single);
    Check([&](vexa::LineWriter& w) { w.fixed(scaled, 3); }, "%.3f", scaled);
    Check([&](vexa::LineWriter& w) { w.integer(i); }, "%lld", i);
    Check([&](vexa::LineWriter& w) { w.integer(static_cast<std::int32_t>(u), 3); }, "%03d",
          static_cast<int>(static_cast<std::int32_t>(u)));
    Check([&](vexa::LineWriter& w) { w.hex(u, 2); }, "%02x", u);
    Check([&](vexa::LineWriter& w) { w.hex(u & 0xFF, 2, true); }, "%02X", u & 0xFF);
    return 0;
}
