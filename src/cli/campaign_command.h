#pragma once

#include <cstdio>

#include "cli/cli_options.h"
#include "platform/clock.h"

namespace vexa {

// The time-to-first-fix campaign on the receivers of options.portPaths (see Campaign): connects,
// surveys the reference when asked to, runs the resets (each run's to every receiver at once),
// prints a line per run as it ends and the figures per reset kind at the end, and writes the report
// (with several receivers, each one's and comparison.csv). SIGINT or SIGTERM (or --seconds) stops it
// keeping the runs done. Gives the exit code: 0 with the report written, kExitNotConnected when no
// receiver was ever found, kExitSomeNotConnected when some were not, kExitBadUsage for a receiver
// that cannot be reset as asked or a report that could not be written. Time is read on `time`.
int RunCampaignCommand(const CliOptions& options, std::FILE* output, std::FILE* errors, const Clock& time);

}  // namespace vexa
