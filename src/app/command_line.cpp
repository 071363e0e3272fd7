#include "app/command_line.h"

#include <charconv>

#include "link/connection/baud_settings.h"
#include "link/sources/replay_name.h"
#include "link/sources/replay_source.h"
#include "platform/host_port.h"
#include "platform/option_suggestion.h"
#include "platform/option_table.h"
#include "platform/result_codes.h"
#include "receiver/product/product_table.h"

namespace vexa {

namespace {

enum class DemoOption {
    kSimulate, kSimProtocol, kSimBaud, kSimConstellations, kPort, kBaud, kScale, kProduct, kConnect, kScreenshots,
    kSeconds, kMap, kReplay, kSpeed, kLoop, kAllPages, kHistory, kCounts, kMetrics, kHelp, kVersion,
};

constexpr OptionRow<DemoOption> kDemoOptions[] = {
    {DemoOption::kSimulate, "--simulate", "", "start the built-in simulated receiver, listed first as \"Simulated receiver\""},
    {DemoOption::kSimProtocol, "--sim-protocol", "binary|nmea", "what the simulated receiver speaks (binary)"},
    {DemoOption::kSimBaud, "--sim-baud", "N",
     "the simulated receiver's baud rate (57600 binary, 4800 NMEA,\n38400 multi-constellation NMEA)"},
    {DemoOption::kSimConstellations, "--sim-constellations", "LIST",
     "the systems the simulated receiver tracks, from gps,glonass,galileo,\n"
     "beidou,qzss,navic,sbas (gps, always included); with more than gps its NMEA\n"
     "is that of a multi-constellation receiver"},
    {DemoOption::kPort, "--port", "PATH",
     "add a port to the list (repeatable): a serial device, tcp://HOST:PORT or\ngpsd://HOST[:PORT][/DEVICE]"},
    {DemoOption::kBaud, "--baud", "N",
     "with --connect: connect at N baud instead of searching (\"Auto\"), so that\n"
     "nothing is read at a wrong rate"},
    {DemoOption::kScale, "--scale", "N", "open the window N times its smallest size (1 to 8)", OptionRange{1, 8}},
    {DemoOption::kAllPages, "--all-pages", "", "show the six pages at once (View, All Pages)"},
    {DemoOption::kHistory, "--history", "", "open the History window at start (Setup, History...)"},
    {DemoOption::kCounts, "--counts", "FILE",
     "on quitting, write the link's counts to FILE (bytes, frames, sentences\n"
     "and drops by reason), in the words of vexademo-cli's closing line"},
    {DemoOption::kProduct, "--product", "Kestrel|Osprey|Merlin", "skip the Product Selection dialog (any case)"},
    {DemoOption::kConnect, "--connect", "",
     "skip the Serial Comm dialog: connect to the first listed port with \"Auto\"\n"
     "(without --product, also skip the Product Selection dialog: Kestrel)"},
    {DemoOption::kScreenshots, "--screenshots", "DIR",
     "with --connect or --replay: after --seconds, save window.png and one PNG per\npage, then exit"},
    {DemoOption::kSeconds, "--seconds", "S", "how long to run before the screenshots (default 5)", OptionRange{0, 86400}},
    {DemoOption::kMap, "--map", "FILE", "load a geoset at start"},
    {DemoOption::kReplay, "--replay", "FILE",
     "play a raw capture (from Start Recording... or vexademo-cli --record) as\n"
     "the receiver: listed first as replay:FILE and connected at start"},
    {DemoOption::kSpeed, "--speed", "X", "play it at X times its line rate of 57600 baud, 0.1 to 50 (default 1)"},
    {DemoOption::kLoop, "--loop", "", "start the capture again at its end instead of ending the connection"},
    {DemoOption::kMetrics, "--metrics", "HOST:PORT",
     "serve the receiver's series for Prometheus at http://HOST:PORT/metrics\n"
     "for this run, as Setup, \"Serve metrics\" does"},
    {DemoOption::kHelp, "--help", "", "this text"},
    {DemoOption::kVersion, "--version", "", "the program's version"},
};

std::string DemoUsage() {
    return "Usage: vexademo [options]\n"
           "The demonstration and diagnostic program for a GPS receiver: it finds the receiver's baud rate and\n"
           "protocol on a serial port and shows its position, signals, sky, track, map and messages.\n"
           "\n"
           "Options:\n" +
           OptionHelp<DemoOption>(kDemoOptions, HelpLayout{27, true}) +
           "\n"
           "Examples:\n"
           "  $ vexademo --simulate --sim-protocol nmea --sim-constellations gps,glonass,galileo,beidou\n"
           "  $ QT_QPA_PLATFORM=offscreen vexademo --simulate --connect --screenshots shots --seconds 8\n";
}

template <class Number>
std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

constexpr std::string_view kFixedBaudRates = "4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800 or 921600";

// One of the rates the search tries, never "Auto".
std::optional<int> FixedBaud(std::optional<std::string_view> text) {
    const auto baud = text ? ParseBaudSelection(*text) : std::nullopt;
    if (!baud || *baud == kAutoBaud) return std::nullopt;
    return baud;
}

}  // namespace

const char* const kDemoUsage = [] {
    static const std::string text = DemoUsage();
    return text.c_str();
}();

ParsedDemoOptions ParseDemoOptions(std::span<const std::string_view> arguments) {
    ParsedDemoOptions parsed;
    DemoOptions& options = parsed.options;
    options.seconds = 5;
    bool secondsGiven = false;
    bool paceGiven = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string_view argument = arguments[index];
        const auto value = [&]() -> std::optional<std::string_view> {
            if (index + 1 >= arguments.size()) return std::nullopt;
            return arguments[++index];
        };
        const auto fail = [&](std::string text) {
            parsed.error = std::move(text);
            return parsed;
        };
        const OptionRow<DemoOption>* option =
            FindOption<DemoOption>(kDemoOptions, argument == "-h" ? std::string_view("--help") : argument);
        if (option == nullptr) {
            return fail(argument.starts_with("-") ? UnknownOptionText(argument, OptionNames<DemoOption>(kDemoOptions))
                                                  : "unexpected '" + std::string(argument) + "'");
        }
        switch (option->id) {
        case DemoOption::kHelp: options.help = true; break;
        case DemoOption::kVersion: options.version = true; break;
        case DemoOption::kSimulate: options.simulate = true; break;
        case DemoOption::kConnect: options.connect = true; break;
        case DemoOption::kAllPages: options.allPages = true; break;
        case DemoOption::kHistory: options.history = true; break;
        case DemoOption::kCounts: {
            const auto text = value();
            if (!text || text->empty()) return fail("--counts takes a file");
            options.countsFile = *text;
            break;
        }
        case DemoOption::kSimProtocol: {
            const auto text = value();
            if (text != "binary" && text != "nmea") return fail("--sim-protocol takes binary or nmea");
            options.simulateNmea = text == "nmea";
            break;
        }
        case DemoOption::kSimBaud: {
            options.simulateBaud = FixedBaud(value());
            if (!options.simulateBaud) return fail("--sim-baud takes " + std::string(kFixedBaudRates));
            break;
        }
        case DemoOption::kSimConstellations: {
            const auto text = value();
            options.simulateConstellations = text ? sim::ParseConstellations(*text) : std::nullopt;
            if (!options.simulateConstellations) {
                return fail("--sim-constellations takes a list of gps,glonass,galileo,beidou,qzss,navic,sbas with gps");
            }
            break;
        }
        case DemoOption::kPort: {
            const auto text = value();
            if (!text || text->empty()) return fail("--port takes a device path, tcp://HOST:PORT or gpsd://HOST[:PORT][/DEVICE]");
            options.ports.emplace_back(*text);
            break;
        }
        case DemoOption::kBaud: {
            options.connectBaud = FixedBaud(value());
            if (!options.connectBaud) return fail("--baud takes " + std::string(kFixedBaudRates));
            break;
        }
        case DemoOption::kScale: {
            const auto text = value();
            const auto scale = text ? ParseNumber<int>(*text) : std::nullopt;
            if (!scale || !option->range->Holds(*scale)) return fail("--scale takes a whole number from 1 to 8");
            options.scale = *scale;
            break;
        }
        case DemoOption::kProduct: {
            const auto text = value();
            options.product = text ? ProductNamed(*text) : std::nullopt;
            if (!options.product) return fail("--product takes Kestrel, Osprey or Merlin");
            break;
        }
        case DemoOption::kScreenshots: {
            const auto text = value();
            if (!text || text->empty()) return fail("--screenshots takes a folder");
            options.screenshotsFolder = *text;
            break;
        }
        case DemoOption::kSeconds: {
            const auto text = value();
            const auto seconds = text ? ParseNumber<double>(*text) : std::nullopt;
            if (!seconds || !option->range->Holds(*seconds)) return fail("--seconds takes a number of seconds");
            options.seconds = *seconds;
            secondsGiven = true;
            break;
        }
        case DemoOption::kMap: {
            const auto text = value();
            if (!text || text->empty()) return fail("--map takes a geoset file");
            options.mapFile = *text;
            break;
        }
        case DemoOption::kReplay: {
            const auto text = value();
            if (!text || text->empty()) return fail("--replay takes a capture file");
            options.replayFile = *text;
            break;
        }
        case DemoOption::kSpeed: {
            const auto text = value();
            const auto speed = text ? ParseReplaySpeed(*text) : std::nullopt;
            if (!speed) return fail("--speed takes " + std::string(kReplaySpeedRange));
            options.replaySpeed = *speed;
            paceGiven = true;
            break;
        }
        case DemoOption::kMetrics: {
            const auto text = value();
            if (!text || !IsHostAndPort(*text)) return fail("--metrics takes HOST:PORT, a port from 1 to 65535");
            options.metricsAddress = *text;
            break;
        }
        case DemoOption::kLoop:
            options.replayLoop = true;
            paceGiven = true;
            break;
        }
    }
    // A replayed capture is connected at start, as --connect would.
    if (!options.screenshotsFolder.empty() && !options.connect && options.replayFile.empty()) {
        return {options, "--screenshots needs --connect or --replay"};
    }
    if (secondsGiven && options.screenshotsFolder.empty()) return {options, "--seconds needs --screenshots"};
    if ((options.simulateNmea || options.simulateBaud || options.simulateConstellations) && !options.simulate) {
        return {options, "--sim-protocol, --sim-baud and --sim-constellations need --simulate"};
    }
    if (options.connectBaud && !options.connect) return {options, "--baud needs --connect"};
    if (paceGiven && options.replayFile.empty()) return {options, "--speed and --loop need --replay"};
    return parsed;
}

std::string ReplayPortName(const DemoOptions& options) {
    if (options.replayFile.empty()) return {};
    return MakeReplayName(options.replayFile, ReplayPace{options.replaySpeed, options.replayLoop});
}

std::string ReplayProblem(const DemoOptions& options) {
    if (options.replayFile.empty()) return {};
    ReplaySource capture(ReplayPortName(options));
    if (capture.Open(0) == kResultOk) return {};
    return capture.OpenProblem();
}

}  // namespace vexa
