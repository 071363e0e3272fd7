#include "location/transport/module_transports.h"

#include "location/transport/network_module.h"
#include "location/transport/serial_module.h"

namespace vexa {

TransportFactory moduleTransports() {
    TransportFactory factory;
    factory.serial = [](CommunicationManager& manager, const ClientProfile& profile) {
        return std::make_unique<SerialModule>(manager, profile);
    };
    factory.network = [](CommunicationManager& manager, const ClientProfile& profile) {
        return std::make_unique<NetworkModule>(manager, profile);
    };
    return factory;
}

}  // namespace vexa
