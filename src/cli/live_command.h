#pragma once

#include <cstdio>

#include "cli/cli_options.h"
#include "platform/clock.h"

namespace vexa {

// Exit codes of the live front end.
inline constexpr int kExitReceiverFound = 0;
inline constexpr int kExitBadUsage = 1;
inline constexpr int kExitNotConnected = 2;
inline constexpr int kExitSomeNotConnected = 3;  // of several receivers, some were never found

// Connects, prints and sends in real time, one tick a second, each receiver of the run on its own,
// looking for it again whenever it is not connected, until the run time is over, a signal arrives or
// standard output fails. A source name that cannot be one and outputs that clash (OutputClash) are
// refused first (kExitBadUsage). Time is read on `clock`.
int RunLiveCommand(const CliOptions& options, std::FILE* output, std::FILE* errors, const Clock& clock);

// One line per port: the device path, a tab, the display name.
int RunListPorts(const CliOptions& options, std::FILE* output);

}  // namespace vexa
