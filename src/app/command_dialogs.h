#pragma once

namespace vexa {

class LocationClient;
struct UiContext;

// Fills the "Command" menu's hooks. "Power Management..." and "SV Elevation Mask...": each dialog is
// created on first use and kept, so it shows the values last confirmed; it sends through the link as
// it is at that moment.
void InstallCommandHooks(UiContext& ui);
// "NMEA Channel" switches the NMEA tunnel of the link's location client.
void InstallTunnelHook(UiContext& ui, LocationClient& client);

}  // namespace vexa
