// The run-length block decoder over arbitrary blocks; what decodes must encode back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "location/messages/run_length.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> decoded;
    if (!vexa::decodeRunLength(std::span(data, size), decoded, 4096)) return 0;
    std::vector<std::uint8_t> encoded;
    vexa::encodeRunLength(decoded, encoded);
    std::vector<std::uint8_t> again;
    if (!vexa::decodeRunLength(encoded, again, 4096) || again != decoded) std::abort();
    return 0;
}
