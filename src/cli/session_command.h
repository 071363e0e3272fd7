#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "location/session/location_client.h"
#include "platform/clock.h"

namespace vexa {

inline constexpr int kExitSessionFixed = 0;
inline constexpr int kExitSessionBadUsage = 1;
inline constexpr int kExitSessionNoPort = 2;
inline constexpr int kExitSessionNoFix = 3;

struct SessionOptions {
    bool network = false;  // with the assistance server; otherwise autonomous
    std::string portPath;
    int baud = 57600;
    std::string serverAddress = "127.0.0.1";
    std::uint16_t serverPort = 7557;
    unsigned fixes = 1;
    double seconds = 60;  // how long to wait for the fixes
};

// True when the arguments ask for a positioning session (--session).
bool AsksForSession(const std::vector<std::string>& arguments);

// Parses "--session autonomous|network --product osprey --port PATH [--baud N] [--server ADDR:PORT]
// [--fixes N] [--seconds S]"; on failure gives nothing and a message in `error`.
std::optional<SessionOptions> ParseSessionOptions(const std::vector<std::string>& arguments, std::string& error);

// Runs one session through the receiver link on the port: every status text of the location client
// and every fix go to `output` as lines. Gives kExitSessionFixed after the last fix, kExitSessionNoFix
// when they did not all come within the time, kExitSessionNoPort when the port cannot be opened.
// `services` are the location client's (its transports, its session clock); the run's deadline and
// the link read their clock too.
int RunSession(const SessionOptions& options, ClientServices services, std::FILE* output, std::FILE* errors);

// The command: parses, runs on `clock` and gives the exit code.
int RunSessionCommand(const std::vector<std::string>& arguments, std::FILE* output, std::FILE* errors,
                      const Clock& clock);

}  // namespace vexa
