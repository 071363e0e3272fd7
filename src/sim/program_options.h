#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sim/receiver_simulator.h"

namespace vexa::sim {

struct ProgramOptions {
    SimulatorOptions simulator;
    std::string linkPath;           // a symbolic link to make to the slave, if any
    std::optional<std::uint16_t> masPort;  // also run an assistance server on 127.0.0.1 at this port
    std::optional<double> seconds;  // run time; until a signal when not given
    std::string countsPath;         // where to write what was sent, at the end; nowhere when empty
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    ProgramOptions options;
    std::string error;  // empty when the arguments were good
};

// The arguments after the program name.
ParsedOptions ParseProgramOptions(std::span<const std::string_view> arguments);

extern const char* const kProgramUsage;

}  // namespace vexa::sim
