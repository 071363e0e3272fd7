#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/campaign_command.h"
#include "cli/cli_options.h"
#include "cli/decode_command.h"
#include "cli/live_command.h"
#include "cli/session_command.h"
#include "cli/stop_signals.h"
#include "platform/clock.h"
#include "platform/wake_event.h"

namespace {

// SIGINT or SIGTERM ends a decode as if its input had ended, and the program then exits as shells
// expect of a program ended by that signal: 128 + its number.
int RunDecode(const std::vector<std::string>& arguments) {
    vexa::StopSignals signals;
    vexa::WakeEvent stop;
    std::atomic<int> caught{0};
    signals.Watch([&](int signal) {
        caught = signal;
        stop.signal();
    });
    const int status = vexa::RunDecodeCommand(arguments, stdin, stdout, stderr, &stop);
    signals.StopWatching();
    return caught != 0 ? 128 + caught : status;
}

}  // namespace

int main(int argc, char** argv) {
    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (vexa::AsksForSession(arguments)) return vexa::RunSessionCommand(arguments, stdout, stderr, vexa::SystemClock());
    if (vexa::AsksForDecode(arguments)) return RunDecode(arguments);

    std::string error;
    const std::optional<vexa::CliOptions> options = vexa::ParseCliOptions(arguments, error);
    if (!options) {
        std::fprintf(stderr, "vexademo-cli: %s\n%s", error.c_str(), vexa::kCliUsage);
        return vexa::kExitBadUsage;
    }
    switch (options->mode) {
    case vexa::CliOptions::Mode::Help: std::fputs(vexa::kCliUsage, stdout); return 0;
    case vexa::CliOptions::Mode::Version: std::puts("vexademo-cli " VEXA_VERSION); return 0;
    case vexa::CliOptions::Mode::ListPorts: return vexa::RunListPorts(*options, stdout);
    case vexa::CliOptions::Mode::Live:
        // A standard output nobody reads any more is a write error the run ends on, with its log closed.
        std::signal(SIGPIPE, SIG_IGN);
        if (options->campaign) return vexa::RunCampaignCommand(*options, stdout, stderr, vexa::SystemClock());
        return vexa::RunLiveCommand(*options, stdout, stderr, vexa::SystemClock());
    }
    return vexa::kExitBadUsage;
}
