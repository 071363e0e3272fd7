// A reset text is typed by the user for a receiver the program has no reset command for. Whatever
// the text: bytes or a problem, never both nor neither; never more bytes than were typed; a problem
// is one short printable line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "evaluation/reset_text.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vexa::ParsedResetText parsed = vexa::ParseResetText(text);
    Require(parsed.bytes.has_value() == parsed.problem.empty());
    if (parsed.bytes) {
        Require(!parsed.bytes->empty() && parsed.bytes->size() <= size);
    } else {
        Require(parsed.problem.size() < 200);
        for (const char c : parsed.problem) Require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f);
    }
    return 0;
}
