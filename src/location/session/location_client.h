#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "location/messages/client_profile.h"
#include "location/session/call_processor.h"
#include "location/session/session_timer.h"
#include "location/transport/module_transports.h"

namespace vexa {

// What the location client is given besides its profile: how to build its transports, where the
// "DEBUG:" traces go, and the clock of its session timers. Tests give their own.
struct ClientServices {
    TransportFactory transports = moduleTransports();
    TraceSink trace;
    std::reference_wrapper<const Clock> clock = SystemClock();
};

// The operations a host has on the location client, in their fixed order.
class LocationClientInterface {
public:
    virtual ~LocationClientInterface() = default;

    virtual bool create(const ClientProfile& profile) = 0;
    // 0 or 1; any other value is refused.
    virtual bool setMode(int value) = 0;
    // Null is refused. The transports keep the values they were built with.
    virtual bool setProfile(const ClientProfile* profile) = 0;
    // Uses the server unless the profile says the host brings the aiding; lasts numFixes fixes.
    virtual bool startNetworkSession() = 0;
    // A rendered server aiding frame; only when the host brings the aiding and a session is active.
    virtual bool postAiding(const std::uint8_t* frame, std::size_t length) = 0;
    virtual bool stopSession() = 0;
    virtual int isSessionActive() = 0;
    // Refused when the host brings the aiding; the session ends after the first fix.
    virtual bool startAutonomousSession() = 0;
    // Kept for hosts written against the whole operation table; always 0.
    virtual int reservedOperation() = 0;
    // Opens or closes the receiver's NMEA channel.
    virtual bool setNmea(bool on) = 0;
    virtual bool setBinary(bool on) = 0;
    virtual bool close() = 0;
    // Empty until the receiver has told its versions.
    virtual std::string getReceiverVersion1() = 0;
    virtual std::string getReceiverVersion2() = 0;
    // One frame the host received on the receiver's location channels, channel byte first.
    virtual bool postExternalSerial(const std::uint8_t* bytes, std::size_t length) = 0;
};

class ClientProfileManager;

// The object a host holds. Every operation may be called from any of the host's threads; before
// create and after close they refuse (false, 0 or an empty text). Close waits for the client's
// thread, so it must not be called from one of the client's callbacks.
class LocationClient final : public LocationClientInterface {
public:
    explicit LocationClient(ClientServices services = {});
    ~LocationClient() override;
    LocationClient(const LocationClient&) = delete;
    LocationClient& operator=(const LocationClient&) = delete;

    // False when the client could not be made, or one is made already.
    bool create(const ClientProfile& profile) override;
    bool setMode(int value) override;
    bool setProfile(const ClientProfile* profile) override;
    bool startNetworkSession() override;
    bool postAiding(const std::uint8_t* frame, std::size_t length) override;
    bool stopSession() override;
    int isSessionActive() override;
    bool startAutonomousSession() override;
    int reservedOperation() override;
    bool setNmea(bool on) override;
    bool setBinary(bool on) override;
    bool close() override;
    std::string getReceiverVersion1() override;
    std::string getReceiverVersion2() override;
    bool postExternalSerial(const std::uint8_t* bytes, std::size_t length) override;

private:
    std::shared_ptr<ClientProfileManager> implementation() const;

    ClientServices services_;
    mutable std::mutex mutex_;
    // Shared so that an operation running on another thread keeps it alive while close goes on.
    std::shared_ptr<ClientProfileManager> implementation_;
};

}  // namespace vexa
