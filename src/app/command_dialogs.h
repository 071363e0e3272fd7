#pragma once

namespace vexa {

struct UiContext;

// Fills the "Command" menu's hooks. "Power Management..." and "SV Elevation Mask...": each dialog is
// created on first use and kept, so it shows the values last confirmed; it sends through the link as
// it is at that moment. "NMEA Channel" switches the link's location client's NMEA tunnel.
void InstallCommandHooks(UiContext& ui);

}  // namespace vexa
