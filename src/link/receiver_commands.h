#pragma once

#include <chrono>
#include <functional>

#include "receiver/commands/command_builders.h"

namespace vexa {

class GpsComm;

// The receiver commands of the menus and dialogs, sent through the link. Each one also makes
// its changes to the context (time to first fix, output toggle counters); results are ignored,
// as a lost command shows by the missing answer. A source that takes no commands is the front
// end's to check first (GpsComm::CommandsRefused), so that the user learns why.
void SendReset(GpsComm& comm, ResetKind kind);
void ToggleDebugOutput(GpsComm& comm);
void ToggleNavLibOutput(GpsComm& comm);
void PollSoftwareVersion(GpsComm& comm);
void PollClockStatus(GpsComm& comm);
// Degrees; values outside -20 to 90 send nothing.
void SetElevationMask(GpsComm& comm, double trackingDegrees, double navigationDegrees);
void SetPowerManagement(GpsComm& comm, const PowerSettings& settings);

// Switches the receiver between the binary protocol and NMEA, by the protocol it speaks now:
// writes the request directly, waits for the receiver to change over, sets the port to the new
// baud rate, marks the link not connected (the comm reader finds the protocol again) and hands
// the new rate to `saveBaud`. Nothing happens while not connected or for a product without a switch.
struct ProtocolSwitchHooks {
    std::function<void(int baud)> saveBaud;
    std::function<void(std::chrono::milliseconds)> wait;  // sleeps when empty
};
inline constexpr std::chrono::milliseconds kProtocolSwitchSettle{750};
void SwitchProtocol(GpsComm& comm, const ProtocolSwitchHooks& hooks);

}  // namespace vexa
