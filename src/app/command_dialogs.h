#pragma once

namespace vexa {

struct UiContext;

// Fills the "Command" menu's dialog hooks: "Power Management..." and "SV Elevation Mask...". Each
// dialog is created on first use and kept, so it shows the values last confirmed; it sends
// through the link as it is at that moment.
void InstallCommandDialogs(UiContext& ui);

}  // namespace vexa
