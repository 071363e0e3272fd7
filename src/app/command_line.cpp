#include "app/command_line.h"

#include <charconv>

#include "link/baud_settings.h"
#include "link/replay_name.h"
#include "link/replay_source.h"
#include "platform/option_suggestion.h"
#include "platform/result_codes.h"
#include "receiver/product_table.h"

namespace vexa {

const char* const kDemoUsage =
    "Usage: vexademo [options]\n"
    "The demonstration and diagnostic program for a GPS receiver: it finds the receiver's baud rate and\n"
    "protocol on a serial port and shows its position, signals, sky, track, map and messages.\n"
    "\n"
    "  --simulate               start the built-in simulated receiver, listed first as \"Simulated receiver\"\n"
    "  --sim-protocol binary|nmea   what the simulated receiver speaks (binary)\n"
    "  --sim-baud N             the simulated receiver's baud rate (57600 binary, 4800 NMEA,\n"
    "                           38400 multi-constellation NMEA)\n"
    "  --sim-constellations LIST   the systems the simulated receiver tracks, from gps,glonass,galileo,\n"
    "                           beidou,qzss,navic,sbas (gps, always included); with more than gps its NMEA\n"
    "                           is that of a multi-constellation receiver\n"
    "  --port PATH              add a port to the list (repeatable): a serial device, tcp://HOST:PORT or\n"
    "                           gpsd://HOST[:PORT][/DEVICE]\n"
    "  --scale N                enlarge the whole window N times (1 to 8)\n"
    "  --product Kestrel|Osprey|Merlin   skip the Product Selection dialog (any case)\n"
    "  --connect                skip the Serial Comm dialog: connect to the first listed port with \"Auto\"\n"
    "                           (without --product, also skip the Product Selection dialog: Kestrel)\n"
    "  --screenshots DIR        with --connect or --replay: after --seconds, save window.png and one PNG per\n"
    "                           page, then exit\n"
    "  --seconds S              how long to run before the screenshots (default 5)\n"
    "  --map FILE               load a geoset at start\n"
    "  --replay FILE            play a raw capture (from Start Recording... or vexademo-cli --record) as\n"
    "                           the receiver: listed first as replay:FILE and connected at start\n"
    "  --speed X                play it at X times its line rate of 57600 baud, 1 to 50 (default 1)\n"
    "  --loop                   start the capture again at its end instead of ending the connection\n"
    "  --help                   this text\n"
    "  --version                the program's version\n";

namespace {

constexpr std::string_view kOptionNames[] = {"--simulate", "--sim-protocol", "--sim-baud", "--port",
                                             "--scale",    "--product",      "--connect",  "--screenshots",
                                             "--seconds",  "--map",          "--replay",   "--speed",
                                             "--loop",     "--help",         "--version"};

template <class Number>
std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

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
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--simulate") {
            options.simulate = true;
        } else if (argument == "--connect") {
            options.connect = true;
        } else if (argument == "--sim-protocol") {
            const auto text = value();
            if (text != "binary" && text != "nmea") return fail("--sim-protocol takes binary or nmea");
            options.simulateNmea = text == "nmea";
        } else if (argument == "--sim-baud") {
            const auto text = value();
            const auto baud = text ? ParseNumber<int>(*text) : std::nullopt;
            if (!baud || *baud == kAutoBaud || ParseBaudSelection(*text) != baud) {
                return fail("--sim-baud takes 4800, 9600, 19200, 38400, 57600 or 115200");
            }
            options.simulateBaud = baud;
        } else if (argument == "--sim-constellations") {
            const auto text = value();
            options.simulateConstellations = text ? sim::ParseConstellations(*text) : std::nullopt;
            if (!options.simulateConstellations) {
                return fail("--sim-constellations takes a list of gps,glonass,galileo,beidou,qzss,navic,sbas with gps");
            }
        } else if (argument == "--port") {
            const auto text = value();
            if (!text || text->empty()) return fail("--port takes a device path, tcp://HOST:PORT or gpsd://HOST[:PORT][/DEVICE]");
            options.ports.emplace_back(*text);
        } else if (argument == "--scale") {
            const auto text = value();
            const auto scale = text ? ParseNumber<int>(*text) : std::nullopt;
            if (!scale || *scale < 1 || *scale > 8) return fail("--scale takes a whole number from 1 to 8");
            options.scale = *scale;
        } else if (argument == "--product") {
            const auto text = value();
            options.product = text ? ProductNamed(*text) : std::nullopt;
            if (!options.product) return fail("--product takes Kestrel, Osprey or Merlin");
        } else if (argument == "--screenshots") {
            const auto text = value();
            if (!text || text->empty()) return fail("--screenshots takes a folder");
            options.screenshotsFolder = *text;
        } else if (argument == "--seconds") {
            const auto text = value();
            const auto seconds = text ? ParseNumber<double>(*text) : std::nullopt;
            if (!seconds || !(*seconds >= 0 && *seconds <= 86400)) return fail("--seconds takes a number of seconds");
            options.seconds = *seconds;
            secondsGiven = true;
        } else if (argument == "--map") {
            const auto text = value();
            if (!text || text->empty()) return fail("--map takes a geoset file");
            options.mapFile = *text;
        } else if (argument == "--replay") {
            const auto text = value();
            if (!text || text->empty()) return fail("--replay takes a capture file");
            options.replayFile = *text;
        } else if (argument == "--speed") {
            const auto text = value();
            const auto speed = text ? ParseReplaySpeed(*text) : std::nullopt;
            if (!speed) return fail("--speed takes " + std::string(kReplaySpeedRange));
            options.replaySpeed = *speed;
            paceGiven = true;
        } else if (argument == "--loop") {
            options.replayLoop = true;
            paceGiven = true;
        } else {
            return fail(argument.starts_with("-") ? UnknownOptionText(argument, kOptionNames)
                                                  : "unexpected '" + std::string(argument) + "'");
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
