#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/decode_command.h"
#include "cli/live_command.h"
#include "cli/session_command.h"

int main(int argc, char** argv) {
    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (vexa::AsksForSession(arguments)) return vexa::RunSessionCommand(arguments, stdout, stderr);
    if (vexa::AsksForDecode(arguments)) return vexa::RunDecodeCommand(arguments, stdin, stdout, stderr);

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
    case vexa::CliOptions::Mode::Live: return vexa::RunLiveCommand(*options, stdout, stderr);
    }
    return vexa::kExitBadUsage;
}
