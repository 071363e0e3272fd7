// Aiding frames a host posts to the location client during a session, decoded on the host's thread.
#include <cstddef>
#include <cstdint>

#include "location/session/location_client.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vexa::LocationClient* const client = [] {
        auto* made = new vexa::LocationClient();
        made->create(vexa::ClientProfile{});
        made->startNetworkSession();
        return made;
    }();
    client->postAiding(data, size);
    return 0;
}
