#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sim/receiver_simulator.h"

namespace vexa::sim {

struct ProgramOptions {
    SimulatorOptions simulator;
    std::string linkPath;           // a symbolic link to make to the slave, if any
    std::optional<double> seconds;  // run time; until a signal when not given
    bool help = false;
};

struct ParsedOptions {
    ProgramOptions options;
    std::string error;  // empty when the arguments were good
};

// The arguments after the program name.
ParsedOptions ParseProgramOptions(std::span<const std::string_view> arguments);

extern const char* const kProgramUsage;

}  // namespace vexa::sim
