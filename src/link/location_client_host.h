#pragma once

#include <cstddef>
#include <cstdint>

#include "link/gps_comm.h"
#include "location/messages/client_profile.h"
#include "location/session/location_client.h"
#include "receiver/binary/location_client_link.h"

namespace vexa {

// The location client its owner keeps for one link, attached to the link from construction to
// destruction: the link's frame dispatch reaches the client through it, the client writes its
// frames with the link's raw write, and every status text of the client also goes to the link's
// text lines. The client is created with the given profile, whose own display callback is still called.
class LocationClientHost final : public LocationClientLink {
public:
    explicit LocationClientHost(GpsComm& comm, ClientProfile profile = {}, ClientServices services = {});
    // Closes the client first: its thread writes through the link.
    ~LocationClientHost() override;
    LocationClientHost(const LocationClientHost&) = delete;
    LocationClientHost& operator=(const LocationClientHost&) = delete;

    void setBinary(int on) override { client_.setBinary(on != 0); }
    void postExternalSerial(const std::uint8_t* bytes, std::size_t length) override {
        client_.postExternalSerial(bytes, length);
    }

    // For the NMEA tunnel switch and the session operations. Not to be called with the model lock held.
    LocationClient& client() { return client_; }

private:
    GpsComm& comm_;
    LocationClient client_;
};

}  // namespace vexa
