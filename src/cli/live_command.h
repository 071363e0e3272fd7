#pragma once

#include <cstdio>

#include "cli/cli_options.h"

namespace vexa {

// Exit codes of the live front end.
inline constexpr int kExitReceiverFound = 0;
inline constexpr int kExitBadUsage = 1;
inline constexpr int kExitNotConnected = 2;

// Connects, prints and sends in real time, one tick a second, looking for the receiver again whenever
// none is connected, until the run time is over, a signal arrives or standard output fails. A source
// name that cannot be one and outputs that clash (OutputClash) are refused first (kExitBadUsage).
int RunLiveCommand(const CliOptions& options, std::FILE* output, std::FILE* errors);

// One line per port: the device path, a tab, the display name.
int RunListPorts(const CliOptions& options, std::FILE* output);

}  // namespace vexa
