#include "location/session/client_profile_manager.h"

namespace vexa {

namespace {

// A host that leaves a slot empty gets one that does nothing.
void fillEmptyCallbacks(HostCallbacks& callbacks) {
    if (!callbacks.position) callbacks.position = [](const PositionResult&) {};
    if (!callbacks.nmea) callbacks.nmea = [](const NmeaRecord&) {};
    if (!callbacks.error) callbacks.error = [](int, std::string_view) {};
    if (!callbacks.display) callbacks.display = [](std::string_view) {};
}

}  // namespace

ClientProfileManager::ClientProfileManager(const ClientProfile* profile, ClientServices services) {
    if (profile != nullptr) profile_ = *profile;
    fillEmptyCallbacks(profile_.callbacks);
    host_ = std::make_unique<HostInterface>(profile_.callbacks);
    callProcessor_ = std::make_unique<CallProcessor>(profile_, *host_, services.transports, std::move(services.trace),
                                                     services.clock);
    // A failed start is reported through the client's status and error texts only.
    callProcessor_->start();
}

ClientProfileManager::~ClientProfileManager() { close(); }

bool ClientProfileManager::create(const ClientProfile& /*profile*/) { return false; }

bool ClientProfileManager::setMode(int value) {
    if (value != 0 && value != 1) return false;
    mode_ = value;
    return true;
}

bool ClientProfileManager::setProfile(const ClientProfile* profile) {
    if (profile == nullptr) return false;
    {
        std::lock_guard lock(profileMutex_);
        profile_ = *profile;
    }
    callProcessor_->setProfile(*profile);
    return true;
}

bool ClientProfileManager::hostAiding() const {
    std::lock_guard lock(profileMutex_);
    return profile_.hostAiding != 0;
}

bool ClientProfileManager::startNetworkSession() {
    sessionActive_ = 1;
    mode_ = 1;
    callProcessor_->setKeepSession(true);
    callProcessor_->startSession();
    return true;
}

bool ClientProfileManager::postAiding(const std::uint8_t* frame, std::size_t length) {
    return hostAiding() && sessionActive_ == 1 && callProcessor_->aidingReceived(frame, length);
}

bool ClientProfileManager::stopSession() {
    callProcessor_->stopSession();
    sessionActive_ = 0;
    return true;
}

bool ClientProfileManager::startAutonomousSession() {
    if (hostAiding()) return false;
    mode_ = 0;
    sessionActive_ = 1;
    callProcessor_->setKeepSession(false);
    callProcessor_->startSession();
    return true;
}

bool ClientProfileManager::setNmea(bool on) {
    callProcessor_->setNmea(on);
    return true;
}

bool ClientProfileManager::setBinary(bool on) {
    callProcessor_->setBinary(on);
    return true;
}

bool ClientProfileManager::close() {
    if (closed_.exchange(true)) return false;
    const bool result = callProcessor_->shutdown();
    callProcessor_->join();
    return result;
}

bool ClientProfileManager::postExternalSerial(const std::uint8_t* bytes, std::size_t length) {
    callProcessor_->postExternalSerial(bytes, length);
    return true;
}

}  // namespace vexa
