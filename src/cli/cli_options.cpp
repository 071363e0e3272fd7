#include "cli/cli_options.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <string_view>

#include "cli/run_sources.h"
#include "evaluation/reference_point.h"
#include "evaluation/reset_text.h"
#include "link/connection/baud_settings.h"
#include "platform/host_port.h"
#include "platform/option_suggestion.h"
#include "receiver/product/product_table.h"

namespace vexa {

namespace {

// The run time is counted in milliseconds; a century is more than enough.
constexpr double kLongestRunSeconds = 100.0 * 365 * 24 * 3600;

constexpr unsigned kLiveAndDecode = kLiveMode | kDecodeMode;

constexpr OptionRow<CliOption> kCliOptions[] = {
    {CliOption::kPort, "--port", "PATH", "", std::nullopt, kLiveMode | kSessionMode},
    {CliOption::kBaud, "--baud", "N|auto",
     "4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800 or 921600, or\n"
     "auto (the default): try 57600, 38400, 4800, 19200, 9600, 115200,\n"
     "230400, 460800 and 921600 for five seconds each.\n"
     "The osprey always talks at 57600, so --baud is refused for it.",
     std::nullopt, kLiveMode},
    {CliOption::kProduct, "--product", "P", "kestrel (the default), osprey or merlin, in any case", std::nullopt,
     kLiveAndDecode},
    {CliOption::kSeconds, "--seconds", "S", "run time in seconds (default: until SIGINT or SIGTERM)",
     OptionRange{0, kLongestRunSeconds, true}, kLiveMode},
    {CliOption::kLog, "--log", "FILE", "write the data log, a dated text line per message, to FILE", std::nullopt,
     kLiveAndDecode},
    {CliOption::kRecord, "--record", "FILE",
     "write every byte received, unchanged, to FILE: a raw capture that\n"
     "--decode reads and vexasim --replay plays",
     std::nullopt, kLiveMode},
    {CliOption::kJson, "--json", "",
     "instead of the message lines, print gpsd's JSON reports: a TPV object\n"
     "per fix with a position, a SKY object per sky, one a line, flushed as\n"
     "they come (see README)",
     std::nullopt, kLiveAndDecode},
    {CliOption::kUnknown, "--unknown", "",
     "also print a line for every frame of an id the program does not know:\n"
     "\"Unknown MID 77, 5 bytes: 01 02 03 04 05\" (to standard error with --json)",
     std::nullopt, kLiveAndDecode},
    {CliOption::kGpx, "--gpx", "FILE", "at the end, write every fix with a position as a GPX 1.1 track to FILE",
     std::nullopt, kLiveAndDecode},
    {CliOption::kHistoryCsv, "--history-csv", "PREFIX",
     "write the history of every epoch: PREFIX-satellites.csv, a row per epoch\n"
     "and satellite (time,gnssid,svid,az,el,cn0,used), and PREFIX-epochs.csv\n"
     "(time,fix,in_view,used,hdop,vdop,pdop,lat,lon,height,east,north,up)",
     std::nullopt, kLiveAndDecode},
    {CliOption::kMetrics, "--metrics", "HOST:PORT",
     "serve the receiver's series at http://HOST:PORT/metrics in the\n"
     "Prometheus text format, labelled device=PATH (see README)",
     std::nullopt, kLiveMode},
    {CliOption::kCompare, "--compare", "",
     "instead of the message lines, print once a second a line comparing the\n"
     "receivers: for each its name, fix kind, satellites used, horizontal\n"
     "error from --reference (\"-\" without it) and mean C/N0 of the used\n"
     "satellites. With --report DIR, at the end, each receiver's report\n"
     "in DIR/NAME and DIR/comparison.csv, a column per receiver (see README)",
     std::nullopt, kLiveMode},
    {CliOption::kSend, "--send", "CMD",
     "once the receiver is found, send CMD; repeat for more, sent in order.\n"
     "All but switch-protocol need the binary protocol. The commands:",
     std::nullopt, kLiveMode},
    {CliOption::kCampaign, "--campaign", "KIND",
     "run a time-to-first-fix campaign instead of printing messages: resets\n"
     "of KIND (hot, warm, cold, factory, or cycle for each in turn), each\n"
     "timed to the first fix, the first 3D fix and the first fix within\n"
     "10 m of the reference; a line per run as it ends. Needs --runs and\n"
     "--report; the receiver's own report of its time is shown beside it",
     std::nullopt, kLiveMode},
    {CliOption::kRuns, "--runs", "N", "the campaign's number of resets", OptionRange{1, 100000}, kLiveMode},
    {CliOption::kRunTimeout, "--run-timeout", "S",
     "a run without a fix after S seconds has failed (default 300)", OptionRange{0, 1e6, true}, kLiveMode},
    {CliOption::kSettle, "--settle", "S",
     "seconds between the end of a run and the next reset (default 10)", OptionRange{0, 1e6}, kLiveMode},
    {CliOption::kResetText, "--reset-text", "KIND=TEXT",
     "send TEXT as the reset of KIND instead of the program's reset command\n"
     "(for receivers it has none for); \\r, \\n, \\t, \\\\ and \\xHH stand\n"
     "for those bytes. Repeat for more kinds",
     std::nullopt, kLiveMode},
    {CliOption::kPowerCycle, "--power-cycle", "",
     "send no reset: switch the receiver off and on (or unplug it) for each\n"
     "run, timed from the receiver coming back",
     std::nullopt, kLiveMode},
    {CliOption::kReference, "--reference", "LAT,LON,H|survey=S|mean",
     "the known point errors are measured from: degrees and metres above\n"
     "the WGS-84 ellipsoid (with --campaign, --compare or --metrics);\n"
     "survey=S (campaign): the mean of the receiver's fixes over S seconds\n"
     "before the first reset; mean (--decode): the mean of the capture's\n"
     "fixes. Without it, only precision is given. With --metrics, LAT,LON,H\n"
     "also gives the fix's error series",
     std::nullopt, kLiveAndDecode},
    {CliOption::kReport, "--report", "DIR",
     "write the report to DIR: fixes.csv, runs.csv, summary.json, report.html",
     std::nullopt, kLiveAndDecode},
    {CliOption::kAccuracy, "--accuracy", "", "", std::nullopt, kDecodeMode},
    {CliOption::kListPorts, "--list-ports", "", "", std::nullopt, kLiveMode},
    {CliOption::kDecode, "--decode", "FILE", "", std::nullopt, kDecodeMode},
    {CliOption::kHelp, "--help", "", "", std::nullopt, kLiveMode},
    {CliOption::kVersion, "--version", "", "", std::nullopt, kLiveMode},
    {CliOption::kSession, "--session", "autonomous|network", "", std::nullopt, kSessionMode},
    {CliOption::kSessionProduct, "--product", "osprey", "", std::nullopt, kSessionMode},
    {CliOption::kSessionBaud, "--baud", "N", "the receiver's baud rate (default 57600)", OptionRange{0, 999999999, true},
     kSessionMode},
    {CliOption::kServer, "--server", "ADDR:PORT", "the assistance server (default 127.0.0.1:7557)", std::nullopt,
     kSessionMode},
    {CliOption::kFixes, "--fixes", "N", "stop after the N-th fix (default 1)", OptionRange{1, 65535}, kSessionMode},
    {CliOption::kSessionSeconds, "--seconds", "S", "give up when the fixes did not come within S seconds (default 60)",
     OptionRange{0, 1e6, true}, kSessionMode},
};

// man's formatter (help2man) takes a help that starts on its own line at column 20 or more.
constexpr HelpLayout kLiveHelp{20};
constexpr HelpLayout kSessionHelp{23};

// The values of --send, listed after it as options of their own.
constexpr const char* kSendCommands =
    "  --send hot-start|warm-start|cold-start|factory-reset\n"
    "                    restart the receiver\n"
    "  --send debug-output\n"
    "                    toggle the development data output\n"
    "  --send navlib-output\n"
    "                    toggle the navigation library output (messages 28 to 31)\n"
    "  --send poll-version\n"
    "                    ask for the software version; its text is printed\n"
    "  --send poll-clock\n"
    "                    ask for the clock status; its six lines are printed\n"
    "  --send switch-protocol\n"
    "                    binary to NMEA at 4800 baud, or NMEA to binary at 57600 baud; the\n"
    "                    commands after it wait until the receiver is found again\n"
    "  --send elevation-mask=DEG\n"
    "                    the navigation elevation mask, -20 to 90 degrees\n"
    "  --send power=always\n"
    "                    continuous power\n"
    "  --send power=timed,ON_MS,RATE_S\n"
    "                    TimedPower: on-time 200 to 900 ms in steps of 100, update rate 1 to 10 s\n"
    "  --send power=fod,PERIOD_S\n"
    "                    fix-on-demand every PERIOD_S seconds\n";

// Each form of the command on one line, as the manual page's synopsis takes them.
std::string CliUsage() {
    return std::string(
               "Usage: vexademo-cli --port PATH [--port PATH]... [--baud N] [--product P] [--seconds S] [--log FILE]"
               " [--record FILE] [--json] [--unknown] [--gpx FILE] [--history-csv PREFIX] [--metrics HOST:PORT] [--compare]"
               " [--reference LAT,LON,H] [--report DIR] [--send CMD]...\n"
               "  or:  vexademo-cli --port PATH [--port PATH]... --campaign KIND --runs N [--run-timeout S] [--settle S]"
               " [--reset-text KIND=TEXT]... [--power-cycle] [--reference LAT,LON,H|survey=S] --report DIR\n"
               "  or:  vexademo-cli --list-ports [--port PATH]...\n"
               "  or:  vexademo-cli --decode FILE [--product P] [--log FILE] [--json] [--unknown] [--gpx FILE]"
               " [--history-csv PREFIX]\n"
               "  or:  vexademo-cli --decode FILE --accuracy [--product P] [--reference LAT,LON,H|mean] --report DIR\n"
               "  or:  vexademo-cli --session autonomous|network --product osprey --port PATH [OPTION]...\n"
               "  or:  vexademo-cli --help|--version\n"
               "The headless front end of the GPS receiver demonstration program.\n"
               "\n"
               "Live: opens the receiver's port PATH and finds its baud rate and protocol (NMEA or\n"
               "binary). PATH is a serial device, tcp://HOST:PORT (the receiver's bytes over TCP), or\n"
               "gpsd://HOST[:PORT][/DEVICE] (the raw bytes of a receiver a running gpsd owns; no commands).\n"
               "The baud rate applies to serial devices only. Each new connection status goes to standard\n"
               "error, one line each; every message received goes to standard output as one line, as\n"
               "--decode prints it. Runs until S seconds have passed or SIGINT or SIGTERM arrives.\n"
               "The closing counts line says why frames were dropped: bad checksum, bad length, and the\n"
               "unknown ids one by one (\"unknown MID 77: 3\").\n"
               "Several --port options run several receivers at once, each with its own link and search:\n"
               "each line then starts with the receiver's short name (\"ttyUSB0: \"; a device's base name,\n"
               "a network source's HOST:PORT, made unique with -2, -3...), each JSON report carries its\n"
               "\"device\", and the files of --log, --record, --gpx and --history-csv are one per receiver\n"
               "with the name before the extension (track-ttyUSB0.gpx). A port given twice is refused.\n"
               "Exit status: 0 when every receiver was found, 2 when none was (\"Not connected\"), 3 when\n"
               "some were and some were not, 1 for bad usage or an output (log, recording, track, standard\n"
               "output) that could not be written.\n"
               "\n"
               "--list-ports prints the serial ports found, one a line: the device path, a tab, the name\n"
               "shown for it. Paths given with --port are listed first.\n"
               "\n"
               "--decode reads a raw capture (- for standard input) through the same receive path and\n"
               "prints one line per message, then the counts of bytes, frames, sentences and dropped frames;\n"
               "with --log it also writes the data log; with --json it prints the JSON reports instead;\n"
               "--unknown, --gpx and --history-csv as below, the track and the history holding the capture's.\n"
               "With --accuracy it prints the accuracy and precision of the capture's fixes instead and writes\n"
               "the report to DIR.\n"
               "\n"
               "--campaign prints a line per run as it ends and, at the end (or at SIGINT or SIGTERM, keeping\n"
               "the runs done), the figures per reset kind, and writes the report. A receiver lost in a run\n"
               "loses that run; the campaign goes on when it is back. Exit status 1 when the report could not\n"
               "be written. With several --port, each run resets every receiver at once and ends when each\n"
               "has its fix or its time-out; each line starts with the receiver's name, a receiver away (or\n"
               "not found in the first 30 s) loses its runs only, and DIR holds each receiver's report in a\n"
               "folder of its name and comparison.csv: a column per receiver with its time-to-first-fix\n"
               "figures per reset kind, its accuracy and its C/N0 beside the others'. Exit status 2 when no\n"
               "receiver was found, 3 when some were not.\n"
               "\n"
               "--session runs positioning sessions of the location client through the receiver on PATH:\n"
               "network asks the assistance server for aiding, autonomous never connects to it. Every status\n"
               "text and every fix is printed. Exit status 0 after the N-th fix, 3 when the fixes did not come\n"
               "in time, 2 when the port cannot be opened, 1 for bad options.\n"
               "\n"
               "--version prints the program's version.\n"
               "\n"
               "Options:\n") +
           OptionHelp<CliOption>(kCliOptions, kLiveHelp, kLiveMode) + kSendCommands +
           "Options of --session:\n" + OptionHelp<CliOption>(kCliOptions, kSessionHelp, kSessionMode) +
           "\n"
           "Examples:\n"
           "  $ vexademo-cli --port /dev/ttyUSB0 --json | jq .\n"
           "  $ vexademo-cli --decode capture.bin --gpx track.gpx\n"
           "  $ vexademo-cli --port /dev/ttyUSB0 --campaign cold --runs 20 --reference survey=300 --report cold-test\n"
           "  $ vexademo-cli --decode capture.bin --accuracy --reference mean --report accuracy\n"
           "  $ vexademo-cli --decode capture.bin --history-csv day1\n"
           "  $ vexademo-cli --session network --product osprey --port /tmp/osprey --fixes 3\n";
}

std::optional<double> Number(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// What the campaign's options say before they are put together.
struct CampaignArguments {
    std::optional<CampaignPlan> plan;
    std::optional<std::size_t> runs;
    CampaignSettings settings;
    std::vector<std::string_view> given;  // the campaign's options given, to refuse without --campaign
};

bool IsCampaignOption(CliOption id) {
    return id == CliOption::kCampaign || id == CliOption::kRuns || id == CliOption::kRunTimeout ||
           id == CliOption::kSettle || id == CliOption::kResetText || id == CliOption::kReference ||
           id == CliOption::kReport;
}

// Applies a campaign option; gives an error text, empty when it was good.
std::string ApplyCampaign(const OptionRow<CliOption>& option, const std::string& value, CliOptions& options,
                          CampaignArguments& campaign) {
    const CliOption id = option.id;
    const std::optional<double> number = Number(value);
    // A reference point also serves the metrics' error series; a survey only a campaign.
    if (id != CliOption::kCampaign && id != CliOption::kReference) campaign.given.push_back(option.name);
    if (id == CliOption::kCampaign) {
        campaign.plan = ParseCampaignPlan(value);
        if (!campaign.plan) return "--campaign takes hot, warm, cold, factory or cycle";
    } else if (id == CliOption::kRuns) {
        if (!number || !option.range->Holds(*number) || *number != static_cast<double>(static_cast<long>(*number))) {
            return "--runs takes a whole number from 1 to 100000";
        }
        campaign.runs = static_cast<std::size_t>(*number);
    } else if (id == CliOption::kRunTimeout || id == CliOption::kSettle) {
        const bool timeout = id == CliOption::kRunTimeout;
        if (!number || !option.range->Holds(*number)) {
            return timeout ? "--run-timeout takes a number of seconds above 0" : "--settle takes a number of seconds, 0 or more";
        }
        const auto milliseconds = std::chrono::round<std::chrono::milliseconds>(std::chrono::duration<double>(*number));
        (timeout ? campaign.settings.runTimeout : campaign.settings.settle) = milliseconds;
        if (timeout && milliseconds <= std::chrono::milliseconds::zero()) return "--run-timeout takes a number of seconds above 0";
    } else if (id == CliOption::kResetText) {
        const std::size_t equals = value.find('=');
        const std::optional<CampaignPlan> kind = ParseCampaignPlan(value.substr(0, std::min(equals, value.size())));
        if (equals == std::string::npos || !kind || kind->kinds.size() != 1) {
            return "--reset-text takes KIND=TEXT, KIND one of hot, warm, cold, factory";
        }
        const ParsedResetText text = ParseResetText(std::string_view(value).substr(equals + 1));
        if (!text.bytes) return "--reset-text " + value.substr(0, equals) + ": " + text.problem;
        options.resetTexts[static_cast<std::size_t>(kind->kinds.front())].assign(text.bytes->begin(), text.bytes->end());
    } else if (id == CliOption::kReference) {
        if (value == "mean") return "--reference mean is the mean of a capture's fixes: use it with --decode";
        if (value.starts_with("survey=")) {
            const std::optional<double> seconds = Number(std::string_view(value).substr(7));
            if (!seconds || *seconds < 1 || *seconds > 86400 || *seconds != static_cast<double>(static_cast<int>(*seconds))) {
                return "--reference survey= takes a whole number of seconds from 1 to 86400";
            }
            options.surveySeconds = static_cast<int>(*seconds);
            campaign.given.push_back(option.name);
        } else {
            const ParsedReference reference = ParseReferencePoint(value);
            if (!reference.point) return reference.message;
            options.reference = reference.point;
        }
    } else if (id == CliOption::kReport) {
        if (value.empty()) return "--report takes a folder";
        options.reportPath = value;
    }
    return {};
}

// The campaign put together, or why it cannot be.
std::string PutCampaignTogether(const CampaignArguments& campaign, CliOptions& options) {
    if (!campaign.plan) {
        // --compare measures its errors from an entered point and may write its report.
        for (const std::string_view given : campaign.given) {
            if ((given != "--reference" && given != "--report") || !options.compare) {
                return std::string(given) + " needs --campaign";
            }
        }
        return options.surveySeconds ? "--reference survey= needs --campaign" : std::string();
    }
    if (options.portPaths.size() > 1 && options.surveySeconds) {
        return "--reference survey= takes one --port; give the point with several";
    }
    if (!campaign.runs) return "--campaign needs --runs N";
    if (options.reportPath.empty()) return "--campaign needs --report DIR";
    if (options.json) return "--json cannot be used with --campaign";
    const bool resetTexts = std::any_of(options.resetTexts.begin(), options.resetTexts.end(),
                                        [](const std::vector<std::uint8_t>& text) { return !text.empty(); });
    if (campaign.settings.powerCycle && resetTexts) return "--power-cycle sends no reset; --reset-text cannot be used with it";
    CampaignSettings settings = campaign.settings;
    settings.plan = *campaign.plan;
    settings.runs = *campaign.runs;
    if (std::string why = WhyNotACampaign(settings); !why.empty()) return why;
    options.campaign = std::move(settings);
    return {};
}

// Applies an option that takes a value; gives an error text, empty when it was good.
std::string Apply(const OptionRow<CliOption>& option, const std::string& value, CliOptions& options, bool& baudGiven) {
    const CliOption id = option.id;
    if (id == CliOption::kPort) {
        if (value.empty()) return "--port takes a device path, tcp://HOST:PORT or gpsd://HOST[:PORT][/DEVICE]";
        options.portPaths.push_back(value);
    } else if (id == CliOption::kBaud) {
        const std::string selection = value == "auto" ? "Auto" : value;
        if (!ParseBaudSelection(selection)) return "--baud takes 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600 or auto";
        options.baudSelection = selection;
        baudGiven = true;
    } else if (id == CliOption::kProduct) {
        const std::optional<int> product = ProductNamed(value);
        if (!product) return "--product takes kestrel, osprey or merlin";
        options.product = *product;
    } else if (id == CliOption::kSeconds) {
        const std::optional<double> seconds = Number(value);
        if (!seconds || !option.range->Holds(*seconds)) return "--seconds takes a positive number of seconds";
        options.seconds = seconds;
    } else if (id == CliOption::kLog) {
        if (value.empty()) return "--log takes a file name";
        options.logPath = value;
    } else if (id == CliOption::kGpx) {
        if (value.empty()) return "--gpx takes a file name";
        options.gpxPath = value;
    } else if (id == CliOption::kHistoryCsv) {
        if (value.empty()) return "--history-csv takes a file name prefix";
        options.historyPrefix = value;
    } else if (id == CliOption::kRecord) {
        if (value.empty()) return "--record takes a file name";
        options.recordPath = value;
    } else if (id == CliOption::kMetrics) {
        if (!IsHostAndPort(value)) return "--metrics takes HOST:PORT, a port from 1 to 65535";
        options.metricsAddress = value;
    } else if (id == CliOption::kSend) {
        std::optional<ReceiverRequest> request = ParseReceiverRequest(value);
        if (!request) return "unknown receiver command '" + value + "'";
        options.requests.push_back(std::move(*request));
    }
    return {};
}

}  // namespace

const char* const kCliUsage = [] {
    static const std::string text = CliUsage();
    return text.c_str();
}();

const OptionRow<CliOption>* FindCliOption(std::string_view name, CliMode mode) {
    const OptionRow<CliOption>* row = FindOption<CliOption>(kCliOptions, name, mode);
    return row != nullptr ? row : FindOption<CliOption>(kCliOptions, name);
}

std::string RefusedOptionText(std::string_view option, std::string_view mode) {
    if (FindOption<CliOption>(kCliOptions, option) != nullptr) {
        return std::string(option) + " cannot be used " + std::string(mode);
    }
    return UnknownOptionText(option, OptionNames<CliOption>(kCliOptions));
}

bool AsksForDecode(const std::vector<std::string>& arguments) {
    return std::find(arguments.begin(), arguments.end(), "--decode") != arguments.end();
}

std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& arguments, std::string& error) {
    CliOptions options;
    CampaignArguments campaign;
    bool baudGiven = false;
    bool liveOnlyGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const OptionRow<CliOption>* option = FindCliOption(argument == "-h" ? "--help" : argument, kLiveMode);
        if (option == nullptr) {
            error = argument.starts_with("-") ? RefusedOptionText(argument, "without --session")
                                              : "unexpected '" + argument + "'";
            return std::nullopt;
        }
        if (!option->In(kLiveMode)) {
            error = RefusedOptionText(argument, "without --session");
            return std::nullopt;
        }
        if (option->TakesValue()) {
            if (i + 1 >= arguments.size()) {
                error = argument + " needs a value";
                return std::nullopt;
            }
            error = IsCampaignOption(option->id) ? ApplyCampaign(*option, arguments[i + 1], options, campaign)
                                                 : Apply(*option, arguments[i + 1], options, baudGiven);
            if (!error.empty()) return std::nullopt;
            liveOnlyGiven = liveOnlyGiven || option->id != CliOption::kPort;
            ++i;
            continue;
        }
        switch (option->id) {
        case CliOption::kHelp: options.mode = CliOptions::Mode::Help; return options;
        case CliOption::kVersion: options.mode = CliOptions::Mode::Version; return options;
        case CliOption::kListPorts: options.mode = CliOptions::Mode::ListPorts; break;
        case CliOption::kJson:
        case CliOption::kUnknown:
            (option->id == CliOption::kJson ? options.json : options.unknown) = true;
            liveOnlyGiven = true;
            break;
        case CliOption::kCompare: options.compare = liveOnlyGiven = true; break;
        case CliOption::kPowerCycle:
            campaign.settings.powerCycle = true;
            campaign.given.push_back(option->name);
            liveOnlyGiven = true;
            break;
        default: break;  // the options that take a value, applied above
        }
    }
    if (options.mode == CliOptions::Mode::ListPorts) {
        if (liveOnlyGiven) error = "--list-ports takes only --port";
    } else if (options.portPaths.empty()) {
        error = "give --port";
    } else if (const std::string repeated = RepeatedPort(options.portPaths); !repeated.empty()) {
        error = "--port " + repeated + " is given twice";
    } else if (options.compare && options.json) {
        error = "--json cannot be used with --compare";
    } else if (baudGiven && FixedBaud(options.product)) {
        error = "the osprey talks at 57600 baud; --baud cannot be chosen";
    } else {
        error = PutCampaignTogether(campaign, options);
        if (error.empty() && options.reference && !options.campaign && !options.compare && options.metricsAddress.empty()) {
            error = "--reference needs --campaign, --compare or --metrics";
        }
    }
    if (!error.empty()) return std::nullopt;
    return options;
}

}  // namespace vexa
