#include "link/location_client_host.h"

#include <string_view>
#include <utility>

namespace vexa {

LocationClientHost::LocationClientHost(GpsComm& comm, ClientProfile profile, ClientServices services)
    : comm_(comm), client_(std::move(services)) {
    profile.externalSerial = 1;
    // The client learns of frames that did not go out from the missing answers, as over the air;
    // it has no use for the write's result.
    profile.callbacks.externalWrite = [this](const std::uint8_t* bytes, std::size_t length) {
        (void)comm_.WriteRaw(bytes, length);
    };
    profile.callbacks.display = [this, hostDisplay = std::move(profile.callbacks.display)](std::string_view text) {
        if (hostDisplay) hostDisplay(text);
        comm_.ShowTextLine(text);
    };
    (void)client_.create(profile);  // a client that could not be created refuses every operation
    comm_.SetLocationClient(this);
}

LocationClientHost::~LocationClientHost() {
    client_.close();
    comm_.SetLocationClient(nullptr);
}

}  // namespace vexa
