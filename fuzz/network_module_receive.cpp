// The network module's receive machine over arbitrary bytes, fed in chunks whose sizes the input picks.
#include <cstddef>
#include <cstdint>

#include "fuzz_chunks.h"
#include "location/transport/module_framing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vexa::fuzz::cutInChunks(vexa::networkModuleFraming().rules, data, size);
    return 0;
}
