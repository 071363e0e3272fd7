#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/receiver_request.h"
#include "evaluation/campaign.h"
#include "evaluation/local_frame.h"
#include "platform/option_table.h"

namespace vexa {

// What the command line asks for, apart from the offline decoder (--decode).
struct CliOptions {
    enum class Mode { Help, Version, ListPorts, Live };
    Mode mode = Mode::Live;
    // Live: the ports to connect to, each a receiver of its own. Listing: paths listed beside the ports found.
    std::vector<std::string> portPaths;
    std::string baudSelection = "Auto";  // "Auto" or a rate, as the connection dialog's baud box
    int product = 0;                     // a ProductSelection value
    std::optional<double> seconds;       // run time; until a signal when not given
    std::string logPath;                 // no data log when empty
    std::string recordPath;              // no raw recording when empty
    bool json = false;                   // gpsd's TPV and SKY reports instead of the message lines
    bool unknown = false;                // a line for every frame of an unknown id
    std::string gpxPath;                 // the track written at the end; none when empty
    std::string historyPrefix;           // PREFIX-satellites.csv and PREFIX-epochs.csv; none when empty
    std::string metricsAddress;          // HOST:PORT serving /metrics for Prometheus; none when empty
    bool compare = false;                // a line a second comparing the receivers instead of the message lines
    std::vector<ReceiverRequest> requests;
    // A time-to-first-fix campaign instead of the message lines (--campaign), its report folder,
    // the user's own reset bytes per kind (empty: the link's reset command) and its reference:
    // entered, or surveyed from the receiver's fixes over surveySeconds first.
    std::optional<CampaignSettings> campaign;
    std::string reportPath;
    std::array<std::vector<std::uint8_t>, kResetKinds.size()> resetTexts;
    std::optional<GeodeticPoint> reference;
    std::optional<int> surveySeconds;
};

// Parses the arguments after the program name; on failure gives nothing and a message in `error`.
std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& arguments, std::string& error);

// True when the arguments ask for the offline decoder.
bool AsksForDecode(const std::vector<std::string>& arguments);

extern const char* const kCliUsage;

// The program's modes, as its option table marks them: the live run with the port list (one
// parser), the offline decoder and the positioning session.
enum CliMode : unsigned { kLiveMode = 1, kDecodeMode = 2, kSessionMode = 4 };

// Every option of the program, whatever its mode; an option whose meaning differs between modes has
// a row, and an id, in each.
enum class CliOption {
    kPort, kBaud, kProduct, kSeconds, kLog, kRecord, kJson, kUnknown, kGpx, kHistoryCsv, kSend, kListPorts, kDecode,
    kHelp, kVersion, kSession, kSessionProduct, kSessionBaud, kServer, kFixes, kSessionSeconds, kCampaign, kRuns,
    kRunTimeout, kSettle, kResetText, kPowerCycle, kReference, kReport, kAccuracy, kMetrics, kCompare,
};

// The option's row in the mode, or else its first row; nothing for a name the program does not know.
const OptionRow<CliOption>* FindCliOption(std::string_view name, CliMode mode);

// Why an option is refused in a mode: an option of another mode "cannot be used <mode>", anything
// else is unknown, with the closest option named when one is close.
std::string RefusedOptionText(std::string_view option, std::string_view mode);

}  // namespace vexa
