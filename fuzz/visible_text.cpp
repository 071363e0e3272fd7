// Texts from receivers and servers are shown through VisibleText: whatever bytes they hold, what is
// shown holds no C0 control but tab and line feed, no DEL, no lone byte above 0x7F and no C1
// control, and shows the same when shown again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/visible_text.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string shown = vexa::VisibleText(text);
    Require(vexa::NeedsVisibleEscapes(text) == (shown != text));
    Require(vexa::VisibleText(shown) == shown);
    for (std::string_view rest = shown; !rest.empty();) {
        const std::size_t length = vexa::Utf8SequenceLength(rest);
        Require(length > 0);
        const std::string_view character = rest.substr(0, length);
        Require(character == "\t" || character == "\n" || !vexa::IsControlCharacter(character));
        rest.remove_prefix(length);
    }
    return 0;
}
