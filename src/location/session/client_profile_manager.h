#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "location/session/call_processor.h"
#include "location/session/location_client.h"
#include "location/transport/host_interface.h"

namespace vexa {

// The location client behind the host's interface object: it owns the call processor and the host
// interface, and keeps the session and mode values. Its call processor runs from construction.
class ClientProfileManager final : public LocationClientInterface {
public:
    // Without a profile the defaults are used.
    explicit ClientProfileManager(const ClientProfile* profile, ClientServices services = {});
    ~ClientProfileManager() override;
    ClientProfileManager(const ClientProfileManager&) = delete;
    ClientProfileManager& operator=(const ClientProfileManager&) = delete;

    // The manager is made from its profile; it cannot be made again.
    bool create(const ClientProfile& profile) override;
    bool setMode(int value) override;
    bool setProfile(const ClientProfile* profile) override;
    bool startNetworkSession() override;
    bool postAiding(const std::uint8_t* frame, std::size_t length) override;
    bool stopSession() override;
    int isSessionActive() override { return sessionActive_; }
    bool startAutonomousSession() override;
    int reservedOperation() override { return 0; }
    bool setNmea(bool on) override;
    bool setBinary(bool on) override;
    // Shuts the call processor down and waits for its thread; false when already closed.
    bool close() override;
    std::string getReceiverVersion1() override { return callProcessor_->receiverVersion1(); }
    std::string getReceiverVersion2() override { return callProcessor_->receiverVersion2(); }
    bool postExternalSerial(const std::uint8_t* bytes, std::size_t length) override;

    int mode() const { return mode_; }

private:
    bool hostAiding() const;

    mutable std::mutex profileMutex_;
    ClientProfile profile_;
    std::unique_ptr<HostInterface> host_;
    std::unique_ptr<CallProcessor> callProcessor_;
    std::atomic<int> sessionActive_{0};
    std::atomic<int> mode_{0};
    std::atomic<bool> closed_{false};
};

}  // namespace vexa
