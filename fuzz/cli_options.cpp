// The command line is text the user types: whatever it holds, parsing either refuses it with a
// reason or gives options that keep the live front end's limits.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "link/connection/baud_settings.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckRequest(const vexa::ReceiverRequest& request) {
    Require(request.navigationMaskDegrees >= -20.0 && request.navigationMaskDegrees <= 90.0);
    Require(request.power.updateRateSeconds >= 1 && request.power.updateRateSeconds <= 10);
    Require(request.power.onTimeMs >= 200 && request.power.onTimeMs <= 900);
    Require(request.power.fixOnDemandPeriodSeconds >= 1);
}

}  // namespace

// The arguments are the input's pieces between zero bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back().push_back(static_cast<char>(data[i]));
        }
    }
    if (const auto request = vexa::ParseReceiverRequest(arguments.front())) CheckRequest(*request);

    std::string error;
    const std::optional<vexa::CliOptions> options = vexa::ParseCliOptions(arguments, error);
    Require(options.has_value() == error.empty());
    if (!options || options->mode != vexa::CliOptions::Mode::Live) return 0;
    Require(!options->portPaths.empty());
    for (const std::string& port : options->portPaths) Require(!port.empty());
    Require(vexa::ParseBaudSelection(options->baudSelection).has_value());
    Require(!options->seconds || (std::isfinite(*options->seconds) && *options->seconds > 0));
    for (const vexa::ReceiverRequest& request : options->requests) CheckRequest(request);
    return 0;
}
