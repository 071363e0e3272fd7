#include "location/session/location_client.h"

#include <new>
#include <system_error>

#include "location/session/client_profile_manager.h"

namespace vexa {

LocationClient::LocationClient(ClientServices services) : services_(std::move(services)) {}

LocationClient::~LocationClient() { close(); }

std::shared_ptr<ClientProfileManager> LocationClient::implementation() const {
    std::lock_guard lock(mutex_);
    return implementation_;
}

bool LocationClient::create(const ClientProfile& profile) {
    std::lock_guard lock(mutex_);
    if (implementation_) return false;
    try {
        implementation_ = std::make_shared<ClientProfileManager>(&profile, services_);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::system_error&) {  // no thread could be had
        return false;
    }
    return true;
}

bool LocationClient::close() {
    std::shared_ptr<ClientProfileManager> closing;
    {
        std::lock_guard lock(mutex_);
        closing.swap(implementation_);
    }
    return closing && closing->close();
}

bool LocationClient::setMode(int value) {
    const auto client = implementation();
    return client && client->setMode(value);
}

bool LocationClient::setProfile(const ClientProfile* profile) {
    const auto client = implementation();
    return client && client->setProfile(profile);
}

bool LocationClient::startNetworkSession() {
    const auto client = implementation();
    return client && client->startNetworkSession();
}

bool LocationClient::postAiding(const std::uint8_t* frame, std::size_t length) {
    const auto client = implementation();
    return client && client->postAiding(frame, length);
}

bool LocationClient::stopSession() {
    const auto client = implementation();
    return client && client->stopSession();
}

int LocationClient::isSessionActive() {
    const auto client = implementation();
    return client ? client->isSessionActive() : 0;
}

bool LocationClient::startAutonomousSession() {
    const auto client = implementation();
    return client && client->startAutonomousSession();
}

int LocationClient::reservedOperation() { return 0; }

bool LocationClient::setNmea(bool on) {
    const auto client = implementation();
    return client && client->setNmea(on);
}

bool LocationClient::setBinary(bool on) {
    const auto client = implementation();
    return client && client->setBinary(on);
}

std::string LocationClient::getReceiverVersion1() {
    const auto client = implementation();
    return client ? client->getReceiverVersion1() : std::string();
}

std::string LocationClient::getReceiverVersion2() {
    const auto client = implementation();
    return client ? client->getReceiverVersion2() : std::string();
}

bool LocationClient::postExternalSerial(const std::uint8_t* bytes, std::size_t length) {
    const auto client = implementation();
    return client && client->postExternalSerial(bytes, length);
}

}  // namespace vexa
