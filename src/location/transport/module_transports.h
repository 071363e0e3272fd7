#pragma once

#include "location/transport/communication_manager.h"

namespace vexa {

// The communication manager's transports on real devices: the serial module on the profile's device
// path and the network module towards the profile's server.
TransportFactory moduleTransports();

}  // namespace vexa
