#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "location/messages/client_profile.h"
#include "location/session/location_client.h"
#include "receiver/binary/location_client_link.h"

namespace vexa {

// The link's side of the location client: the frame dispatch's calls reach the client through it,
// the client writes its frames with the link's raw write, and every status text of the client also
// goes to the link's text lines.
class LocationClientHost final : public LocationClientLink {
public:
    using RawWrite = std::function<void(const std::uint8_t* bytes, std::size_t length)>;
    using TextLine = std::function<void(std::string_view text)>;

    explicit LocationClientHost(ClientServices services) : client_(std::move(services)) {}
    ~LocationClientHost() override { client_.close(); }

    // Creates the client from the profile; the profile's own display callback is still called.
    bool create(ClientProfile profile, RawWrite rawWrite, TextLine textLine);

    void setBinary(int on) override { client_.setBinary(on != 0); }
    void postExternalSerial(const std::uint8_t* bytes, std::size_t length) override {
        client_.postExternalSerial(bytes, length);
    }

    LocationClient& client() { return client_; }

private:
    LocationClient client_;
};

}  // namespace vexa
