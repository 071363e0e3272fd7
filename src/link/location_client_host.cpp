#include "link/location_client_host.h"

namespace vexa {

bool LocationClientHost::create(ClientProfile profile, RawWrite rawWrite, TextLine textLine) {
    profile.externalSerial = 1;
    profile.callbacks.externalWrite = std::move(rawWrite);
    profile.callbacks.display = [hostDisplay = std::move(profile.callbacks.display),
                                 textLine = std::move(textLine)](std::string_view text) {
        if (hostDisplay) hostDisplay(text);
        textLine(text);
    };
    return client_.create(profile);
}

}  // namespace vexa
