#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/constellation.h"

namespace vexa {

// What the command line of the Qt program asks for.
struct DemoOptions {
    bool simulate = false;           // start the built-in simulated receiver, listed first
    bool simulateNmea = false;       // ... speaking NMEA instead of the binary protocol
    std::optional<int> simulateBaud; // ... at this rate instead of its protocol's usual one
    std::optional<sim::Constellations> simulateConstellations;  // ... tracking these systems instead of GPS alone
    std::vector<std::string> ports;  // device paths added to the port list
    int scale = 1;                   // the window opened this many times its smallest size
    bool allPages = false;           // the six pages at once instead of under tabs
    bool history = false;            // the History window open at start
    std::string countsFile;          // where to write the link's counts on quitting
    std::optional<int> product;      // chosen without the Product Selection dialog
    bool connect = false;            // connect to the first listed port with "Auto", without the dialog
    std::optional<int> connectBaud;  // ... at this rate instead of "Auto"
    std::string screenshotsFolder;   // where to save the window and the pages, then exit
    double seconds = 0;              // ... after this many seconds
    std::string mapFile;             // a geoset to load at start
    std::string replayFile;          // a raw capture to play as the receiver, connected at start
    double replaySpeed = 1;          // ... at its line rate times this
    bool replayLoop = false;         // ... starting again at its end
    std::string metricsAddress;      // HOST:PORT serving the receiver's series for this run; empty: as the settings say
    bool help = false;
    bool version = false;
};

struct ParsedDemoOptions {
    DemoOptions options;
    std::string error;  // empty when the arguments were good
};

// The arguments after the program name.
ParsedDemoOptions ParseDemoOptions(std::span<const std::string_view> arguments);

// The port name of the capture given with --replay, with its pace; empty without --replay.
std::string ReplayPortName(const DemoOptions& options);
// Why the capture given with --replay cannot be played ("PATH: the capture is empty"); empty
// when it can, or when none was given.
std::string ReplayProblem(const DemoOptions& options);

extern const char* const kDemoUsage;

}  // namespace vexa
