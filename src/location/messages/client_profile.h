#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "location/messages/host_callbacks.h"

namespace vexa {

// The user's documents folder: $XDG_DOCUMENTS_DIR, else ~/Documents when it exists, else the home
// folder; empty (the working directory) when none is known.
std::filesystem::path defaultLogDirectory();

// The location client's settings, with their compiled-in defaults. Every holder keeps its own copy.
struct ClientProfile {
    std::uint8_t hostAiding = 1;                 // aiding comes from the host; never connect to the server
    std::string serverAddress = "127.0.0.1";     // IPv4 dotted text
    std::uint32_t serverPort = 7557;
    std::string serialPort = "/dev/ttyS0";
    std::uint32_t baudRate = 57600;
    HostCallbacks callbacks;
    std::string msName = "QTRAIL";               // mobile station name, also the trace log's file stem
    std::uint8_t networkTimeout = 255;           // seconds
    std::uint8_t serialTimeout = 255;            // seconds
    std::uint8_t logEnabled = 0;
    std::filesystem::path logDirectory = defaultLogDirectory();
    std::uint8_t resetKind = 2;
    std::uint16_t numFixes = 1;
    std::uint32_t requestParam = 0;
    std::uint8_t approxPositionValid = 0;
    float approxLatitude = 37.3875F;             // degrees; the simulated receiver's starting point
    float approxLongitude = -121.9720F;          // degrees
    std::int16_t approxAltitude = 0;             // metres
    std::uint16_t approxAux = 0;
    std::uint16_t approxUncertainty = 500;
    std::uint8_t externalSerial = 1;             // the receiver is reached through the host
};

}  // namespace vexa
